#!/usr/bin/env python3
"""Checks the #include graph of the program's sources against its layout.

Reports every include cycle between files, every cycle between folders (each
folder is one library), and every include that breaks the one-way order of
docs/architecture.md. Prints nothing and exits 0 when the layout holds;
else prints what breaks it and exits 1. With --graph, prints the folder graph.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Folders that make up the programs; tests, bench and fuzz sit on top of them.
SOURCES = ["alphabet", "import", "trackball", "geometry", "cells", "pictures", "view", "app",
           "tools", "writing"]
# What each folder may include besides itself; everything else is a wrong-way arrow.
ALLOWED = {
    "alphabet": set(),
    "trackball": set(),
    "import/text": {"alphabet"},
    "import/pen": {"import/text", "alphabet"},
    "import/pen/svg": {"import/pen", "import/text", "alphabet"},
    "import": {"import/pen/svg", "import/pen", "import/text", "alphabet"},
    "geometry": {"alphabet", "trackball"},
    "cells": {"geometry", "alphabet", "trackball"},
    "cells/gl": {"cells", "geometry", "alphabet", "trackball"},
    "cells/vector": {"cells", "geometry", "alphabet", "trackball"},
    "pictures": {"alphabet"},
    "view": {"cells", "cells/gl", "cells/vector", "pictures", "geometry", "import", "alphabet",
             "trackball"},
    "app": {"view", "cells", "cells/vector", "pictures", "geometry", "alphabet", "trackball"},
    "tools/render": {"cells", "cells/gl", "cells/vector", "pictures", "geometry", "alphabet",
                     "trackball"},
    "tools/import": {"import", "import/text", "import/pen", "import/pen/svg", "geometry",
                     "alphabet"},
    "writing": {"import", "import/text", "import/pen", "import/pen/svg", "alphabet"},
    "tools": {"tools/render", "tools/import", "writing", "import", "import/text", "import/pen",
              "import/pen/svg", "geometry", "pictures", "alphabet", "trackball"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def source_files():
    for top in SOURCES:
        for folder, _, names in os.walk(os.path.join(ROOT, top)):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(folder, name), ROOT)


def includes_of(path):
    found = []
    with open(os.path.join(ROOT, path), encoding="utf-8") as source:
        for line in source:
            match = INCLUDE.match(line)
            if match and os.path.exists(os.path.join(ROOT, match.group(1))):
                found.append(match.group(1))
    return found


def cycles(graph):
    """Every elementary cycle's smallest rotation, once, by depth-first search."""
    found = set()

    def walk(start, node, path, on_path):
        for after in graph.get(node, ()):
            if after == start:
                found.add(tuple(path))
            elif after not in on_path and after > start:
                on_path.add(after)
                walk(start, after, path + [after], on_path)
                on_path.discard(after)

    for start in sorted(graph):
        walk(start, start, [start], {start})
    return sorted(found)


def main():
    files = {path: includes_of(path) for path in source_files()}
    folders = {}
    wrong = []
    for path, included in files.items():
        here = os.path.dirname(path)
        for other in included:
            there = os.path.dirname(other)
            if there != here:
                folders.setdefault(here, set()).add(there)
                if there not in ALLOWED.get(here, set()):
                    wrong.append(f"{path} includes {other}: {here}/ may not use {there}/")
    if "--graph" in sys.argv:
        for folder in sorted(folders):
            print(f"{folder}/ -> " + ", ".join(f"{t}/" for t in sorted(folders[folder])))
        return 0
    # A header and its .cpp are one unit: a cycle through both is a cycle of units.
    units = {}
    for path, included in files.items():
        unit = os.path.splitext(path)[0]
        units.setdefault(unit, set()).update(
            os.path.splitext(other)[0] for other in included if os.path.splitext(other)[0] != unit)
    problems = [" -> ".join(c + (c[0],)) + " (files)" for c in cycles(units)]
    problems += [" -> ".join(c + (c[0],)) + " (folders)" for c in cycles(folders)]
    problems += wrong
    for line in problems:
        print(line)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
