#!/usr/bin/env bash
# Runs the benchmarks of two builds back to back in one Wine environment
# (same prefix, display and server), so their figures are comparable:
#   bench/compare.sh <before build/win> <after build/win> \
#       [events] [walking events] [press pairs] [start-ups]
# Defaults: 20000 events per in-process case, 400 in its walking cases,
# 300 press+release pairs per end-to-end case, 5 start-ups. Either build may
# be the same tree. Prints the machine, the date and every figure.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
before=$(cd "$1" && pwd)
after=$(cd "$2" && pwd)
events=${3:-20000}
walking=${4:-400}
pairs=${5:-300}
starts=${6:-5}
harness=$root/scripts/wine-harness.sh
[ -x "$harness" ] || harness=$root/tools/wine-harness.sh

echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB"
echo "system: $(uname -sr), $(wine --version 2>/dev/null), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "before: $before"
echo "after:  $after"
"$harness" "$after" bash -c '
  set -u
  for b in before after; do
    dir=$1; [ "$b" = after ] && dir=$2
    echo; echo "=== in-process dispatcher, $b ($3 events, $4 in walking cases)"
    wine "$dir/bin/qvn_dispatch_bench.exe" "$3" "$4"
  done
  for b in before after; do
    dir=$1; [ "$b" = after ] && dir=$2
    echo; echo "=== end to end and start-up, $b ($5 pairs, $6 start-ups)"
    wine "$dir/bin/bench/qvn_e2e_bench.exe" "$5" "$6"
  done
  # Idle: context switches of the executive'"'"'s threads over 10 s with
  # nothing happening (auto click off: the default), read from /proc.
  switches() {
    local total=0 f
    for f in /proc/$1/task/*/status; do
      total=$((total + $(awk "/ctxt_switches/ {s += \$2} END {print s+0}" "$f" 2>/dev/null || echo 0)))
    done
    echo $total
  }
  for b in before after; do
    dir=$1; [ "$b" = after ] && dir=$2
    (cd "$dir/bin/bench" && wine QvnMouseExec.exe >/dev/null 2>&1 &)
    upid=""
    for _ in $(seq 1 100); do
      for p in $(pgrep -f "QvnMouseExec.exe" || true); do
        { tr "\0" "\n" < /proc/$p/environ; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && upid=$p
      done
      [ -n "$upid" ] && break; sleep 0.2
    done
    sleep 8
    if [ -n "$upid" ]; then
      c0=$(switches $upid); sleep 10; c1=$(switches $upid)
      echo; echo "=== idle, $b: $((c1 - c0)) context switches in 10 s ($(ls /proc/$upid/task | wc -l) threads)"
    else
      echo; echo "=== idle, $b: executive not found"
    fi
    wine "$dir/bin/qvnsimctl.exe" exec-close >/dev/null 2>&1 || true
  done
  echo; echo "load average afterwards: $(cut -d" " -f1-3 /proc/loadavg)"
' _ "$before" "$after" "$events" "$walking" "$pairs" "$starts"
