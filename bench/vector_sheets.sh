#!/usr/bin/env bash
# Rows of the bench table for render's SVG and PDF sheets: 2,000 glyphs of 48
# points against matplotlib drawing the same picture (matplotlib_sheet.py), the
# two timed in turn, 5 runs each, medians of the wall time (which the goal is
# held against) and of the CPU time (user and system, every thread; render
# draws SVG pages on two threads); the files' sizes; and render's peak memory
# (GNU time) at 10,000 and 100,000 glyphs.
# Usage: vector_sheets.sh BIN_DIR WORK_DIR ROWS_FILE GLYPHS_100K
set -euo pipefail
bin=$1 work=$2 rows=$3 glyphs100k=$4
here=$(cd "$(dirname "$0")" && pwd)
"$bin/bench_make_file" "$work/glyphs2k.alphabet" 48 2000
"$bin/bench_make_file" "$work/glyphs10k.alphabet" 48 10000

# Wall and CPU milliseconds that "$@" takes, its output thrown away.
milliseconds() {
  /usr/bin/time -f "%e %U %S" -o "$work/time.txt" "$@" >/dev/null 2>&1
  awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' "$work/time.txt"
}
# The median of column $1 of the lines read.
median() { awk -v c="$1" '{ print $c }' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
bytes() { cat "$@" | wc -c; }

for format in svg pdf; do
  ours=() theirs=()
  for run in 1 2 3 4 5; do
    rm -f "$work"/sheet*."$format"
    ours+=("$(milliseconds "$bin/alphabet-tool" render "$work/glyphs2k.alphabet" -o "$work/sheet.$format")")
    theirs+=("$(milliseconds "$here/matplotlib_sheet.py" "$work/glyphs2k.alphabet" "$work/mpl.$format")")
  done
  own_ms=$(printf '%s\n' "${ours[@]}" | median 1)
  mpl_ms=$(printf '%s\n' "${theirs[@]}" | median 1)
  own_cpu=$(printf '%s\n' "${ours[@]}" | median 2)
  mpl_cpu=$(printf '%s\n' "${theirs[@]}" | median 2)
  own_bytes=$(bytes "$work"/sheet*."$format")
  mpl_bytes=$(bytes "$work/mpl.$format")
  pages=$(ls "$work"/sheet*."$format" | wc -l)
  goal=$([[ $format == svg ]] && echo 10 || echo 3)
  awk -v f="${format^^}" -v o="$own_ms" -v m="$mpl_ms" -v oc="$own_cpu" -v mc="$mpl_cpu" \
    -v ob="$own_bytes" -v mb="$mpl_bytes" -v goal="$goal" -v pages="$pages" 'BEGIN {
    printf "%s sheet, 2,000 glyphs of 48 points\t%.2f s\tmatplotlib %.2f s\t%.1fx faster\t>= %dx faster\t%s\n",
      f, o / 1000, m / 1000, m / o, goal, (m / o >= goal ? "yes" : "NO")
    printf "  CPU time (user + system)\t%.2f s\tmatplotlib %.2f s\t%.1fx less\t\t\n", oc / 1000, mc / 1000, mc / oc
    printf "  its size%s\t%.1f MB\tmatplotlib %.1f MB\t%.2f\t<= 1\t%s\n",
      (pages > 1 ? " (" pages " page files)" : ""), ob / 1e6, mb / 1e6, ob / mb, (ob <= mb ? "yes" : "NO")
  }' >>"$rows"
done
rm -f "$work"/sheet*.* "$work"/mpl.*

# Peak memory: the sheet streams through the file, page by page.
for format in svg pdf; do
  declare -A peak=()
  for case in 10k 100k; do
    file="$work/glyphs$case.alphabet"
    [[ $case == 100k ]] && file=$glyphs100k
    /usr/bin/time -f %M -o "$work/peak.txt" "$bin/alphabet-tool" render "$file" \
      -o "$work/peak.$format" >/dev/null 2>&1
    peak[$case]=$(cat "$work/peak.txt")
    rm -f "$work"/peak*."$format"
  done
  awk -v f="${format^^}" -v big="${peak[100k]}" -v small="${peak[10k]}" 'BEGIN {
    printf "Peak memory (time -v), %s sheet of 100,000 glyphs\t%.1f MiB\t10,000 glyphs %.1f MiB\t%+.1f MiB\t<= +16 MiB\t%s\n",
      f, big / 1024, small / 1024, (big - small) / 1024, ((big - small) / 1024 <= 16 ? "yes" : "NO")
  }' >>"$rows"
done
rm -f "$work/glyphs2k.alphabet" "$work/glyphs10k.alphabet"
