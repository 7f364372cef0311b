#!/usr/bin/env bash
# Builds the benchmarks in build-bench/ (Release) and runs them all, headless
# where no display is set, then prints one table. See docs/performance.md.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" != --under-display ]]; then
  scripts/deps.sh bench
  if [[ ! -f build-bench/CMakeCache.txt ]]; then
    cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DALPHABET_WERROR=ON \
      -DALPHABET_TESTS=OFF -DALPHABET_BENCH=ON >/dev/null
  fi
  cmake --build build-bench -j"$(nproc)" --target alphabet-tool bench_make_file bench_pure \
    bench_paint bench_first_frame bench_close_look >/dev/null
  # The paint and start-up benchmarks need an X display: a virtual one where there is none.
  if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --under-display
  fi
fi

bin=build-bench/bin
work=$(mktemp -d "${TMPDIR:-/tmp}/alphabet-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
rows="$work/rows.tsv"
log="$work/log.txt"
started=$SECONDS
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# Glyph files: the sample, 1 MiB and 200 MiB of repeated sample letters (48
# points each) for the loader, 26 glyphs of 10,000 points and 100,000 glyphs
# of 48 points for the paints. The 2.3 GB file comes later, for the start-up
# and memory rows alone.
mkdir -p "$work/sample" "$work/huge"
"$bin/alphabet-tool" sample -o "$work/sample/universal.alphabet"
"$bin/bench_make_file" "$work/small.alphabet" 48 1M
"$bin/bench_make_file" "$work/large.alphabet" 48 200M
"$bin/bench_make_file" "$work/points10k.alphabet" 10000 26
"$bin/bench_make_file" "$work/glyphs100k.alphabet" 48 100000

fail() {
  echo "bench: $1 failed; its output:" >&2
  cat "$log" >&2
  exit 1
}

echo "Running the benchmarks (about four minutes)..." >&2
"$bin/bench_pure" --benchmark_enable_random_interleaving=true \
  "$rows" "$work/small.alphabet" "$work/large.alphabet" >"$log" 2>&1 || fail bench_pure
rm "$work/large.alphabet"
"$bin/bench_paint" "$rows" "$work/sample/universal.alphabet" "$work/points10k.alphabet" \
  "$work/glyphs100k.alphabet" >"$log" 2>&1 || fail bench_paint
bench/pen_import_rows.sh "$bin/alphabet-tool" "$rows" "$work" >"$log" 2>&1 || fail pen_import_rows.sh
# write: text to G-code, SVG, HPGL and CSV against hershey-font-gnuplot, and its peak memory.
bench/write_rows.sh "$bin/alphabet-tool" "$rows" "$work" >"$log" 2>&1 || fail write_rows.sh

# The closer look on a line of 99,000 Hershey characters in one glyph.
"$bin/bench_close_look" "$rows" /usr/share/hershey-fonts/futuram.jhf "$work" >"$log" 2>&1 ||
  fail bench_close_look
rm -f "$work/written-line.alphabet" "$work/one-letter.alphabet"

# render's SVG and PDF sheets against matplotlib, and their peak memory.
bench/vector_sheets.sh "$bin" "$work" "$rows" "$work/glyphs100k.alphabet" >"$log" 2>&1 ||
  fail vector_sheets.sh
scripts/bench_render.sh "$bin" "$rows" "$work" >"$log" 2>&1 || fail "the render row"

# 4,000,000 glyphs of 48 points, real points written out and synced, so that
# the disk's write-back does not run during the timed starts.
huge="$work/huge/universal.alphabet"
write_start=$SECONDS
"$bin/bench_make_file" "$huge" 48 4000000
sync "$huge"
echo "Wrote $(du -h --apparent-size "$huge" | cut -f1) of glyphs in $((SECONDS - write_start)) s" >&2
"$bin/bench_paint" --go-to "$rows" "$huge" >"$log" 2>&1 || fail "bench_paint --go-to"
"$bin/bench_first_frame" --launch "$rows" 7 "$work/sample" "$work/huge" "2.3 GB file" >"$log" 2>&1 ||
  fail bench_first_frame

# Peak memory of the viewer's start (the harness quits after the first frame),
# by GNU time, the 2.3 GB file against the sample: the file is mapped, so only
# the pages of the glyphs in view should be resident.
abs_bin=$(cd "$bin" && pwd)
declare -A peak_kb anon_kb file_kb
for case in sample huge; do
  (cd "$work/$case" && /usr/bin/time -v "$abs_bin/bench_first_frame" >"$work/out.txt" 2>"$log") ||
    fail "bench_first_frame under /usr/bin/time"
  peak_kb[$case]=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
  anon_kb[$case]=$(awk '{print $4}' "$work/out.txt")
  file_kb[$case]=$(awk '{print $6}' "$work/out.txt")
done
file_bytes=$(stat -c %s "$huge")
glyphs=$(od -An -t d4 -j4 -N4 "$huge" | tr -d ' ')
rm "$huge"
awk -v peak="${peak_kb[huge]}" -v anon="${anon_kb[huge]}" -v mapped="${file_kb[huge]}" \
  -v base="${peak_kb[sample]}" -v base_anon="${anon_kb[sample]}" -v base_mapped="${file_kb[sample]}" \
  -v bytes="$file_bytes" -v glyphs="$glyphs" '
  function mib(kb) { return kb / 1024 }
  # A change in MiB with its sign, never "-0.0".
  function change(kb,   text) {
    text = sprintf("%.1f", mib(kb)); if (text == "-0.0") text = "0.0"
    return (text ~ /^-/ ? "" : "+") text " MiB"
  }
  function thousands(n,   text) {
    text = sprintf("%d", n)
    while (text ~ /[0-9][0-9][0-9][0-9]/) sub(/[0-9][0-9][0-9]($|,)/, ",&", text)
    return text
  }
  BEGIN {
    printf "Peak memory (time -v), sample\t%.1f MiB\tat first frame %.1f MiB own + %.1f MiB mapped files\t\t\t\n",
      mib(base), mib(base_anon), mib(base_mapped)
    printf "Peak memory (time -v), 2.3 GB file\t%.1f MiB\t%.1f MiB sample; file %.0f MiB, %s glyphs\t%s\t<= +64 MiB\t%s\n",
      mib(peak), mib(base), bytes / 1024 / 1024, thousands(glyphs), change(peak - base),
      mib(peak - base) <= 64 ? "yes" : "NO"
    printf "  of it its own memory (RssAnon at first frame)\t%.1f MiB\t%.1f MiB sample\t%s\t\t\n",
      mib(anon), mib(base_anon), change(anon - base_anon)
    printf "  of it mapped files (RssFile at first frame)\t%.1f MiB\t%.1f MiB sample\t%s\t\t\n",
      mib(mapped), mib(base_mapped), change(mapped - base_mapped)
  }' >>"$rows"

load_after=$(cut -d' ' -f1-3 /proc/loadavg)
cpu=$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)
echo
echo "Alphabet viewer benchmarks: $(nproc) cores, ${cpu:-unknown CPU}; load average $load_before before, $load_after after; $((SECONDS - started)) s"
awk -F'\t' '
  { for (c = 1; c <= 6; c++) { cell[NR, c] = $c; if (length($c) > width[c]) width[c] = length($c) } }
  END {
    split("Measure|Value|Against|Ratio|Goal|Met", head, "|")
    for (c = 1; c <= 6; c++) if (length(head[c]) > width[c]) width[c] = length(head[c])
    line = ""; rule = ""
    for (c = 1; c <= 6; c++) {
      line = line sprintf("%s%-*s", c > 1 ? " | " : "", width[c], head[c])
      dashes = sprintf("%*s", width[c], ""); gsub(/ /, "-", dashes)
      rule = rule (c > 1 ? "-|-" : "") dashes
    }
    print line; print rule
    for (r = 1; r <= NR; r++) {
      line = ""
      for (c = 1; c <= 6; c++) line = line sprintf("%s%-*s", c > 1 ? " | " : "", width[c], cell[r, c])
      sub(/ +$/, "", line); print line
    }
  }' "$rows"
