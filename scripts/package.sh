#!/usr/bin/env bash
# Builds the Debian package in build-package/ (Release, prefix /usr); its
# dependencies are read from the binaries by dpkg-shlibdeps.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package
build="build-package"
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DALPHABET_WERROR=ON -DALPHABET_TESTS=OFF >/dev/null
fi
cmake --build $build -j"$(nproc)"
rm -f $build/alphabet-viewer_*.deb
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! (cd $build && cpack -G DEB) >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
deb=$(ls $build/alphabet-viewer_*.deb)
echo "Built $deb; install it with: sudo apt-get install ./$deb"
