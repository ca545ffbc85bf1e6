#!/usr/bin/env bash
# Shows the stand-in Mouse control panel on each of its pages and keeps a
# PNG of the screen for each (ImageMagick's import), trimmed to the sheet:
# cpl-<page>.png at 96 DPI, cpl-<page>-150.png at 144 DPI, and at 144 DPI
# the executive's About and break reminder boxes (exec-*-150.png).
#   screenshots.sh <bin-dir> <out-dir>
# Needs the Wine environment of scripts/wine-harness.sh (DISPLAY, WINEPREFIX).
set -u
bin=$1
out=$2
mkdir -p "$out"
command -v import >/dev/null || { echo "ImageMagick's import is missing"; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY"; exit 1; }
work=$(mktemp -d)
wine regsvr32 /s "$(winepath -w "$bin/QvnMouseControlPanel.dll")" || { echo "registration failed"; exit 1; }
names=(buttons pointer-speed wheel break click)
status=0
desktop='HKCU\Control Panel\Desktop'
trap 'wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1; rm -rf "$work"' EXIT
for dpi in 96 144; do
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
    sleep 1  # let the page paint
    png="$out/cpl-${names[$i]}$suffix.png"
    import -display "$DISPLAY" -window root "$png" && convert "$png" -trim +repage "$png"
    if [ -s "$png" ]; then
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
done
# The executive's boxes at 144 DPI, kept by the layout check's run at that DPI.
QVN_LAYOUT_DPI=144 QVN_SCREENSHOT_DIR="$(winepath -w "$work")" \
  wine "$bin/qvn_cpl_extension_tests.exe" --gtest_filter='DialogLayoutAtThisDpi.*' </dev/null >"$work/exec.txt" 2>&1 ||
  { echo "executive boxes at 144 DPI:"; cat "$work/exec.txt"; status=1; }
for box in about break-reminder; do
  if [ -s "$work/exec-$box-150.bmp" ] && convert "$work/exec-$box-150.bmp" "$out/exec-$box-150.png"; then
    echo "executive: $out/exec-$box-150.png ($(identify -format '%wx%h' "$out/exec-$box-150.png"))"
  else
    echo "executive: no picture of the $box box"
    status=1
  fi
done
exit $status
