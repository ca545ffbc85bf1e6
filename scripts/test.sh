#!/usr/bin/env bash
# Set-up, build and the whole test suite: every Windows test under Wine in
# harness-owned prefixes and displays; beside them, at the lowest priority,
# the native tree with sanitizers, its core tests and the short fuzz run.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVN_BUILD_DIR:-$root/build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
start=$SECONDS
took() { echo "-- $1: $((SECONDS - start)) s"; start=$SECONDS; }
"$root/scripts/setup.sh" || exit 1
took set-up
jobs=${QVN_TEST_JOBS:-2}
status=0
# The native work takes the processor time that the Windows build and tests
# leave (in the idle scheduling class, or at nice 19 where that is refused:
# it yields to them whenever both want it): the end of the build, where
# fewer steps are left than processors, and the Windows tests, which mostly
# wait for windows, timers and other programs.
native_log="$build/native-and-fuzz.log"
mkdir -p "$build"
(
  chrt -i -p 0 "$BASHPID" 2>/dev/null || renice -n 19 -p "$BASHPID" >/dev/null
  begun=$SECONDS
  echo "== native build"
  QVN_SKIP_WIN=1 "$root/scripts/build.sh" || exit 1
  echo "== native core tests (ASan/UBSan)"
  # Starved of processor time while something else keeps both cores busy,
  # a test is slow, not hung: the bound is generous.
  (cd "$build/native" && ctest -j"$jobs" --output-on-failure --timeout 600) || exit 1
  echo "== fuzz targets of the cores (short run)"
  "$root/scripts/fuzz.sh" -t "${QVN_FUZZ_SECONDS:-5}" || exit 1
  echo "-- native build, tests and fuzz run (beside the Windows build and tests): $((SECONDS - begun)) s"
) >"$native_log" 2>&1 </dev/null &
native_pid=$!
descendants() { local p; for p in $(ps -o pid= --ppid "$1"); do echo "$p"; descendants "$p"; done; }
if ! QVN_SKIP_NATIVE=1 "$root/scripts/build.sh"; then
  kill $(descendants "$native_pid") "$native_pid" 2>/dev/null
  exit 1
fi
took "Windows build"
echo "== Windows tests under Wine"
# Independent Windows machines side by side (display, prefix, wineserver
# and bin folder each); ctest hands each test a lane.
lanes=${QVN_WINE_LANES:-3}
# ctest starts the longest tests first by the times of earlier runs; a fresh
# tree takes those of a run kept in the repository, so no 20-second test
# starts last and finishes alone.
costs="$build/win/Testing/Temporary/CTestCostData.txt"
[ -f "$costs" ] || { mkdir -p "$(dirname "$costs")" && cp "$root/tests/ctest-cost-data.txt" "$costs"; }
QVN_WINE_LANES=$lanes "$root/scripts/wine-harness.sh" "$build/win" \
  bash -c "cd '$build/win' && ctest -j$((2 * lanes)) --resource-spec-file \"\$QVN_LANE_RESOURCES\" \
             -E '^Soak\\.' --output-on-failure --timeout 300" || status=1
took "Windows tests"
# What is left of the native work gets the machine at normal priority
# (lowering the nice value needs root, as in CI; otherwise it stays low).
for p in "$native_pid" $(descendants "$native_pid"); do
  chrt -o -p 0 "$p" 2>/dev/null
  renice -n 0 -p "$p" >/dev/null 2>&1
done
wait "$native_pid" || status=1
cat "$native_log"
took "rest of the native work (after the Windows tests)"
exit $status
