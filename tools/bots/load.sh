#!/usr/bin/env bash
# The server under load: LOAD_CLIENTS bots (100) for LOAD_SECONDS (60) on
# LOAD_PORT (1234), run twice, first with the server's log on the console, then
# with it sent to /dev/null; both reports are printed at the end. With
# LOAD_WITH_LOG_OFF=1 a third run has the server's log switched off, to show
# what the log itself costs.
# Usage: tools/bots/load.sh [build directory]
set -euo pipefail

build=${1:-build}
clients=${LOAD_CLIENTS:-100}
seconds=${LOAD_SECONDS:-60}
port=${LOAD_PORT:-1234}
out="$build/load"
mkdir -p "$out"

server_pid=""
stop_server() {
  if [ -n "$server_pid" ]; then
    kill -INT "$server_pid" 2>/dev/null || true
  fi
}
trap stop_server EXIT

# $1: the name of the run: console, devnull or logoff.
run_once() {
  local name=$1
  local options=(--port "$port" --clients "$clients" --seconds "$seconds")
  rm -f "$out/server_$name.txt" "$out/bots_$name.txt"
  case "$name" in
    console) "./$build/voidlance_load_server" "${options[@]}" --report "$out/server_$name.txt" & ;;
    devnull) "./$build/voidlance_load_server" "${options[@]}" --report "$out/server_$name.txt" >/dev/null & ;;
    logoff) "./$build/voidlance_load_server" "${options[@]}" --report "$out/server_$name.txt" --log off & ;;
  esac
  server_pid=$!
  # The server loads every configuration file before it listens.
  sleep 1
  "./$build/voidlance_bots" "${options[@]}" --report "$out/bots_$name.txt"
  wait "$server_pid"
  server_pid=""
}

runs=(console devnull)
if [ "${LOAD_WITH_LOG_OFF:-0}" = 1 ]; then
  runs+=(logoff)
fi
for name in "${runs[@]}"; do
  run_once "$name"
done

for name in "${runs[@]}"; do
  echo
  case "$name" in
    console) echo "=== server log on the console" ;;
    devnull) echo "=== server log sent to /dev/null" ;;
    logoff) echo "=== server log switched off" ;;
  esac
  cat "$out/server_$name.txt" "$out/bots_$name.txt"
done
