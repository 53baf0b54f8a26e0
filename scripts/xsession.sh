#!/usr/bin/env bash
# Runs a command inside a fresh Xvfb display with openbox as window manager.
# Usage: xsession.sh COMMAND [ARGS...]
# Fails (status 125, before running the command) when Xvfb or openbox does not
# come up, with the end of its log.
set -euo pipefail
display_num=${ZOVA_TEST_DISPLAY:-$((90 + RANDOM % 100))}
while [ -e "/tmp/.X11-unix/X$display_num" ] || [ -e "/tmp/.X$display_num-lock" ]; do
  display_num=$((display_num + 1))
done
xvfb_log=/tmp/zova-xvfb-$display_num.log
wm_log=/tmp/zova-openbox-$display_num.log
wm_pid=
cleanup() {
  kill $wm_pid "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
}
# Waits up to 10 s for the check to pass while the process lives.
come_up() {
  local pid=$1
  shift
  for _ in $(seq 200); do
    "$@" && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}
give_up() {
  echo "xsession.sh: $1 did not come up on :$display_num; the end of $2:" >&2
  tail -n 20 "$2" >&2 || true
  cleanup
  exit 125
}

Xvfb ":$display_num" -screen 0 1920x1080x24 -nolisten tcp +extension Composite +extension RANDR >"$xvfb_log" 2>&1 &
xvfb_pid=$!
trap cleanup EXIT
export DISPLAY=":$display_num"
come_up "$xvfb_pid" xdpyinfo >/dev/null 2>&1 || give_up Xvfb "$xvfb_log"

openbox --sm-disable >"$wm_log" 2>&1 &
wm_pid=$!
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
come_up "$wm_pid" wm_ready || give_up openbox "$wm_log"

set +e
"$@"
status=$?
set -e
exit $status
