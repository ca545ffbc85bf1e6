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
QVN_SKIP_NATIVE=1 QVN_WIN_TARGETS="QvnMouseExec QvnMouseHook QvnSetupCustomAction qvnsimctl qvnsimmouse" \
  "$root/scripts/build.sh" || exit 1
scenario=${1:-$root/scripts/scenarios/demo.txt}
"$root/scripts/wine-harness.sh" "$build/win" \
  bash "$root/scripts/run-main-job.sh" "$build/win/bin" "$scenario"
