#!/usr/bin/env bash
# Builds the viewer and opens it on our sample alphabet in run/; without a
# display, draws that alphabet into run/universal.png instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
scripts/build.sh --target alphabet-viewer alphabet-tool
mkdir -p run
[[ -f run/universal.alphabet ]] || build/bin/alphabet-tool sample -o run/universal.alphabet
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  # No window to open: draw the whole sheet as the viewer would, on a virtual display.
  log=$(mktemp)
  trap 'rm -f "$log"' EXIT
  if ! build/bin/alphabet-tool render run/universal.alphabet -o run/universal.png 2>"$log"; then
    cat "$log" >&2
    exit 1
  fi
  echo "No display: the glyphs as the viewer draws them are in run/universal.png"
  exit 0
fi
cd run
exec ../build/bin/alphabet-viewer
