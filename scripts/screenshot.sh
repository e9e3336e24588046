#!/usr/bin/env bash
# Runs a Windows executable in a Wine virtual desktop on its own Xvfb display
# and saves a PNG of the screen, either when the program creates the file named
# by ORB_READY_FILE (it receives that variable as a Windows path) or after a
# fixed time.
#   usage: screenshot.sh OUT.png [--wait SECONDS] [--timeout SECONDS] [--size WxH] -- EXE [ARGS...]
#   --wait      take the picture after this many seconds instead of waiting for the ready file
#   --timeout   longest wait for the ready file (default 30)
set -uo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 1 ] || { echo "usage: $0 OUT.png [--wait S] [--timeout S] [--size WxH] -- EXE [ARGS...]" >&2; exit 2; }
OUT=$(realpath -m "$1"); shift
WAIT= TIMEOUT=30 SIZE=1024x768
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  case "$1" in
    --wait) WAIT=$2; shift 2 ;;
    --timeout) TIMEOUT=$2; shift 2 ;;
    --size) SIZE=$2; shift 2 ;;
    *) echo "screenshot: unknown option $1" >&2; exit 2 ;;
  esac
done
[ "${1:-}" = "--" ] && shift
[ $# -ge 1 ] || { echo "screenshot: no program given" >&2; exit 2; }

if [ -z "${ORB_SESSION:-}" ]; then
  export ORB_SCREEN=${SIZE}x24
  exec "$HERE/wine-session.sh" "$0" "$OUT" ${WAIT:+--wait "$WAIT"} --timeout "$TIMEOUT" --size "$SIZE" -- "$@"
fi

READY=$(mktemp -u /tmp/orb-ready.XXXXXX)
export ORB_READY_FILE="Z:${READY//\//\\}"
wine explorer "/desktop=shot,$SIZE" "$@" </dev/null >/dev/null 2>&1 &
APP=$!

if [ -n "$WAIT" ]; then
  sleep "$WAIT"
else
  for _ in $(seq $((TIMEOUT * 10))); do
    [ -e "$READY" ] && break
    kill -0 "$APP" 2>/dev/null || break
    sleep 0.1
  done
  [ -e "$READY" ] || echo "screenshot: the program did not signal ready; taking the picture anyway" >&2
  sleep 0.5   # let the last paints reach the X server
fi
mkdir -p "$(dirname "$OUT")"
import -window root "$OUT"
rc=$?
rm -f "$READY"
kill "$APP" 2>/dev/null
[ $rc -eq 0 ] && echo "screenshot: $OUT"
exit $rc
