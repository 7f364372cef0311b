#!/usr/bin/env bash
# Builds the viewer and opens it on our sample alphabet in run/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
scripts/build.sh --target alphabet-viewer alphabet-tool
mkdir -p run
[[ -f run/universal.alphabet ]] || build/bin/alphabet-tool sample -o run/universal.alphabet
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "alphabet-viewer: no display to open a window on (DISPLAY is not set)" >&2
  exit 1
fi
cd run
exec ../build/bin/alphabet-viewer
