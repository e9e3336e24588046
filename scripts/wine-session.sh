#!/usr/bin/env bash
# Runs one command inside a Wine session and cleans up after it:
#   - the build tree's own prefix ($ORB_BUILD/wineprefix, copied from the cached
#     template on first use and again whenever the template was made anew),
#   - LC_ALL=zh_CN.UTF-8, so the ANSI code page is 936,
#   - an Xvfb display of its own, or the real one when ORB_REAL_DISPLAY=1,
#   - one persistent wineserver for the whole command,
# and on exit (normal, failure, interrupt or timeout) every Wine process, the
# Xvfb it started and any test broker of the build tree are ended.
#   usage: wine-session.sh COMMAND [ARGS...]       (ORB_BUILD defaults to ./build)
set -uo pipefail

HERE=$(cd "$(dirname "$0")/.." && pwd)
CACHE=${ORBCHAT_CACHE:-$HOME/.cache/orbchat}
BUILD=$(cd "${ORB_BUILD:-$HERE/build}" && pwd)
TEMPLATE=$CACHE/wineprefix-template

export WINEPREFIX=$BUILD/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
export ORB_SESSION=1

# A prefix copied from an older template (other stamps) is copied again.
same_stamps() {
  local f
  for f in .stamp .stamp-settings; do
    cmp -s "$TEMPLATE/$f" "$WINEPREFIX/$f" || return 1
  done
}
if [ ! -f "$WINEPREFIX/system.reg" ] || { [ -f "$TEMPLATE/system.reg" ] && ! same_stamps; }; then
  [ -f "$TEMPLATE/system.reg" ] || { echo "wine-session: no prefix template; run scripts/deps.sh" >&2; exit 2; }
  rm -rf "$WINEPREFIX"
  cp -a "$TEMPLATE" "$WINEPREFIX"
fi

XVFB_PID=
cleanup() {
  trap - EXIT INT TERM
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  # A test broker (tests/orbcomm/mqtt/broker.sh) that a killed run could not
  # stop itself.
  for pidfile in "$BUILD"/mqtt-broker/broker.pid "$BUILD"/bench-broker/broker.pid "$BUILD"/demo-mqtt/broker/broker.pid; do
    [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null && rm -f "$pidfile"
  done
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ "${ORB_REAL_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  :
else
  # Xvfb picks a free display number itself and writes it to a file.
  NUMFILE=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${ORB_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$NUMFILE" >/dev/null 2>&1 &
  XVFB_PID=$!
  DISPLAY_NUM=
  for _ in $(seq 200); do
    DISPLAY_NUM=$(tr -dc 0-9 < "$NUMFILE")
    [ -n "$DISPLAY_NUM" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$NUMFILE"
  [ -n "$DISPLAY_NUM" ] || { echo "wine-session: Xvfb did not start" >&2; exit 2; }
  export DISPLAY=:$DISPLAY_NUM
fi

wineserver -p
# Start services.exe and friends detached from our pipes, so that a reader of
# the command's output is not kept waiting by them.
wine cmd /c exit </dev/null >/dev/null 2>&1

"$@"
