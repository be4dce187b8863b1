#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer in DIR, runs each for
# SECONDS and prints one line per target; exits 1 when any target found a
# fault. New inputs go to DIR/corpus/<target>, faults to DIR/found/<target>,
# each run's output to DIR/<target>.log; the committed corpus stays as it is.
# Usage: run_fuzzers.sh DIR CXX SECONDS [TARGET...], from the repository root.
set -euo pipefail

dir=$(realpath -m "$1")
cxx=$2
seconds=$3
shift 3
root=$(pwd)
# A fault's log names the code that led to it.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

cmake -S tools/fuzz -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build "$dir" >"$dir/build.log" 2>&1 || { cat "$dir/build.log"; exit 1; }

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  read -r -a targets <<<"$(sed -n 's/^set(fuzz_targets \(.*\))$/\1/p' tools/fuzz/CMakeLists.txt)"
fi

# The words each target's input language is made of (tools/fuzz/dictionaries).
dictionary_of() {
  local parts
  case $1 in
    config) parts="config" ;;
    rml_document) parts="rml rcss expression" ;;
    rcss_style_sheet | rcss_declarations) parts="rcss" ;;
    data_expression) parts="expression" ;;
    *) return 0 ;;
  esac
  for part in $parts; do cat "tools/fuzz/dictionaries/$part.dict"; done >"$dir/$1.dict"
  echo "-dict=$dir/$1.dict"
}

# One line from a run's log: its runs, coverage and corpus, or what it found.
summarize() {
  local target=$1 log=$2 code=$3
  local runs cov corpus found
  runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  corpus=$(grep -o 'corp: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  if [ "$code" -eq 0 ]; then
    echo "$target: no fault in ${runs:-?} runs over ${seconds} s (coverage ${cov:-?}, corpus ${corpus:-?} inputs)"
    return 0
  fi
  found=$(sed -n 's/.*Test unit written to \(.*\)/\1/p' "$log" | tail -n 1)
  local what
  what=$(grep -m 1 -E 'runtime error: |^SUMMARY: |ERROR: libFuzzer: |ALARM: ' "$log" || echo "exit status $code")
  echo "$target: FAULT: $what; input ${found:-not written}; log $log"
  return 1
}

status=0
for target in "${targets[@]}"; do
  mkdir -p "$dir/corpus/$target" "$dir/found/$target"
  log="$dir/$target.log"
  code=0
  # shellcheck disable=SC2046 # the dictionary flag, or nothing
  "$dir/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 $(dictionary_of "$target") \
    -artifact_prefix="$dir/found/$target/" \
    "$dir/corpus/$target" "$root/tools/fuzz/corpus/$target" >"$log" 2>&1 || code=$?
  summarize "$target" "$log" "$code" || status=1
done
exit $status
