#!/usr/bin/env bash
# The main job, run inside the Wine harness (scripts/run.sh):
#   scripts/run-main-job.sh <bindir> <scenario>
# Starts the simulated mouse driver and the executive, replays the scenario
# on the mouse, prints every request the executive sent to the driver, then
# closes the executive through its Exit command and checks its exit code.
set -u
bindir=$(cd "$1" && pwd)
[ -f "$2" ] || { echo "run-main-job: no scenario $2" >&2; exit 2; }
scenario=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
cd "$bindir" || exit 2
# Wine's console output ends its lines with CR LF.
ctl() { wine qvnsimctl.exe "$@" </dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

echo "== simulated mouse driver"
ctl install || { echo "run-main-job: the simulated driver did not start" >&2; exit 1; }
ctl replug && ctl clear || exit 1
# Wheel notches are reported to the executive only with accelerated scrolling.
wine reg add 'HKCU\Control Panel\Mouse' /v CheckAcceleratedScrolling /t REG_SZ /d 1 /f >/dev/null 2>&1

echo "== executive"
wine QvnMouseExec.exe </dev/null &
exec_pid=$!
if ! ctl exec-wait; then
  echo "run-main-job: the executive's window did not appear" >&2
  kill "$exec_pid" 2>/dev/null
  exit 1
fi
# Ready once it has opened the filter device and started its event wait.
ready=0
for _ in $(seq 1 200); do
  if ctl status | grep -q '^waits outstanding 1$'; then ready=1; break; fi
  sleep 0.1
done
[ "$ready" = 1 ] || { echo "run-main-job: the executive did not start its event wait" >&2; ctl status; }

echo "== scenario $(basename "$scenario")"
scen_win=$(winepath -w "$scenario" 2>/dev/null)
ctl play "$scen_win"
play_rc=$?
[ "$play_rc" = 0 ] || echo "run-main-job: scenario stopped (code $play_rc)" >&2

echo "== requests the executive sent to the driver"
ctl log
echo "== driver status"
ctl status

echo "== closing the executive"
ctl exec-close || echo "run-main-job: the executive did not close its window" >&2
wait "$exec_pid"
exec_rc=$?
echo "executive exit code: $exec_rc"
[ "$exec_rc" = 0 ] && [ "$play_rc" = 0 ] && [ "$ready" = 1 ]
