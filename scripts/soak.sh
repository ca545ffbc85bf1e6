#!/usr/bin/env bash
# The soak, under Wine in the harness's prefix, outside the test command
# because of its length (about 10 minutes here). Builds first; prints its
# figures. Two parts, both by default:
#   footprint  the executive's handles, GDI and USER objects, private bytes
#              and working set read from outside, after a warm-up and after
#              30,000 mixed records with settings, registry, session, device
#              and break-reminder happenings; the control panel's over 50
#              openings and closings in one host (bench/footprint_soak.cpp)
#   random     10,000 random records and 10,000 random messages; the
#              executive stays sound (Soak.* in tests/driverlink)
#   scripts/soak.sh [footprint|random] [records] [panel cycles]
# Fails when either part fails or a footprint target is missed.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVN_BUILD_DIR:-$root/build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
part=${1:-both}
records=${2:-30000}
cycles=${3:-50}
QVN_SKIP_NATIVE=1 "$root/scripts/build.sh" || exit 1
if [ "$part" != random ]; then
  cmake --build "$build/win" --target qvn_footprint_soak || exit 1
fi
echo "soak: $(date -u '+%Y-%m-%d %H:%M UTC'), load average $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
"$root/scripts/wine-harness.sh" "$build/win" bash -c '
  rc=0
  if [ "$1" != random ]; then
    start=$(date +%s)
    timeout 900 wine "$4/bin/bench/qvn_footprint_soak.exe" "$2" "$3" || rc=$?
    echo "soak: footprint part exit code $rc after $(( $(date +%s) - start )) s, load average $(cut -d" " -f1-3 /proc/loadavg)"
  fi
  if [ "$1" != footprint ]; then
    cd "$4" && ctest -R "^Soak\\." -V --timeout 900 | grep -E "soak:|Passed|Failed|Failure|Expected|Actual|error"
    r=${PIPESTATUS[0]}
    [ "$r" = 0 ] || rc=$r
  fi
  exit $rc
' _ "$part" "$records" "$cycles" "$build/win"
