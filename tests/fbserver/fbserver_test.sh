#!/usr/bin/env bash
# scripts/fbserver runs a test server from a root of its own: two roots run at once, each
# on its own port with its own security database (each knows only its own SYSDBA
# password), a port that is taken is refused with nothing left running, and `stop` ends
# the server its `start` started in that root and no other process, not even one named
# firebird that another root's pid file or a reused pid points at. Real servers, on ports
# the script chooses (never the machine's 3050).
set -euo pipefail
source_dir=${1:?usage: fbserver_test.sh SOURCE_DIR}
fbserver=$source_dir/scripts/fbserver
if [ ! -x /usr/sbin/firebird ] || ! command -v isql-fb >/dev/null; then
  echo "needs the Firebird server and isql-fb"; exit 77
fi
if [ "$(id -u)" = 0 ] && ! id firebird >/dev/null 2>&1; then echo "needs the firebird user"; exit 77; fi
work=$(mktemp -d /tmp/fbserver-test.XXXXXX)
chmod 0755 "$work"
decoy=
cleanup() {
  for r in a b c d; do "$fbserver" stop "$work/$r" >/dev/null 2>&1 || true; done
  [ -z "$decoy" ] || kill "$decoy" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
status=0
check() { if ! eval "$2"; then echo "FAIL: $1"; status=1; fi; }
alive() {
  local state
  state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null || true)
  [ -n "$state" ] && [ "$state" != Z ]
}
# Whether the server at the address takes the password: it makes a database with it.
takes() {
  local name
  name=$1-$RANDOM.fdb
  printf "create database '%s:%s' user 'SYSDBA' password '%s';\n" "$2" "$4/databases/$name" "$3" |
    env -u FIREBIRD -u ISC_USER -u ISC_PASSWORD isql-fb -q >/dev/null 2>&1
}

# Two roots started at once.
MARLITH_FB_PASSWORD=key-of-a "$fbserver" start "$work/a" >"$work/a.out" 2>&1 &
start_a=$!
MARLITH_FB_PASSWORD=key-of-b "$fbserver" start "$work/b" >"$work/b.out" 2>&1 &
start_b=$!
wait $start_a || { echo "FAIL: root a did not start: $(cat "$work/a.out")"; exit 1; }
wait $start_b || { echo "FAIL: root b did not start: $(cat "$work/b.out")"; exit 1; }
address_a=$(cat "$work/a.out") address_b=$(cat "$work/b.out")
port_a=$(cat "$work/a/port") server_a=$(cat "$work/a/server.pid")
port_b=$(cat "$work/b/port") server_b=$(cat "$work/b/server.pid")
check "the printed address is the root's port" '[ "$address_a" = "127.0.0.1/$port_a" ] && [ "$address_b" = "127.0.0.1/$port_b" ]'
check "each root has a port of its own, not 3050" '[ "$port_a" != "$port_b" ] && [ "$port_a" != 3050 ] && [ "$port_b" != 3050 ]'
check "each server takes its own password" 'takes a "$address_a" key-of-a "$work/a" && takes b "$address_b" key-of-b "$work/b"'
check "neither takes the other's password" '! takes a "$address_a" key-of-b "$work/a" && ! takes b "$address_b" key-of-a "$work/b"'

# A port that is taken: an error, and nothing of that root runs.
check "a taken port is refused" '! "$fbserver" start "$work/c" "$port_a" >"$work/c.out" 2>&1'
check "the refusal names the port" 'grep -q "port $port_a is taken" "$work/c.out"'
check "a refused start leaves no pid file" '[ ! -e "$work/c/server.pid" ]'
check "the server on that port still runs" 'alive "$server_a" && takes a "$address_a" key-of-a "$work/a"'

# A pid file that names a process which is not this root's server: a process named
# firebird of another root (a stand-in: a copy of sleep under the server's name).
mkdir "$work/stand-in" "$work/d"
cp "$(command -v sleep)" "$work/stand-in/firebird"
FIREBIRD=$work/b "$work/stand-in/firebird" 600 &
decoy=$!
for _ in $(seq 1 100); do [ "$(cat "/proc/$decoy/comm" 2>/dev/null)" = firebird ] && break; sleep 0.1; done
echo "$decoy" >"$work/d/server.pid"
"$fbserver" stop "$work/d" >/dev/null
check "stop leaves a process that is not its root's server" 'alive "$decoy"'

# Stopping one root ends its server alone.
"$fbserver" stop "$work/b" >/dev/null
check "stop ends its root's server" '! alive "$server_b"'
check "stop removes its pid file" '[ ! -e "$work/b/server.pid" ]'
check "the other root's server still runs" 'alive "$server_a" && takes a "$address_a" key-of-a "$work/a"'
"$fbserver" stop "$work/a" >/dev/null
check "the other root stops in turn" '! alive "$server_a"'

[ $status = 0 ] && echo "fbserver: two roots at once, a taken port refused, stop ends only its own server"
exit $status
