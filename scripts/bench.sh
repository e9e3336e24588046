#!/usr/bin/env bash
# Runs every benchmark executable (bench_*.exe) of the build, one after another.
set -uo pipefail
BUILD=${ORB_BUILD:-build}
shopt -s nullglob
benches=("$BUILD"/bin/bench_*.exe)
[ ${#benches[@]} -gt 0 ] || { echo "bench: no benchmarks built"; exit 0; }
# bench_mqtt measures the MQTT transport through a Mosquitto broker of its
# own, started here (on the same processor as everything else) and stopped
# at the end.
BROKER=$(cd "$(dirname "$0")/.." && pwd)/tests/orbcomm/mqtt/broker.sh
export ORB_MQTT_DIR=$(cd "$BUILD" && pwd)/bench-broker
sh "$BROKER" start "$ORB_MQTT_DIR"
trap 'sh "$BROKER" stop "$ORB_MQTT_DIR"' EXIT
rc=0
for b in "${benches[@]}"; do
  echo "== $(basename "$b" .exe)"
  wine "$b" || rc=1
done
exit $rc
