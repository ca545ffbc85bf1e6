#!/usr/bin/env bash
# Builds the libFuzzer targets of the cores (fuzz/, clang with ASan and
# UBSan) into $QVN_BUILD_DIR/fuzz and runs each one from its seed corpus.
#
#   scripts/fuzz.sh                 # short run: 5 seconds, all targets at once (the test command's)
#   scripts/fuzz.sh -t 30           # 30 seconds
#   scripts/fuzz.sh -r 1000000      # the long run: a million executions per target
#
# Seeds stay untouched: each run works on a copy of fuzz/corpus/<target>
# under the build folder. A failing input is left there as crash-* and the
# script exits non-zero. Prints one line of figures per target.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVN_BUILD_DIR:-$root/build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
seconds=5
runs=""
while getopts "t:r:" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    r) runs=$OPTARG ;;
    *) echo "usage: $0 [-t seconds | -r runs]" >&2; exit 2 ;;
  esac
done
out="$build/fuzz"
CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$out" -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
cmake --build "$out" -j2 >/dev/null || { cmake --build "$out" -j1; exit 1; }
# All targets at once, each for the time given: the short run of the test
# command is one period of time, not one a target.
fuzz_one() {
  local exe=$1 name work limit start rc took execs rate cov files
  name=$(basename "$exe")
  work="$out/run/$name"
  rm -rf "$work" && mkdir -p "$work/corpus"
  cp "$root/fuzz/corpus/$name"/* "$work/corpus/" 2>/dev/null
  if [ -n "$runs" ]; then limit="-runs=$runs"; else limit="-max_total_time=$seconds"; fi
  start=$(date +%s)
  (cd "$work" && "$exe" $limit -max_len=512 -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
      corpus >"$work/log.txt" 2>&1)
  rc=$?
  took=$(( $(date +%s) - start ))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log.txt" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log.txt" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$work/log.txt" | tail -1)
  files=$(ls "$work/corpus" | wc -l)
  if [ $rc -ne 0 ]; then
    { echo "FAIL $name (exit $rc): see $work/log.txt"; tail -30 "$work/log.txt"; } >"$work/result.txt"
  else
    echo "ok   $name: ${execs:-?} executions in ${took} s (${rate:-?}/s), ${cov:-cov: ?}, corpus $files files" \
      >"$work/result.txt"
  fi
  return $rc
}
status=0
targets=()
for exe in "$out"/fuzz_*; do [ -x "$exe" ] && targets+=("$exe"); done
pids=()
for exe in "${targets[@]}"; do
  fuzz_one "$exe" &
  pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
for exe in "${targets[@]}"; do cat "$out/run/$(basename "$exe")/result.txt"; done
exit $status
