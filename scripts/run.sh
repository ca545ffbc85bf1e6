#!/usr/bin/env bash
# The main job: builds what it runs, then runs the executive under Wine and
# Xvfb against the simulated mouse, replaying a scenario and printing what
# the executive asked the driver to do.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVN_BUILD_DIR:-$root/build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
"$root/scripts/setup.sh" || exit 1
# Only the programs the job runs: the executive, its hook library, the setup
# tool it starts, the simulated driver and its controller.
# Wine sets its prefix up while they build; the job starts when both are done.
built="$build/main-job-build.status"
mkdir -p "$build" && rm -f "$built"
( QVN_SKIP_NATIVE=1 QVN_WIN_TARGETS="QvnMouseExec QvnMouseHook QvnSetupCustomAction qvnsimctl qvnsimmouse" \
    "$root/scripts/build.sh"; echo $? > "$built.tmp"; mv "$built.tmp" "$built" ) &
scenario=${1:-$root/scripts/scenarios/demo.txt}
"$root/scripts/wine-harness.sh" "$build/win" bash -c '
  while [ ! -f "$1" ]; do sleep 0.2; done
  [ "$(cat "$1")" = 0 ] || { echo "run.sh: the build failed" >&2; exit 1; }
  exec bash "$2" "$3" "$4"' run "$built" "$root/scripts/run-main-job.sh" "$build/win/bin" "$scenario"
