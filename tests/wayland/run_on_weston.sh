#!/usr/bin/env bash
# Opens VIEWER on our sample alphabet on a private headless weston desktop
# (native Wayland, no X), screenshots the desktop until CHECKER finds the
# glyph grid whole or 30 s pass, and keeps the last screenshot and the logs in
# OUT_DIR. Exit 0 pass, 1 fail, 2 usage, 77 skipped: weston or the viewer's
# Qt Wayland platform plugin is not installed.
set -euo pipefail

if [[ $# -ne 4 ]]; then
  echo "usage: run_on_weston.sh VIEWER ALPHABET_TOOL CHECKER OUT_DIR" >&2
  exit 2
fi
viewer=$(realpath "$1")
tool=$(realpath "$2")
checker=$(realpath "$3")
out=$4
for program in weston weston-screenshooter; do
  if ! command -v "$program" >/dev/null; then
    echo "SKIP: $program is not installed (Debian package weston)"
    exit 77
  fi
done

mkdir -p "$out"
out=$(realpath "$out")
shot=$out/desktop.png
rm -f "$shot" "$out"/*.log
work=$(mktemp -d "${TMPDIR:-/tmp}/viewer-weston.XXXXXX") # mode 0700, as weston wants
weston_pid=
viewer_pid=

# Asks `pid` to end, then kills it if it is still there after 5 s.
stop() {
  local pid=$1
  [[ -n $pid ]] && kill -TERM "$pid" 2>/dev/null || return 0
  for _ in {1..50}; do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
cleanup() {
  stop "$viewer_pid"
  stop "$weston_pid" # its shell and keyboard clients end with their connection
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
  echo "FAIL: $1" >&2
  [[ -z ${2:-} ]] || sed 's/^/  /' "$2" >&2
  [[ ! -f $shot ]] || echo "Last screenshot: $shot" >&2
  exit 1
}

# A desktop of its own: no X, a private runtime folder, a socket name unique to this run.
unset DISPLAY WAYLAND_SOCKET
export XDG_RUNTIME_DIR=$work
export WAYLAND_DISPLAY=viewer-test-$$-$RANDOM
# --debug lets weston-screenshooter take pictures; --idle-time=0 keeps the screen from blanking.
weston --backend=headless-backend.so --use-pixman --width=800 --height=600 --no-config \
  --idle-time=0 --debug --socket="$WAYLAND_DISPLAY" --log="$out/weston.log" 2>/dev/null &
weston_pid=$!
for ((i = 0; i < 100; i++)); do
  [[ -S $work/$WAYLAND_DISPLAY ]] && break
  kill -0 "$weston_pid" 2>/dev/null || fail "weston exited at start; its log ($out/weston.log):" \
    "$out/weston.log"
  sleep 0.1
done
[[ -S $work/$WAYLAND_DISPLAY ]] || fail "weston made no socket $work/$WAYLAND_DISPLAY in 10 s"

mkdir "$work/run" "$work/shots"
"$tool" sample -o "$work/run/universal.alphabet" >"$out/tool.log" 2>&1 ||
  fail "$tool could not write the sample alphabet:" "$out/tool.log"
(cd "$work/run" && QT_QPA_PLATFORM=wayland exec "$viewer") >"$out/viewer.log" 2>&1 &
viewer_pid=$!

deadline=$((SECONDS + 30))
while :; do
  if ! kill -0 "$viewer_pid" 2>/dev/null; then
    status=0
    wait "$viewer_pid" || status=$?
    viewer_pid=
    if grep -q 'Could not find the Qt platform plugin "wayland"' "$out/viewer.log"; then
      echo "SKIP: the Qt Wayland platform plugin for $viewer is not installed" \
        "(Debian package qtwayland5 or qt6-wayland)"
      exit 77
    fi
    fail "$viewer exited with status $status before showing its glyphs; its output:" \
      "$out/viewer.log"
  fi
  (cd "$work/shots" && timeout 10 weston-screenshooter) >"$work/shooter.log" 2>&1 ||
    fail "weston-screenshooter took no screenshot:" "$work/shooter.log"
  taken=("$work"/shots/*.png)
  [[ -f ${taken[0]} ]] || fail "weston-screenshooter wrote no PNG in $work/shots"
  mv "${taken[0]}" "$shot"
  status=0
  "$checker" "$shot" >"$work/check.log" 2>&1 || status=$?
  if ((status == 0)); then
    cat "$work/check.log"
    echo "PASS: the viewer shows its whole glyph grid on Wayland; screenshot: $shot"
    exit 0
  fi
  ((status == 1)) || fail "$checker could not check $shot:" "$work/check.log"
  ((SECONDS < deadline)) || break
  sleep 0.5
done
fail "the viewer's window shows no whole glyph grid after 30 s:" "$work/check.log"
