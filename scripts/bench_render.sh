#!/usr/bin/env bash
# The render row of `make bench`: a PNG sheet of 2,000 glyphs of 48 points,
# timed from outside (wall, median of 5). Where ALPHABET_OLD_TOOL names an
# alphabet-tool built before render drew offscreen (it showed the view's
# window, scrolled it and grabbed it), that tool is timed in turn in the same
# run; otherwise the row compares with that path's time measured before.
#   scripts/bench_render.sh BIN_DIR ROWS_FILE WORK_DIR
set -euo pipefail
bin=$1 rows=$2 work=$3
runs=5
before_seconds=3.05 # the old path on the bench machine, measured from outside

file="$work/glyphs2000.alphabet"
"$bin/bench_make_file" "$file" 48 2000

# Seconds one render of the sheet takes, its pages written into $work.
render_seconds() {
  local start end
  start=$(date +%s%N)
  "$1" render "$file" -o "$work/sheet.png" 2>/dev/null
  end=$(date +%s%N)
  rm -f "$work"/sheet*.png
  awk -v ns=$((end - start)) 'BEGIN { printf "%.3f\n", ns / 1e9 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

new=() old=()
render_seconds "$bin/alphabet-tool" >/dev/null # warm the caches
for ((i = 0; i < runs; i++)); do
  new+=("$(render_seconds "$bin/alphabet-tool")")
  if [[ -n "${ALPHABET_OLD_TOOL:-}" ]]; then
    old+=("$(render_seconds "$ALPHABET_OLD_TOOL")")
  fi
done
value=$(printf '%s\n' "${new[@]}" | median)
if [[ ${#old[@]} -gt 0 ]]; then
  against=$(printf '%s\n' "${old[@]}" | median)
  what="$against s window-scroll-grab render, same run"
else
  against=$before_seconds
  what="$against s window-scroll-grab render, measured before"
fi
awk -v value="$value" -v against="$against" -v what="$what" 'BEGIN {
  ratio = value / against
  printf "PNG sheet, 2,000 glyphs of 48 points (render, wall)\t%.2f s\t%s\t%.2f\t<= 0.33\t%s\n",
    value, what, ratio, ratio <= 1 / 3 ? "yes" : "NO"
}' >>"$rows"
