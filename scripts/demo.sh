#!/usr/bin/env bash
# The main job: the demo host. On a real display (ORB_REAL_DISPLAY=1 with
# DISPLAY set) it runs interactively; otherwise it runs its scripted sequence on
# Xvfb (each tab checked and pictured in $ORB_BUILD/shots/demo-*.png with a
# report in demo-report.txt) and leaves a screenshot in $ORB_BUILD/shots/demo.png.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=${ORB_BUILD:-$HERE/../build}
DEMO=$BUILD/bin/OrbChatDemo.exe
if [ "${ORB_REAL_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  exec "$HERE/wine-session.sh" wine "$DEMO"
fi
exec "$HERE/screenshot.sh" "$BUILD/shots/demo.png" -- "$DEMO" --script --exit-after 60000
