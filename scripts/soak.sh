#!/usr/bin/env bash
# The soak: 10,000 random event records through the simulated driver and
# 10,000 random messages to the running executive (about 6-7 minutes here),
# under Wine in the harness's prefix. Builds first; prints its figures.
# Not part of scripts/test.sh because of its length.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVN_BUILD_DIR:-$root/build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
"$root/scripts/build.sh" || exit 1
"$root/scripts/wine-harness.sh" "$build/win" \
  bash -c "cd '$build/win' && ctest -R '^Soak\\.' -V --timeout 900" | grep -E "soak:|Passed|Failed|Failure|Expected|Actual|error"
exit "${PIPESTATUS[0]}"
