#!/bin/sh
# A Mosquitto broker of the tests' own: configuration, password file, access
# rules, persistence folder and a free loopback port, all in DIR (in the
# build tree); the system's broker service is never touched. Also runs
# Debian's mosquitto_pub and mosquitto_sub as an independent client.
#
#   broker.sh start DIR     make DIR, start the broker, write DIR/port (plain) and
#                           DIR/tls_port (TLS, certificates in DIR/tls), make
#                           every user's inbox; when it cannot start, write the
#                           reason into DIR/error
#   broker.sh restart DIR   start it again on the same port with the same data
#   broker.sh stop DIR      end it (SIGTERM: it saves its persistence first)
#   broker.sh pub DIR USER TOPIC PAYLOADFILE RESULT
#                           publish (MQTT 5, QoS 1) as USER; RESULT gets the exit
#                           status and the client's messages
#   broker.sh clean DIR RESULT USER...
#                           start the broker again if a test left it stopped,
#                           and end the persistent sessions of the users (what
#                           the broker kept for them is dropped) and make their
#                           inboxes anew, for a fresh test
#   broker.sh sub DIR USER FILTER COUNT OUT
#                           read COUNT messages as USER's persistent session
#                           (COUNT 0: only make the session), topic and payload
#                           per line into OUT
# The tests find this script as DIR/broker.sh (start copies it there).
# Called by the tests from Wine, which cannot wait for a Unix process: each
# command writes its result file last, under its final name, and the caller
# waits for that file. Arguments hold no blanks.
set -u
cmd=$1 dir=$2
shift 2
pidfile=$dir/broker.pid

# The users of the tests and their passwords; the passwords are the user
# ids with "pw-" before them.
USERS="c1001 c1002 c1003 c1004 c1005"
# Community 12 and its members (c1004 is not one).
COMMUNITY_12="c1001 c1002 c1003"

write_atomic() {  # file, text
  printf '%s\n' "$2" > "$1.tmp" && mv "$1.tmp" "$1"
}

# Whether something listens on the TCP port (read from /proc, so that the
# script needs nothing beyond the shell, awk and Mosquitto).
listening() {
  cat /proc/net/tcp /proc/net/tcp6 2>/dev/null |
    awk -v port="$(printf ':%04X' "$1")" '$2 ~ port "$" && $4 == "0A" { found = 1 } END { exit !found }'
}

# A port nothing listens on, from 20000 to 49999, other than $1.
free_port() {
  for i in $(seq 50); do
    port=$(awk -v salt=$(($$ * 64 + i)) 'BEGIN { srand(); srand(int(rand() * 1000000) + salt); print int(20000 + rand() * 30000) }')
    [ "$port" != "${1:-}" ] && ! listening "$port" && { echo "$port"; return 0; }
  done
  return 1
}

# A certificate authority of the test run's own and a certificate for
# localhost signed by it, for the TLS listener; a second authority that
# signed nothing, for a client that must not trust the broker.
make_certificates() {
  mkdir -p "$dir/tls"
  (
    cd "$dir/tls" || exit 1
    for ca in ca other-ca; do
      openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 3 \
        -subj "/CN=OrbChat test $ca" -keyout "$ca.key" -out "$ca.crt" >/dev/null 2>&1 || exit 1
    done
    openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj /CN=localhost \
      -keyout server.key -out server.csr >/dev/null 2>&1 || exit 1
    printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\n' > server.ext
    openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -days 3 -extfile server.ext \
      -out server.crt >/dev/null 2>&1
  )
}

configure() {
  mkdir -p "$dir/db"
  : > "$dir/passwd"
  for u in $USERS; do mosquitto_passwd -b "$dir/passwd" "$u" "pw-$u" >/dev/null 2>&1 || return 1; done
  chmod 600 "$dir/passwd" 2>/dev/null
  {
    echo "# Each user reads only its own inbox and writes into inboxes only as"
    echo "# itself: the last level of a topic is the sender, and the client id is"
    echo "# the authenticated user name (use_username_as_clientid)."
    echo "pattern read orbchat/u/%c/#"
    echo "pattern write orbchat/u/+/from/%c"
    echo
    echo "# Community 12: its members read it and write into it as themselves."
    for u in $COMMUNITY_12; do
      echo "user $u"
      echo "topic read orbchat/g/12/#"
      echo "topic write orbchat/g/12/from/$u"
    done
  } > "$dir/acl"
  cat > "$dir/mosquitto.conf" <<CONF
per_listener_settings false
user $(id -un)
listener $(cat "$dir/port") 127.0.0.1
allow_anonymous false
password_file $dir/passwd
acl_file $dir/acl
use_username_as_clientid true
persistence true
persistence_location $dir/db/
autosave_interval 60
max_queued_messages 100000
max_inflight_messages 100
set_tcp_nodelay true
message_size_limit 1048576
$(tls_listener)
log_dest file $dir/broker.log
log_type error
log_type warning
log_type notice
CONF
}

launch() {
  rm -f "$dir/error"
  mosquitto -c "$dir/mosquitto.conf" </dev/null >>"$dir/broker.out" 2>&1 &
  echo $! > "$pidfile"
  for _ in $(seq 100); do
    listening "$(cat "$dir/port")" && return 0
    kill -0 "$(cat "$pidfile")" 2>/dev/null || break
    sleep 0.05
  done
  write_atomic "$dir/error" "mosquitto did not start: $(tail -3 "$dir/broker.out" "$dir/broker.log" 2>/dev/null | tr '\n' ' ')"
  return 1
}

# A TLS listener on the next port, when the certificates could be made.
tls_listener() {
  [ -f "$dir/tls/server.crt" ] || return 0
  printf 'listener %s 127.0.0.1\ncafile %s\ncertfile %s\nkeyfile %s\n' "$(cat "$dir/tls_port")" \
    "$dir/tls/ca.crt" "$dir/tls/server.crt" "$dir/tls/server.key"
}

# A user's inbox exists at the broker once the user's persistent session has
# subscribed to it: from then on the broker keeps what arrives while the user
# is away. Accounts are provisioned that way when they are made, so that
# nothing sent before a user's first login is lost.
provision() {  # user
  local topics="-t orbchat/u/$1/from/+"
  case " $COMMUNITY_12 " in *" $1 "*) topics="$topics -t orbchat/g/12/from/+" ;; esac
  # shellcheck disable=SC2086
  mosquitto_sub -h 127.0.0.1 -p "$(cat "$dir/port")" -V mqttv311 -q 1 -c -i "$1" -u "$1" -P "pw-$1" $topics -E \
    >/dev/null 2>&1
}

stop() {
  [ -f "$pidfile" ] || return 0
  pid=$(cat "$pidfile")
  kill "$pid" 2>/dev/null
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -9 "$pid" 2>/dev/null
  rm -f "$pidfile"
}

case "$cmd" in
  start)
    stop
    rm -rf "$dir"
    mkdir -p "$dir"
    if ! command -v mosquitto >/dev/null 2>&1; then
      write_atomic "$dir/error" "mosquitto is not installed (scripts/setup.sh installs it)"
      exit 0
    fi
    cp "$0" "$dir/broker.sh"
    # Another program may take the port between the choice and the start:
    # then another port is tried.
    for _ in 1 2 3 4 5; do
      free_port > "$dir/port" || continue
      free_port "$(cat "$dir/port")" > "$dir/tls_port" || continue
      [ -f "$dir/tls/server.crt" ] || make_certificates || rm -rf "$dir/tls"
      if ! configure; then
        write_atomic "$dir/error" "the password file could not be written (mosquitto_passwd)"
        exit 0
      fi
      if launch; then
        for u in $USERS; do provision "$u"; done
        exit 0
      fi
    done
    exit 0 ;;
  restart)
    stop
    launch
    write_atomic "$1" "started $?" ;;
  stop)
    stop
    if [ $# -ge 1 ]; then write_atomic "$1" "stopped"; fi ;;
  pub)
    user=$1 topic=$2 payload=$3 result=$4
    out=$(mosquitto_pub -h 127.0.0.1 -p "$(cat "$dir/port")" -V mqttv5 -q 1 -u "$user" -P "pw-$user" \
            -i "$user" -t "$topic" -f "$payload" 2>&1)
    write_atomic "$result" "$? $out" ;;
  clean)
    result=$1
    shift
    if ! { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }; then launch; fi
    for user in "$@"; do
      mosquitto_sub -h 127.0.0.1 -p "$(cat "$dir/port")" -V mqttv311 -i "$user" -u "$user" -P "pw-$user" \
        -t "orbchat/u/$user/from/+" -E >/dev/null 2>&1
      provision "$user"
    done
    write_atomic "$result" "cleaned" ;;
  sub)
    user=$1 filter=$2 count=$3 out=$4
    if [ "$count" = 0 ]; then
      mosquitto_sub -h 127.0.0.1 -p "$(cat "$dir/port")" -V mqttv311 -q 1 -c -i "$user" -u "$user" \
        -P "pw-$user" -t "$filter" -E > "$out.tmp" 2>&1
    else
      mosquitto_sub -h 127.0.0.1 -p "$(cat "$dir/port")" -V mqttv311 -q 1 -c -i "$user" -u "$user" \
        -P "pw-$user" -t "$filter" -C "$count" -W 20 -v > "$out.tmp" 2>&1
    fi
    echo "exit $?" >> "$out.tmp"
    mv "$out.tmp" "$out" ;;
  *)
    echo "usage: $0 start|restart|stop|pub|sub DIR ..." >&2
    exit 2 ;;
esac
