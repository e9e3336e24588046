#!/usr/bin/env bash
# Two demo hosts as on two machines: 张三 and 李四, two processes with
# profile folders of their own, chat through one Mosquitto broker (started
# here on a free loopback port, with its files in $ORB_BUILD/demo-mqtt, and
# stopped at the end):
#   1. 张三 alone sends 李四 a message while 李四 is not running;
#   2. 李四 starts, the waiting message opens its window, he answers;
#      张三 starts again meanwhile, 李四's answer opens his window, he
#      answers in turn, and 李四 sees it.
# Each host pictures its conversation window ($ORB_BUILD/shots/demo-mqtt-*.png)
# and writes its report; the whole screen with both windows side by side is
# demo-mqtt.png. Fails when any host's checks fail.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${ORB_BUILD:-$HERE/../build}" && pwd)
export ORB_BUILD=$BUILD
if [ -z "${ORB_SESSION:-}" ]; then
  # Wide enough for the two conversation windows side by side.
  export ORB_SCREEN=1360x800x24
  exec "$HERE/wine-session.sh" "$0" "$@"
fi

DEMO=$BUILD/bin/OrbChatDemo.exe
WORK=$BUILD/demo-mqtt
SHOTS=$BUILD/shots
BROKER=$HERE/../tests/orbcomm/mqtt/broker.sh
win() { echo "Z:${1//\//\\}"; }

rm -rf "$WORK"
mkdir -p "$WORK" "$SHOTS"
rm -f "$SHOTS"/demo-mqtt*
sh "$BROKER" start "$WORK/broker"
trap 'sh "$BROKER" stop "$WORK/broker"' EXIT
if [ -f "$WORK/broker/error" ]; then
  echo "demo-mqtt: $(cat "$WORK/broker/error")" >&2
  exit 1
fi
SERVER=mqtt://127.0.0.1:$(cat "$WORK/broker/port")
echo "demo-mqtt: broker at $SERVER"

# Each "machine" has its own profile folder; the password is the user's own
# setting (the test broker's password of c1001 is pw-c1001).
for who in 1001:zhang 1002:li; do
  id=${who%%:*} dir=$WORK/${who##*:}
  mkdir -p "$dir"
  printf '[Login]\r\nPassword=pw-c%s\r\n' "$id" > "$dir/$id.ini"
done

run() {  # user, profile, role, ready file
  ORB_READY_FILE=$(win "$4") wine "$DEMO" --user "$1" --profile "$(win "$WORK/$2")" --server "$SERVER" \
    --chat "$3" --shots "$(win "$SHOTS")" --hold 5000 --exit-after 120000 </dev/null >"$WORK/$2-$3.log" 2>&1
}

status=0
echo "demo-mqtt: 张三 sends while 李四 is not running"
run 1001 zhang send-offline "$WORK/ready-1"
rc=$?
cp "$SHOTS/demo-report.txt" "$SHOTS/demo-mqtt-report-1-zhang.txt" 2>/dev/null
[ $rc -eq 0 ] || { echo "demo-mqtt: 张三's first run failed ($rc)" >&2; status=1; }

echo "demo-mqtt: 李四 starts and answers; 张三 starts again and answers him"
run 1002 li reply "$WORK/ready-li" &
LI=$!
sleep 2
# Each run writes demo-report.txt when it ends; the later one would
# overwrite the earlier, so each host's report is kept from its log.
run 1001 zhang answer "$WORK/ready-zhang" &
ZHANG=$!
for _ in $(seq 1200); do
  [ -e "$WORK/ready-li" ] && [ -e "$WORK/ready-zhang" ] && break
  kill -0 $LI 2>/dev/null || kill -0 $ZHANG 2>/dev/null || break
  sleep 0.1
done
sleep 0.5
import -window root "$SHOTS/demo-mqtt.png" && echo "screenshot: $SHOTS/demo-mqtt.png"
wait $LI; rc_li=$?
wait $ZHANG; rc_zhang=$?
[ $rc_li -eq 0 ] || { echo "demo-mqtt: 李四's run failed ($rc_li)" >&2; status=1; }
[ $rc_zhang -eq 0 ] || { echo "demo-mqtt: 张三's second run failed ($rc_zhang)" >&2; status=1; }
for log in "$WORK"/*.log; do
  echo "== $(basename "$log" .log)"
  grep -a -v '^$' "$log" | sed 's/^OrbChatDemo: //' | tr -d '\r'
done | tee "$SHOTS/demo-mqtt-report.txt"
exit $status
