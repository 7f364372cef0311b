#!/usr/bin/env bash
# Installs the build in $1 into a temporary prefix and runs the autopkgtest's
# steps ($2, debian/tests/smoke) against it.
set -euo pipefail
build=$1
smoke=$2
stage=$(mktemp -d "${TMPDIR:-/tmp}/alphabet-smoke.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cmake --install "$build" --prefix "$stage" >"$stage/install.log" || {
    cat "$stage/install.log" >&2
    exit 1
}
bash "$smoke" "$stage"
