#!/usr/bin/env bash
# Runs every benchmark executable (bench_*.exe) of the build, one after another.
set -uo pipefail
BUILD=${ORB_BUILD:-build}
shopt -s nullglob
benches=("$BUILD"/bin/bench_*.exe)
[ ${#benches[@]} -gt 0 ] || { echo "bench: no benchmarks built"; exit 0; }
rc=0
for b in "${benches[@]}"; do
  echo "== $(basename "$b" .exe)"
  wine "$b" || rc=1
done
exit $rc
