#!/bin/sh
# Starts the demo program in a real X window on a virtual display (Xvfb), takes a picture of
# the display, and checks that the program is still running with its window up.
#   DemoWindowTest.sh DEMO_BINARY GRABBER OUTPUT.png
set -u
DEMO=$1 GRAB=$2 OUT=$3
command -v Xvfb >/dev/null || { echo "Xvfb is missing: install the xvfb package"; exit 1; }
# A display number of our own.
N=$((90 + $$ % 400))
while [ -e "/tmp/.X$N-lock" ]; do N=$((N + 1)); done
Xvfb ":$N" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XPID=$!
cleanup() { kill "${DPID:-}" 2>/dev/null; kill "$XPID" 2>/dev/null; wait 2>/dev/null; }
trap cleanup EXIT
export DISPLAY=":$N" QT_QPA_PLATFORM=xcb
for _ in 1 2 3 4 5 6 7 8 9 10; do [ -e "/tmp/.X11-unix/X$N" ] && break; sleep 0.3; done
(cd "$(dirname "$DEMO")" && exec "$DEMO") &
DPID=$!
"$GRAB" "$OUT" "Memory Table Demo App" 60 || { echo "the demo's window did not show"; exit 1; }
kill -0 "$DPID" 2>/dev/null || { echo "the demo program ended instead of running"; exit 1; }
echo "the demo's window showed: $OUT"
