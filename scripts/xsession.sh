#!/usr/bin/env bash
# Runs a command inside a fresh Xvfb display with openbox as window manager.
# Usage: xsession.sh COMMAND [ARGS...]
set -euo pipefail
display_num=${ZOVA_TEST_DISPLAY:-$((90 + RANDOM % 100))}
while [ -e "/tmp/.X11-unix/X$display_num" ] || [ -e "/tmp/.X$display_num-lock" ]; do
  display_num=$((display_num + 1))
done
Xvfb ":$display_num" -screen 0 1920x1080x24 -nolisten tcp +extension Composite +extension RANDR >/tmp/zova-xvfb-$display_num.log 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display_num"
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.05
done
openbox --sm-disable >/tmp/zova-openbox-$display_num.log 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
cleanup() { kill "$wm_pid" "$xvfb_pid" 2>/dev/null || true; wait 2>/dev/null || true; }
trap cleanup EXIT
set +e
"$@"
status=$?
set -e
exit $status
