#!/usr/bin/env bash
# Shows the stand-in Mouse control panel on each of its pages and keeps a
# PNG of the screen for each (ImageMagick's import), trimmed to the sheet:
# cpl-<page>.png at 96 DPI; with a DPI given, cpl-<page>-<percent>.png and
# the executive's About and break reminder boxes (exec-*-<percent>.png).
#   screenshots.sh <bin-dir> <out-dir> [dpi]
# One DPI per prefix: under Wine 8 the sheet of a program started at a
# second LogPixels in the same prefix session stays black on the X screen.
# Needs the Wine environment of scripts/wine-harness.sh (DISPLAY, WINEPREFIX).
set -u
bin=$1
out=$2
dpi=${3:-96}
mkdir -p "$out"
command -v import >/dev/null || { echo "ImageMagick's import is missing"; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY"; exit 1; }
work=$(mktemp -d)
wine regsvr32 /s "$(winepath -w "$bin/QvnMouseControlPanel.dll")" || { echo "registration failed"; exit 1; }
names=(buttons pointer-speed wheel break click)
status=0
desktop='HKCU\Control Panel\Desktop'
trap 'wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1; rm -rf "$work"' EXIT
suffix=""
[ $dpi = 96 ] || suffix="-$((dpi * 100 / 96))"
# Wine takes the DPI from this value when a program starts.
wine reg add "$desktop" /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null
# ends_within_10s <pid> <complaint>: waits for the program to end; one
# that does not is reported and ended by its process identifier.
ends_within_10s() {
  for _ in $(seq 1 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then
    echo "$2"
    kill "$1" 2>/dev/null
    status=1
  fi
  wait "$1" 2>/dev/null
}
for i in 0 1 2 3 4; do
  ready="$work/ready$i"
  quit="$work/quit$i"
  wine "$bin/qvnmousecpl.exe" --start-page $i --ready-file "$(winepath -w "$ready")" \
       --quit-file "$(winepath -w "$quit")" </dev/null >/dev/null 2>&1 &
  host=$!
  for _ in $(seq 1 300); do [ -e "$ready" ] && break; sleep 0.1; done
  if [ ! -e "$ready" ]; then
    echo "page $i: the sheet did not come up"
    status=1
  else
    png="$out/cpl-${names[$i]}$suffix.png"
    # Until the sheet has painted (an empty screen trims to 1x1), bounded.
    for _ in $(seq 1 20); do
      sleep 0.5
      import -display "$DISPLAY" -window root "$png" 2>/dev/null && convert "$png" -trim +repage "$png" 2>/dev/null
      [ "$(identify -format '%w' "$png" 2>/dev/null || echo 0)" -gt 100 ] && break
    done
    if [ "$(identify -format '%w' "$png" 2>/dev/null || echo 0)" -gt 100 ]; then
      echo "page $i: $png ($(identify -format '%wx%h' "$png"))"
    else
      echo "page $i: no screenshot"
      status=1
    fi
  fi
  touch "$quit"
  ends_within_10s $host "page $i: the sheet did not close"
done
[ $dpi = 96 ] && exit $status
# The executive's About and break reminder boxes at this DPI, each in a run
# of its own (the reminder is topmost and would cover the About box), opened
# and closed through qvnwmcommand and taken from the X screen.
mouse='HKCU\Control Panel\Mouse'
post() { wine "$bin/qvnwmcommand.exe" "$@" </dev/null >/dev/null 2>&1; }
start_exec() {
  (cd "$bin" && exec wine QvnMouseExec.exe </dev/null >/dev/null 2>&1) &
  exec_pid=$!
  post QVNMOUEXEC - || { echo "executive: no main window"; status=1; }
}
stop_exec() {
  post QVNMOUEXEC - 105
  ends_within_10s $exec_pid "executive: did not exit"
}
# box <caption> <name>: a PNG of the box once it has painted (an unpainted
# one is a single colour), bounded; then the box is closed (IDOK).
box() {
  local png="$out/exec-$2$suffix.png"
  rm -f "$png"
  if post -visible '#32770' "$1"; then
    for _ in $(seq 1 20); do
      sleep 0.5
      import -display "$DISPLAY" -window "$1" "$png" 2>/dev/null &&
        [ "$(identify -format '%k' "$png" 2>/dev/null || echo 0)" -gt 2 ] && break
      rm -f "$png"
    done
  fi
  if [ -s "$png" ]; then
    echo "executive: $png ($(identify -format '%wx%h' "$png"))"
  else
    echo "executive: no picture of the $2 box"
    status=1
  fi
  post '#32770' "$1" 1
}
start_exec
post QVNMOUEXEC - 104
box About about
stop_exec
# A break at once, and none after the first.
wine reg add "$mouse" /v CheckBreakReminder /d 1 /f >/dev/null
wine reg add "$mouse" /v EditBreakTime /d 0 /f >/dev/null
start_exec
post -visible '#32770' 'Quorvane Mouse Manager' && wine reg delete "$mouse" /v CheckBreakReminder /f >/dev/null
box 'Quorvane Mouse Manager' break-reminder
stop_exec
wine reg delete "$mouse" /v EditBreakTime /f >/dev/null 2>&1
exit $status
