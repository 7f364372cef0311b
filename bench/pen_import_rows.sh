#!/usr/bin/env bash
# The pen import rows of `make bench`: every glyph of the 32 Debian Hershey
# fonts imported into one file, against the text import of the same points; and
# an SVG font (made from those fonts, its strokes as curves) imported by us
# against a Python script doing the same with python3-svgelements. Each import
# is timed as a whole process, ours as the median of five runs.
# usage: pen_import_rows.sh ALPHABET-TOOL ROWS.tsv WORKDIR
set -euo pipefail
tool=$1 rows=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
fonts=(/usr/share/hershey-fonts/*.jhf)

# Wall-clock seconds of one run of the command given.
seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN {printf "%.3f", ns / 1e9}'
}

median5() {
  local runs=()
  for _ in 1 2 3 4 5; do runs+=("$(seconds "$@")"); done
  printf '%s\n' "${runs[@]}" | sort -n | sed -n 3p
}

glyphs_in() { od -An -t d4 -j4 -N4 "$1" | tr -d ' '; }
points_in() { od -An -t d4 -N4 "$1" | tr -d ' '; }

"$tool" import "${fonts[@]}" -o "$work/hershey.alphabet" --force 2>/dev/null
"$tool" export "$work/hershey.alphabet" -o "$work/hershey.txt" 2>/dev/null
hershey=$(median5 "$tool" import "${fonts[@]}" -o "$work/hershey.alphabet" --force)
text=$(median5 "$tool" import "$work/hershey.txt" -o "$work/text.alphabet" --force)
cmp -s "$work/hershey.alphabet" "$work/text.alphabet" || { echo "pen import: text differs" >&2; exit 1; }
glyphs=$(glyphs_in "$work/hershey.alphabet")
points=$(points_in "$work/hershey.alphabet")
awk -v ours="$hershey" -v text="$text" -v fonts=${#fonts[@]} -v glyphs="$glyphs" -v n="$points" 'BEGIN {
  printf "Import of %d Hershey fonts, %d glyphs of %d points\t%.3f s\t%.3f s text import of the same points\t%.2f\t< 1 s\t%s\n",
    fonts, glyphs, n, ours, text, ours / text, (ours < 1 ? "yes" : "NO")
}' >>"$rows"

/usr/bin/python3 "$here/hershey_svg_font.py" "$work/hershey.svg" "${fonts[@]}"
"$tool" import "$work/hershey.svg" -o "$work/svg.alphabet" --force 2>/dev/null
n=$(points_in "$work/svg.alphabet")
ours=$(median5 "$tool" import "$work/hershey.svg" --points "$n" -o "$work/svg.alphabet" --force)
python=$(seconds /usr/bin/python3 "$here/svg_font_import.py" "$work/hershey.svg" "$n" "$work/py.alphabet")
[[ $(glyphs_in "$work/py.alphabet") == $(glyphs_in "$work/svg.alphabet") ]] ||
  { echo "pen import: the Python script read other glyphs" >&2; exit 1; }
awk -v ours="$ours" -v python="$python" -v glyphs="$(glyphs_in "$work/svg.alphabet")" -v n="$n" 'BEGIN {
  printf "SVG font import, %d glyphs of curves to %d points\t%.3f s\t%.2f s python3-svgelements script\t%.1fx faster\t>= 10x faster\t%s\n",
    glyphs, n, ours, python, python / ours, (python >= 10 * ours ? "yes" : "NO")
}' >>"$rows"
