#!/usr/bin/env bash
# Set-up, build and the whole test suite: native core tests with sanitizers,
# then every Windows test under Wine in a harness-owned prefix and display.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVN_BUILD_DIR:-$root/build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
start=$SECONDS
took() { echo "-- $1: $((SECONDS - start)) s"; start=$SECONDS; }
"$root/scripts/setup.sh" || exit 1
took set-up
"$root/scripts/build.sh" || exit 1
took build
jobs=${QVN_TEST_JOBS:-2}
status=0
echo "== native core tests (ASan/UBSan)"
(cd "$build/native" && ctest -j"$jobs" --output-on-failure --timeout 120) || status=1
took "native tests"
echo "== fuzz targets of the cores (short run)"
"$root/scripts/fuzz.sh" -t "${QVN_FUZZ_SECONDS:-5}" || status=1
took "fuzz targets"
echo "== Windows tests under Wine"
# Independent Windows machines side by side (display, prefix, wineserver
# and bin folder each); ctest hands each test a lane.
lanes=${QVN_WINE_LANES:-2}
QVN_WINE_LANES=$lanes "$root/scripts/wine-harness.sh" "$build/win" \
  bash -c "cd '$build/win' && ctest -j$((2 * lanes)) --resource-spec-file \"\$QVN_LANE_RESOURCES\" \
             -E '^Soak\\.' --output-on-failure --timeout 300" || status=1
took "Windows tests"
exit $status
