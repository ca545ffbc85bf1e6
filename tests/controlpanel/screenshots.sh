#!/usr/bin/env bash
# Shows the stand-in Mouse control panel on each of its pages and keeps a
# PNG of the screen for each (ImageMagick's import), trimmed to the sheet.
#   screenshots.sh <bin-dir> <out-dir>
# Needs the Wine environment of scripts/wine-harness.sh (DISPLAY, WINEPREFIX).
set -u
bin=$1
out=$2
mkdir -p "$out"
command -v import >/dev/null || { echo "ImageMagick's import is missing"; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wine regsvr32 /s "$(winepath -w "$bin/QvnMouseControlPanel.dll")" || { echo "registration failed"; exit 1; }
names=(buttons pointer-speed wheel break click)
status=0
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
    png="$out/cpl-${names[$i]}.png"
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
exit $status
