#!/usr/bin/env bash
# The server under load: LOAD_CLIENTS bots (100) for LOAD_SECONDS (60) on
# LOAD_PORT (1234). One run per place the server's log goes, at the default
# level and at SPDLOG_LEVEL=warn: the console load.sh writes to, /dev/null, and
# a terminal (a detached tmux pane, as an operator would run it). Every report
# is printed at the end, then the slowest client's match states per second of
# each run. With LOAD_WITH_LOG_OFF=1 a last run has the server's log switched
# off, to show what the log itself costs.
# Usage: tools/bots/load.sh [build directory]
set -euo pipefail

build=${1:-build}
clients=${LOAD_CLIENTS:-100}
seconds=${LOAD_SECONDS:-60}
port=${LOAD_PORT:-1234}
out="$build/load"
mkdir -p "$out"
# A tmux server of its own, so no session of the user's is touched.
tmux_socket="voidlance_load_$$"

server_pid=""
stop_server() {
  if [ -n "$server_pid" ]; then
    kill -INT "$server_pid" 2>/dev/null || true
  fi
  tmux -L "$tmux_socket" kill-server 2>/dev/null || true
}
trap stop_server EXIT

# Runs the server in a tmux pane and returns once it has ended.
# $1: the log level; the rest: the server's command line.
run_in_tmux() {
  local level=$1
  shift
  local command
  command="SPDLOG_LEVEL=$level $(printf '%q ' "$@")"
  tmux -L "$tmux_socket" new-session -d -s load -c "$PWD" "$command"
}

wait_for_tmux() {
  while tmux -L "$tmux_socket" has-session -t load 2>/dev/null; do
    sleep 0.2
  done
}

# $1: the name of the run: console, devnull or tmux, with -warn for
# SPDLOG_LEVEL=warn; or logoff.
run_once() {
  local name=$1
  local level=info
  if [[ $name == *-warn ]]; then
    level=warn
  fi
  local options=(--port "$port" --clients "$clients" --seconds "$seconds")
  local server=("./$build/voidlance_load_server" "${options[@]}" --report "$out/server_$name.txt")
  rm -f "$out/server_$name.txt" "$out/bots_$name.txt"
  case "${name%-warn}" in
    console) SPDLOG_LEVEL=$level "${server[@]}" & server_pid=$! ;;
    devnull) SPDLOG_LEVEL=$level "${server[@]}" >/dev/null & server_pid=$! ;;
    tmux) run_in_tmux "$level" "${server[@]}" ;;
    logoff) "${server[@]}" --log off & server_pid=$! ;;
  esac
  # The server loads every configuration file before it listens.
  sleep 1
  "./$build/voidlance_bots" "${options[@]}" --report "$out/bots_$name.txt"
  if [ -n "$server_pid" ]; then
    wait "$server_pid"
    server_pid=""
  else
    wait_for_tmux
  fi
}

# The lowest per-client rate of match states in a bots report.
slowest_match_states() {
  awk '/match states/ { for (i = 1; i <= NF; ++i) if ($i == "min") print $(i + 1) }' "$1"
}

runs=(console console-warn devnull devnull-warn tmux tmux-warn)
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
    console-warn) echo "=== server log on the console, SPDLOG_LEVEL=warn" ;;
    devnull) echo "=== server log sent to /dev/null" ;;
    devnull-warn) echo "=== server log sent to /dev/null, SPDLOG_LEVEL=warn" ;;
    tmux) echo "=== server log in a tmux pane" ;;
    tmux-warn) echo "=== server log in a tmux pane, SPDLOG_LEVEL=warn" ;;
    logoff) echo "=== server log switched off" ;;
  esac
  cat "$out/server_$name.txt" "$out/bots_$name.txt"
done

echo
echo "=== slowest client's match states per second (the server sends 20), $clients bots"
for name in "${runs[@]}"; do
  printf '  %-14s %s\n' "$name" "$(slowest_match_states "$out/bots_$name.txt")"
done
