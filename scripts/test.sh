#!/usr/bin/env bash
# Set-up, build and the whole test suite: native core tests with sanitizers,
# then every Windows test under Wine in a harness-owned prefix and display.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVN_BUILD_DIR:-$root/build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
"$root/scripts/setup.sh" || exit 1
"$root/scripts/build.sh" || exit 1
jobs=${QVN_TEST_JOBS:-2}
status=0
echo "== native core tests (ASan/UBSan)"
(cd "$build/native" && ctest -j"$jobs" --output-on-failure --timeout 120) || status=1
echo "== fuzz targets of the cores (short run)"
"$root/scripts/fuzz.sh" -t "${QVN_FUZZ_SECONDS:-5}" || status=1
echo "== Windows tests under Wine"
"$root/scripts/wine-harness.sh" "$build/win" \
  bash -c "cd '$build/win' && ctest -j$jobs -E '^Soak\\.' --output-on-failure --timeout 300" || status=1
exit $status
