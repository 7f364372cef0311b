#!/usr/bin/env bash
# The write rows of `make bench`: 99,000 characters (the pangram 2,200 times, one
# line) with Debian's futural.jhf to G-code, SVG, HPGL and CSV, each against
# Debian's hershey-font-gnuplot printing the same text's segments, timed in turn
# as whole processes (the median of five runs each), both writing to standard
# output redirected to a file (a named output is synced to disk before it
# replaces anything, which the peer never does); the sizes of the G-code and
# HPGL against its output; and the peak memory of 1,000,000 characters to G-code.
# usage: write_rows.sh ALPHABET-TOOL ROWS.tsv WORKDIR
set -euo pipefail
tool=$1 rows=$2 work=$3
font=/usr/share/hershey-fonts/futural.jhf
pangram="The quick brown fox jumps over the lazy dog. "
text=$(printf "%.0s$pangram" $(seq 2200))
chars=${#text}

# Wall-clock seconds of one run of the command given, its output to the file given.
seconds() {
  local out=$1 start end
  shift
  start=$(date +%s%N)
  "$@" >"$out" 2>/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN {printf "%.3f", ns / 1e9}'
}

median() { sort -n | sed -n 3p; }

declare -A ours
peer_runs=()
for _ in 1 2 3 4 5; do
  peer_runs+=("$(seconds "$work/peer.gp" hershey-font-gnuplot futural "$text")")
  for format in gcode svg hpgl csv; do
    ours[$format]+="$(seconds "$work/text.$format" "$tool" write "$text" --with "$font" --format "$format") "
  done
done
peer=$(printf '%s\n' "${peer_runs[@]}" | median)
peer_bytes=$(stat -c %s "$work/peer.gp")
declare -A names=([gcode]=G-code [svg]="plotter SVG" [hpgl]=HPGL [csv]=CSV)
for format in gcode svg hpgl csv; do
  time=$(printf '%s\n' ${ours[$format]} | median)
  awk -v ours="$time" -v peer="$peer" -v chars="$chars" -v name="${names[$format]}" \
    -v mib="$(stat -c %s "$work/text.$format")" -v peer_mib="$peer_bytes" 'BEGIN {
    printf "write %d characters with futural.jhf to %s (%.1f MB)\t%.3f s\t%.3f s hershey-font-gnuplot (%.1f MB)\t%.2f\t<= 1\t%s\n",
      chars, name, mib / 1e6, ours, peer, peer_mib / 1e6, ours / peer, (ours <= peer ? "yes" : "NO")
  }' >>"$rows"
done
for format in gcode hpgl; do
  awk -v bytes="$(stat -c %s "$work/text.$format")" -v peer="$peer_bytes" -v name="${names[$format]}" 'BEGIN {
    printf "write: %s size for the same text\t%.1f MB\t%.1f MB hershey-font-gnuplot\t%.2f\t<= 1\t%s\n",
      name, bytes / 1e6, peer / 1e6, bytes / peer, (bytes <= peer ? "yes" : "NO")
  }' >>"$rows"
done
rm -f "$work"/text.* "$work/peer.gp"

# 1,000,000 characters from a text file, one line, streamed to G-code.
head -c 1000000 < <(yes "$pangram" | tr -d '\n') >"$work/million.txt"
/usr/bin/time -v "$tool" write --text-file "$work/million.txt" --with "$font" \
  -o "$work/million.gcode" 2>"$work/time.txt" >/dev/null
peak=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
awk -v kb="$peak" -v bytes="$(stat -c %s "$work/million.gcode")" 'BEGIN {
  printf "Peak memory (time -v), write 1,000,000 characters to G-code (%.0f MB)\t%.1f MiB\t\t\t< 64 MiB\t%s\n",
    bytes / 1e6, kb / 1024, (kb / 1024 < 64 ? "yes" : "NO")
}' >>"$rows"
rm -f "$work/million.txt" "$work/million.gcode" "$work/time.txt"
