#!/usr/bin/env bash
# Builds both programs and installs them with their desktop entry, file type,
# icon, manual pages, completion and sample under PREFIX (default /usr/local),
# below DESTDIR where that is set. A live install also refreshes the desktop's
# caches, so the menu entry and the glyph file type show at once.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-/usr/local}
scripts/deps.sh run
scripts/build.sh --target alphabet-viewer alphabet-tool install-data
cmake --install build --prefix "$prefix"
[[ -z "${DESTDIR:-}" ]] || exit 0
share=$prefix/share
if command -v update-mime-database >/dev/null; then
  update-mime-database "$share/mime"
fi
if command -v update-desktop-database >/dev/null; then
  update-desktop-database -q "$share/applications"
fi
# A stale icon cache hides new icons; where there is none, none is needed.
if [[ -f $share/icons/hicolor/icon-theme.cache ]] && command -v gtk-update-icon-cache >/dev/null; then
  gtk-update-icon-cache -qf "$share/icons/hicolor"
fi
