#!/usr/bin/env bash
# Checks what the package says about itself: the AppStream metadata passes
# appstreamcli's pedantic validation and names the desktop entry; the version
# and its date agree between CMake, NEWS.md and debian/changelog; the licence
# agrees between LICENSE, debian/copyright, the metadata and the README; and
# debian/control's build dependencies are the ones scripts/deps.sh installs.
# Arguments: SOURCE_DIR METAINFO VERSION RELEASE_DATE.
set -uo pipefail
source=$1
metainfo=$2
version=$3
date=$4
source "$(dirname "$0")/checks.sh"
same() { [[ $1 == "$2" ]] || { echo "  '$1' is not '$2'" >&2; return 1; }; }

# AppStream: no errors, warnings, notes or pedantic remarks at all.
validation=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1)
echo "$validation"
check "appstreamcli validate --pedantic is clean" same "$validation" "✔ Validation was successful."
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
check "the metadata is named after its id" same "$(basename "$metainfo")" "$id.metainfo.xml"
check "a desktop entry is named after the id" test -f "$source/packaging/$id.desktop"
check "the launchable is that desktop entry" \
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
newest=$(grep -o '<release [^>]*>' "$metainfo" | head -1)
check "the newest release is this version and date" \
    same "$newest" "<release version=\"$version\" date=\"$date\">"
for binary in alphabet-viewer alphabet-tool; do
    check "the metadata provides $binary" grep -q "<binary>$binary</binary>" "$metainfo"
done
mime=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$source/packaging/alphabet-viewer.xml")
check "the metadata provides the glyph file's type" \
    grep -q "<mediatype>$mime</mediatype>" "$metainfo"

# One version: NEWS.md's newest entry and debian/changelog's upstream version.
check "NEWS.md's newest entry is $version ($date)" \
    same "$(grep -m1 '^## ' "$source/NEWS.md")" "## $version ($date)"
changelog=$(sed -n '1s/^alphabet-viewer (\([^)]*\)).*/\1/p' "$source/debian/changelog")
check "debian/changelog's newest entry is $version with a Debian revision" \
    same "${changelog%-*}" "$version"

# One licence: MIT, whose text debian/copyright carries as Expat.
check "LICENSE is the MIT licence" grep -qx 'MIT License' "$source/LICENSE"
permission=$(sed -n '/^Permission/,$p' "$source/LICENSE")
copied=$(awk '/^License: Expat$/ {text = ""; next} {text = text $0 "\n"} END {printf "%s", text}' \
    "$source/debian/copyright" | sed 's/^ //; s/^\.$//')
check "debian/copyright's last paragraph is LICENSE's text" same "$copied" "$permission"
check "debian/copyright covers every file under Expat" \
    grep -Pqz 'Files: \*\nCopyright: [^\n]+\nLicense: Expat\n' "$source/debian/copyright"
check "the metadata's project licence is MIT" \
    grep -q '<project_license>MIT</project_license>' "$metainfo"
check "the README names LICENSE" grep -q 'LICENSE' "$source/README.md"

# Build dependencies: deps.sh installs exactly debian/control's, with debhelper
# for debhelper-compat and build-essential, which Debian leaves implicit.
declared=$(sed -n '/^Build-Depends:/,/^[A-Z]/p' "$source/debian/control" | sed '$d' |
    sed 's/^Build-Depends://' | tr ',' '\n' | sed 's/(.*)//; s/ //g; /^$/d' |
    sed 's/^debhelper-compat$/debhelper/' | sort)
installed=$("$source/scripts/deps.sh" package --print | grep -vx build-essential | sort)
check "deps.sh package installs debian/control's Build-Depends" same "$installed" "$declared"

report package_metadata
