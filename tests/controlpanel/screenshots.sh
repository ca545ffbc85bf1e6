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
  for _ in $(seq 1 100); do kill -0 $host 2>/dev/null || break; sleep 0.1; done
  if kill -0 $host 2>/dev/null; then
    echo "page $i: the sheet did not close"
    kill $host 2>/dev/null
    status=1
  fi
  wait $host 2>/dev/null
done
[ $dpi = 96 ] && exit $status
# The executive's boxes at this DPI, kept by the layout check's run at it.
QVN_LAYOUT_DPI=$dpi QVN_SCREENSHOT_DIR="$(winepath -w "$work")" \
  wine "$bin/qvn_cpl_extension_tests.exe" --gtest_filter='DialogLayoutAtThisDpi.*' </dev/null >"$work/exec.txt" 2>&1 ||
  { echo "executive boxes at 144 DPI:"; cat "$work/exec.txt"; status=1; }
for box in about break-reminder; do
  if [ -s "$work/exec-$box$suffix.bmp" ] && convert "$work/exec-$box$suffix.bmp" "$out/exec-$box$suffix.png"; then
    echo "executive: $out/exec-$box$suffix.png ($(identify -format '%wx%h' "$out/exec-$box$suffix.png"))"
  else
    echo "executive: no picture of the $box box"
    status=1
  fi
done
exit $status
