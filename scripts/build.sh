#!/usr/bin/env bash
# Configures (once) and builds the project in build/, warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ! -f build/CMakeCache.txt ]]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DALPHABET_WERROR=ON >/dev/null
fi
cmake --build build -j"$(nproc)" "$@"
