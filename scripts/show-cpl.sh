#!/usr/bin/env bash
# Shows the control panel as a person sees it: registers
# QvnMouseControlPanel.dll with regsvr32 and opens the stand-in Mouse
# control panel ("Mouse Properties") under Wine. Uses your display when
# DISPLAY is set, otherwise a private Xvfb (then nothing is visible; pass
# --screenshot FILE to keep a picture). Build first: scripts/build.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVN_BUILD_DIR:-$root/build}
exec "$root/scripts/wine-harness.sh" "$build/win" bash -c '
  bin="$0/win/bin"
  wine regsvr32 /s "$(winepath -w "$bin/QvnMouseControlPanel.dll")"
  if [ "${1:-}" = "--screenshot" ]; then
    work=$(mktemp -d)
    wine "$bin/qvnmousecpl.exe" --ready-file "$(winepath -w "$work/ready")" --quit-file "$(winepath -w "$work/quit")" &
    for _ in $(seq 1 300); do [ -e "$work/ready" ] && break; sleep 0.1; done
    sleep 1
    import -display "$DISPLAY" -window root "$2" && convert "$2" -trim +repage "$2"
    touch "$work/quit"; wait; rm -rf "$work"
  else
    wine "$bin/qvnmousecpl.exe"
  fi' "$build" "$@"
