#!/usr/bin/env bash
# The Windows server under Wine against Linux bots over loopback: they join,
# send input every 50 ms and receive the server's batches and its 20 match
# states a second; then Ctrl-C (SIGINT, which Wine hands to the program as a
# console Ctrl-C) ends the server with 0. Last, a broken configuration file
# ends the Windows program with 1 and a line that names the file.
# Every wait has a limit, and no program of the run outlives the script.
# Usage: tests/windows/cross_platform.sh <Windows build directory> <Linux build directory>
set -euo pipefail

windows=${1:-build-windows}
linux=${2:-build}
clients=4
seconds=5
port=1234
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
windows_exe=$(realpath "$windows/voidlance.exe")

out=$(mktemp -d /tmp/voidlance-cross.XXXXXX)
server_pid=""
# The server runs in a process group of its own (setsid) that takes in the
# Wine processes it starts, such as its console host: killing the group ends
# them all and no other Wine program in the prefix.
kill_server() {
  [ -n "$server_pid" ] || return 0
  kill -KILL -- "-$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=""
}
cleanup() {
  kill_server
  rm -rf "$out"
}
trap cleanup EXIT
trap 'fail "interrupted"' INT TERM
fail() {
  echo "cross_platform: $*" >&2
  if [ -s "$out/server.txt" ]; then
    echo "--- server log (last lines)" >&2
    tail -n 20 "$out/server.txt" >&2
  fi
  exit 1
}

# Whether a UDP socket is bound to the port; /proc/net lists every one.
port_held() {
  awk -v port=":$(printf '%04X' "$port")" 'FNR > 1 && substr($2, length($2) - 4) == port { held = 1 }
    END { exit !held }' /proc/net/udp /proc/net/udp6 2>/dev/null
}
port_taken() { fail "UDP port $port is taken by another process; run again once it is free"; }

# Another test may hold the game's port for a few seconds.
if port_held; then
  echo "cross_platform: UDP port $port is held by another process; waiting up to 20 s"
  for _ in $(seq 1 40); do
    port_held || break
    sleep 0.5
  done
  port_held && port_taken
fi

# The game reads build/assets relative to its working directory, as in the zip.
(cd "$windows" && exec setsid env MODE=SERVER SDL_VIDEO_DRIVER=dummy "$wine" voidlance.exe) \
  </dev/null >"$out/server.txt" 2>&1 &
server_pid=$!
listening() { grep -q "Connected clients: 0" "$out/server.txt"; }
for _ in $(seq 1 120); do
  listening && break
  if ! kill -0 "$server_pid" 2>/dev/null; then
    grep -q "Failed to listen" "$out/server.txt" && port_taken
    fail "the server ended before it listened"
  fi
  sleep 0.5
done
listening || fail "the server did not listen within 60 s"

bots_limit=$((seconds + 30))
timeout -k 5 "$bots_limit" "./$linux/voidlance_bots" --host 127.0.0.1 --port "$port" \
  --clients "$clients" --seconds "$seconds" --report "$out/bots.txt" ||
  fail "the bots failed or did not end within $bots_limit s"
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
for _ in $(seq 1 40); do
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.5
done
kill -0 "$server_pid" 2>/dev/null && fail "the server did not end within 20 s of Ctrl-C"
status=0
wait "$server_pid" || status=$?
server_pid=""
[ "$status" -eq 0 ] || fail "the server ended with $status after Ctrl-C"
grep -q "\[critical\]" "$out/server.txt" && fail "the server logged a critical line"
# Taken whole first: grep -q reading from a pipe stops at its match, and the
# writer cut short could fail the pipeline under pipefail.
last_line=$(tail -n 1 "$out/server.txt")
[[ $last_line == *"Connected clients: "* ]] || fail "the server's last line is not its loop's"

# timeout runs the program in a process group of its own and kills the whole
# group; its input is not the terminal, which would stop that group on a read.
mkdir -p "$out/broken/build"
cp -r "$windows/build/assets" "$out/broken/build/"
broken=build/assets/ships/frigate_one/frigate_one.json
echo '{ "max_speed": ' >"$out/broken/$broken"
status=0
(cd "$out/broken" && exec timeout -k 5 60 env MODE=SERVER "$wine" "$windows_exe") \
  </dev/null >"$out/server.txt" 2>&1 || status=$?
[ "$status" -ne 124 ] && [ "$status" -ne 137 ] ||
  fail "the program did not end within 60 s on a broken configuration file"
[ "$status" -eq 1 ] || fail "a broken configuration file ended the program with $status, not 1"
grep "\[critical\].*Unhandled exception: .*$broken" "$out/server.txt" >/dev/null ||
  fail "the critical line does not name $broken"
echo "cross_platform: the Windows server served $clients Linux bots, stopped on Ctrl-C, and named a broken file"
