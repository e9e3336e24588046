#!/usr/bin/env bash
# The cross-compiling emulator: runs a Windows executable under Wine. Inside a
# session (scripts/wine-session.sh) it is a plain `wine`; called on its own it
# opens a session for this one run.
#
# On a loaded machine Wine now and then fails to start a process at all: it
# exits at once with an error before the program wrote a line (every test
# program writes one first thing). Such a run is tried once more; a run whose
# program wrote anything keeps its result. Output still streams as it comes.
if [ -z "${ORB_SESSION:-}" ]; then
  exec "$(dirname "$0")/../scripts/wine-session.sh" wine "$@"
fi
out=$(mktemp) || exec wine "$@"
trap 'rm -f "$out"' EXIT
for attempt in 1 2; do
  wine "$@" | tee "$out"
  rc=${PIPESTATUS[0]}
  if [ "$rc" -eq 0 ] || [ -s "$out" ]; then break; fi
  echo "winerun: $1 exited with $rc before writing anything; running it again" >&2
done
exit "$rc"
