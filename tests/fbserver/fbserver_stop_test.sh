#!/usr/bin/env bash
# `scripts/fbserver stop` ends the server whose pid its guard wrote, and that guard, and
# leaves every other process named firebird running: another suite's server on the same
# machine, run by the same firebird user. The processes are stand-ins (copies of sleep
# and bash under the names the real ones have), and the pid files live in a folder of
# the test's own, so a real server running on this machine is never touched.
set -euo pipefail
root=${1:?usage: fbserver_stop_test.sh SOURCE_DIR}
if [ "$(id -u)" != 0 ] || ! id firebird >/dev/null 2>&1 || ! command -v runuser >/dev/null; then
  echo "needs root, runuser and the firebird user"; exit 77
fi
work=$(mktemp -d)
chmod 0755 "$work"
decoy= guard= server=
cleanup() {
  for pid in $decoy $server $guard; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
# Gone, or ended and not yet reaped by its parent (this shell for the guard).
ended() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null || true)
  [ -z "$state" ] || [ "$state" = Z ]
}
trap cleanup EXIT
cp "$(command -v sleep)" "$work/firebird"
cp "$(command -v bash)" "$work/fbguard"
mkdir "$work/run"

# Another server, run by the firebird user and started by nobody's fbserver.
runuser -u firebird -- "$work/firebird" 601 &
for _ in $(seq 1 100); do
  decoy=$(pgrep -u firebird -x -f "$work/firebird 601" || true)
  [ -n "$decoy" ] && break
  sleep 0.1
done
[ -n "$decoy" ] || { echo "FAIL: the other server did not start"; exit 1; }

# The server start made: a guard that writes its server's pid and, told to end, ends the
# server first, as fbguard does.
"$work/fbguard" -c 'trap "kill \$server; wait \$server; exit 0" TERM
                     "$0" 600 & server=$!; echo $server >"$1"; wait $server' "$work/firebird" "$work/run/fbguard.pid" &
guard=$!
for _ in $(seq 1 100); do [ -s "$work/run/fbguard.pid" ] && break; sleep 0.1; done
server=$(cat "$work/run/fbguard.pid")

# stop returns once what it ends has ended.
MARLITH_FBSERVER_RUN="$work/run" "$root/scripts/fbserver" stop

status=0
if ! ended "$server"; then echo "FAIL: the server of the pid file still runs"; status=1; fi
if ! ended "$guard"; then echo "FAIL: its guard still runs"; status=1; fi
if ended "$decoy"; then echo "FAIL: another firebird process was ended"; status=1; fi
if [ -e "$work/run/fbguard.pid" ]; then echo "FAIL: the pid file is left"; status=1; fi
[ $status = 0 ] && echo "fbserver stop: only its own server ended"
exit $status
