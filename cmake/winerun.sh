#!/usr/bin/env bash
# The cross-compiling emulator: runs a Windows executable under Wine. Inside a
# session (scripts/wine-session.sh) it is a plain `wine`; called on its own it
# opens a session for this one run.
if [ -n "${ORB_SESSION:-}" ]; then
  exec wine "$@"
fi
exec "$(dirname "$0")/../scripts/wine-session.sh" wine "$@"
