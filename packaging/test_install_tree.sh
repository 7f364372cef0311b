#!/usr/bin/env bash
# Installs the build in $1 into a temporary prefix and checks the installed tree
# by what it does: the tool runs from there and the sample it ships is sound; the
# desktop entry, MIME type and icon agree with each other and with the programs;
# the manual pages cover everything the tool's help names; the completion offers
# what the tool's help lists.
set -uo pipefail
build=$1
stage=$(mktemp -d "${TMPDIR:-/tmp}/alphabet-install.XXXXXX")
trap 'rm -rf "$stage"' EXIT
source "$(dirname "$0")/checks.sh"

if ! cmake --install "$build" --prefix "$stage" >"$stage.log" 2>&1; then
    cat "$stage.log" >&2
    rm -f "$stage.log"
    exit 1
fi
rm -f "$stage.log"
share=$stage/share
tool=$stage/bin/alphabet-tool
# XDG_DATA_DIRS: update-mime-database notes a folder outside the search path.
export PATH=$stage/bin:$PATH LC_ALL=C MANWIDTH=80 XDG_DATA_DIRS=$share

# The tool runs from the prefix; every glyph file installed as data is sound.
commands=$("$tool" --help | awk '/^commands:/ {on = 1; next} on && NF == 0 {exit} on {print $1}')
check "alphabet-tool --help lists commands" test -n "$commands"
samples=$(find "$share" -name '*.alphabet')
check "a sample alphabet is installed" test -n "$samples"
sound() { "$tool" info "$1" >/dev/null; }
for sample in $samples; do
    check "alphabet-tool info $sample" sound "$sample"
done

# The desktop entry is valid and names the installed program, icon and type.
for entry in "$share"/applications/*.desktop; do
    check "desktop-file-validate $entry" test -z "$(desktop-file-validate "$entry" 2>&1)"
    exec_line=$(sed -n 's/^Exec=//p' "$entry")
    check "Exec of $entry runs an installed program" test -x "$stage/bin/${exec_line%% *}"
    check "Exec of $entry takes the file (%f or %F)" grep -qE '^Exec=.* %[fF]$' "$entry"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    check "Icon $icon is a scalable hicolor icon" \
        grep -q '<svg' "$share/icons/hicolor/scalable/apps/$icon.svg"
    types=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' ' ')
    check "$entry lists a MIME type" test -n "$types"
done

# The MIME package builds a database that maps x.alphabet to the entry's type,
# with the same icon; the entry is that type's handler.
check "update-mime-database accepts the package" \
    test -z "$(update-mime-database "$share/mime" 2>&1)"
mapped=$(awk -F: '{print $2, $3}' "$share/mime/globs2" | while read -r type glob; do
    # shellcheck disable=SC2053 # the glob is the pattern to match
    [[ x.alphabet == $glob ]] && echo "$type"
done)
listed() { [[ -n $1 && " $2 " == *" $1 "* ]]; }
check "x.alphabet is of a type the desktop entry handles" listed "$mapped" "$types"
check "the type's icon is the desktop entry's" grep -qx "$mapped:$icon" "$share/mime/icons"
update-desktop-database "$share/applications"
check "the viewer handles $mapped" \
    grep -q "^$mapped=.*$(basename "$entry")" "$share/applications/mimeinfo.cache"

# The manual pages format without warnings; the tool's has a section for every
# command and names every option that any command's help prints.
for page in "$share"/man/man1/alphabet-*.1*; do
    check "man --warnings $page" test -z "$(man --warnings -l "$page" 2>&1 >/dev/null)"
done
manual=$(man -l "$share"/man/man1/alphabet-tool.1* | sed 's/.\x08//g')
for command in $commands; do
    check "manual page section for $command" grep -qx "   $command" <<<"$manual"
    for option in $("$tool" "$command" --help | grep -oE -- '(^|[][ /(])--?[a-z][a-z-]*' |
        grep -oE -- '--?[a-z-]+' | grep -vxE -- '-[a-z]{2,}' | sort -u); do
        check "manual page names $command $option" grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" \
            <<<"$manual"
    done
done

# The completion, sourced in bash, offers exactly the commands of --help, and
# for `import --` exactly the long options of import's help.
completion=$share/bash-completion/completions/alphabet-tool
complete_words() {
    bash --norc --noprofile -c 'source "$1"; shift; COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1)); _alphabet_tool; printf "%s\n" "${COMPREPLY[@]}"' \
        _ "$completion" "$@" | sort
}
check "completion of 'alphabet-tool '" \
    test "$(complete_words alphabet-tool '')" = "$(sort <<<"$commands")"
import_options=$("$tool" import --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
check "import's help names long options" test -n "$import_options"
check "completion of 'alphabet-tool import --'" \
    test "$(complete_words alphabet-tool import --)" = "$import_options"

report install_tree
