#!/usr/bin/env bash
# Builds the Debian packages the way Debian does, with dpkg-buildpackage over
# debian/, in a copy of the sources under build-package/ so that the checkout
# stays clean: the source package (.dsc, with an orig tarball of the sources
# without debian/), the binary package and its debug-symbol package, all in
# build-package/. Where lintian is installed it checks them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package
out=build-package
version=$(dpkg-parsechangelog -S Version)
upstream=${version%-*}
tree=$out/alphabet-viewer-$upstream
rm -rf "$out"
mkdir -p "$tree"
# The sources as a release holds them: no version control, builds or run folder.
tar --exclude-vcs --exclude=./build --exclude='./build-*' --exclude=./run \
  -cf - . | tar -C "$tree" -xf -
# The orig tarball is made the same way each time, dated by the changelog.
tar --sort=name --mtime="@$(dpkg-parsechangelog -S Timestamp)" --owner=0 --group=0 \
  --numeric-owner --exclude="alphabet-viewer-$upstream/debian" -C "$out" \
  -cJf "$out/alphabet-viewer_$upstream.orig.tar.xz" "alphabet-viewer-$upstream"

log=$out/build.log
echo "Building alphabet-viewer $version (log: $log)"
if ! (cd "$tree" && DEB_BUILD_OPTIONS="parallel=$(nproc)" dpkg-buildpackage -us -uc) >"$log" 2>&1
then
  tail -n 40 "$log" >&2
  exit 1
fi
rm -rf "$tree"
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb=$out/alphabet-viewer_${version}_$arch.deb
if command -v lintian >/dev/null; then
  echo "lintian -I --pedantic:"
  lintian -I --pedantic "$out/alphabet-viewer_${version}_$arch.changes" || true
fi
echo "Built $deb; install it with: sudo apt-get install ./$deb"
