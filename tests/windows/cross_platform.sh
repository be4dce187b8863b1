#!/usr/bin/env bash
# The Windows server under Wine against Linux bots over loopback: they join,
# send input every 50 ms and receive the server's batches and its 20 match
# states a second; then Ctrl-C (SIGINT, which Wine hands to the program as a
# console Ctrl-C) ends the server with 0. Last, a broken configuration file
# ends the Windows program with 1 and a line that names the file.
# Usage: tests/windows/cross_platform.sh <Windows build directory> <Linux build directory>
set -euo pipefail

windows=${1:-build-windows}
linux=${2:-build}
clients=4
seconds=5
out=$(mktemp -d /tmp/voidlance-cross.XXXXXX)
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)

windows_exe=$(realpath "$windows/voidlance.exe")
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill -KILL "$server_pid" 2>/dev/null || true
  rm -rf "$out"
}
trap cleanup EXIT
fail() {
  echo "cross_platform: $*" >&2
  echo "--- server log (last lines)" >&2
  tail -n 20 "$out/server.txt" >&2 || true
  exit 1
}

# The game reads build/assets relative to its working directory, as in the zip.
(cd "$windows" && exec env MODE=SERVER SDL_VIDEO_DRIVER=dummy "$wine" voidlance.exe) \
  >"$out/server.txt" 2>&1 &
server_pid=$!
for _ in $(seq 1 120); do
  grep -q "Connected clients: 0" "$out/server.txt" 2>/dev/null && break
  kill -0 "$server_pid" 2>/dev/null || fail "the server ended before it listened"
  sleep 0.5
done
grep -q "Connected clients: 0" "$out/server.txt" || fail "the server did not listen within 60 s"

"./$linux/voidlance_bots" --host 127.0.0.1 --port 1234 --clients "$clients" \
  --seconds "$seconds" --report "$out/bots.txt" || fail "the bots failed"
cat "$out/bots.txt"

grep -q "^bots: $clients of $clients connected, window .*, 0 dropped" "$out/bots.txt" ||
  fail "not every bot joined and stayed"
[ "$(grep -c 'A new client connected from' "$out/server.txt")" -eq "$clients" ] ||
  fail "the server did not log $clients joins"
# The server sends a batch every fixed tick (20 per second); a build that
# could not decode the other's messages would see next to none.
packets=$(awk '$1 == "packets" { print $3 }' "$out/bots.txt")
awk -v p="$packets" 'BEGIN { exit !(p >= 10) }' || fail "only $packets packets per second reached a bot"
slowest=$(awk '$1 == "match" { print $8 }' "$out/bots.txt")
awk -v m="$slowest" 'BEGIN { exit !(m >= 15) }' || fail "the slowest bot got $slowest match states per second"

kill -INT "$server_pid"
status=0
wait "$server_pid" || status=$?
server_pid=""
[ "$status" -eq 0 ] || fail "the server ended with $status after Ctrl-C"
grep -q "\[critical\]" "$out/server.txt" && fail "the server logged a critical line"
tail -n 1 "$out/server.txt" | grep -q "Connected clients: " ||
  fail "the server's last line is not its loop's"

mkdir -p "$out/broken/build"
cp -r "$windows/build/assets" "$out/broken/build/"
broken=build/assets/ships/frigate_one/frigate_one.json
echo '{ "max_speed": ' >"$out/broken/$broken"
status=0
(cd "$out/broken" && exec env MODE=SERVER "$wine" "$windows_exe") >"$out/server.txt" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "a broken configuration file ended the program with $status, not 1"
grep "\[critical\].*Unhandled exception: .*$broken" "$out/server.txt" >/dev/null ||
  fail "the critical line does not name $broken"
echo "cross_platform: the Windows server served $clients Linux bots, stopped on Ctrl-C, and named a broken file"
