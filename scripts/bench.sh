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
    bench_paint bench_first_frame >/dev/null
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
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# Glyph files: the sample, 1 MiB and 200 MiB of repeated sample letters (48
# points each), 26 glyphs of 10,000 points and 100,000 glyphs of 48 points.
mkdir -p "$work/sample" "$work/large"
"$bin/alphabet-tool" sample -o "$work/sample/universal.alphabet"
"$bin/bench_make_file" "$work/small.alphabet" 48 1M
"$bin/bench_make_file" "$work/large/universal.alphabet" 48 200M
"$bin/bench_make_file" "$work/points10k.alphabet" 10000 26
"$bin/bench_make_file" "$work/glyphs100k.alphabet" 48 100000

fail() {
  echo "bench: $1 failed; its output:" >&2
  cat "$log" >&2
  exit 1
}

echo "Running the benchmarks (a few minutes)..." >&2
"$bin/bench_pure" --benchmark_enable_random_interleaving=true \
  "$rows" "$work/small.alphabet" "$work/large/universal.alphabet" >"$log" 2>&1 || fail bench_pure
"$bin/bench_paint" "$rows" "$work/sample/universal.alphabet" "$work/points10k.alphabet" \
  "$work/glyphs100k.alphabet" >"$log" 2>&1 || fail bench_paint
for case in sample large; do
  label=$([[ $case == sample ]] && echo "sample" || echo "200 MiB file")
  "$bin/bench_first_frame" --launch "$rows" "$label" "$work/$case" 5 >"$log" 2>&1 ||
    fail bench_first_frame
done

# Peak memory of the viewer's start (the harness quits after the first frame),
# by GNU time, against what the file itself brings: its bytes and the
# per-glyph arrays (a point pointer, an orientation and a flag byte per glyph).
abs_bin=$(cd "$bin" && pwd)
declare -A peak_kb anon_kb file_kb
for case in sample large; do
  (cd "$work/$case" && /usr/bin/time -v "$abs_bin/bench_first_frame" >"$work/out.txt" 2>"$log") ||
    fail "bench_first_frame under /usr/bin/time"
  peak_kb[$case]=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
  anon_kb[$case]=$(awk '{print $4}' "$work/out.txt")
  file_kb[$case]=$(awk '{print $6}' "$work/out.txt")
done
file_bytes=$(stat -c %s "$work/large/universal.alphabet")
glyphs=$(od -An -t d4 -j4 -N4 "$work/large/universal.alphabet" | tr -d ' ')
awk -v peak="${peak_kb[large]}" -v anon="${anon_kb[large]}" -v base="${peak_kb[sample]}" \
  -v base_anon="${anon_kb[sample]}" -v base_file="${file_kb[sample]}" -v bytes="$file_bytes" -v glyphs="$glyphs" '
  BEGIN {
    mib = 1024 * 1024; file = bytes / mib; arrays = glyphs * (8 + 16 + 1) / mib
    total = peak / 1024; own = anon / 1024
    printf "Peak memory (time -v), sample\t%.1f MiB\tat first frame %.1f MiB own + %.1f MiB mapped files\t\t\t\n",
      base / 1024, base_anon / 1024, base_file / 1024
    printf "Peak memory (time -v), 200 MiB file\t%.1f MiB\tfile %.1f + arrays %.1f MiB\t+%.1f MiB\t<= +50 MiB\t%s\n",
      total, file, arrays, total - file - arrays, (total - file - arrays <= 50) ? "yes" : "NO"
    printf "  of it its own memory (RssAnon at first frame)\t%.1f MiB\tfile %.1f + arrays %.1f MiB\t+%.1f MiB\t<= +50 MiB\t%s\n",
      own, file, arrays, own - file - arrays, (own - file - arrays <= 50) ? "yes" : "NO"
    printf "  200 MiB file over the sample\t+%.1f MiB\tfile %.1f + arrays %.1f MiB\t%.3f\t\t\n",
      (peak - base) / 1024, file, arrays, (peak - base) / 1024 / (file + arrays)
  }' >>"$rows"

load_after=$(cut -d' ' -f1-3 /proc/loadavg)
cpu=$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)
echo
echo "Alphabet viewer benchmarks: $(nproc) cores, ${cpu:-unknown CPU}; load average $load_before before, $load_after after"
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
