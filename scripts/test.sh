#!/usr/bin/env bash
# Builds everything and runs every test, headless where no display is set.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
scripts/build.sh
headless=()
[[ -n "${DISPLAY:-}" ]] || headless=(xvfb-run -a -s "-screen 0 1024x768x24")
"${headless[@]}" ctest --test-dir build --output-on-failure -j2
