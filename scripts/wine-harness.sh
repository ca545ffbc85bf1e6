#!/usr/bin/env bash
# Owns a Wine environment for the duration of one command:
#   scripts/wine-harness.sh <build-dir> <command...>
# - starts Xvfb on a free display when DISPLAY is not set,
# - creates a fresh WINEPREFIX inside the build tree (never the user's own),
# - keeps a persistent wineserver for fast process starts,
# - runs the command with that environment,
# - stops its own wineservers and Xvfbs by PID (never by name).
#
# QVN_WINE_LANES=N (default 1) prepares N lanes: independent Windows
# machines, each with its own display, prefix, wineserver (so its own
# session, registry, debug channel and simulated driver) and its own copy
# of the build's bin folder, so that what one lane's programs write beside
# themselves never reaches another. Lane 0 is the environment the command
# gets; ctest hands each test a lane through its resource allocation
# (--resource-spec-file "$QVN_LANE_RESOURCES", see scripts/wine-lane.sh).
set -u
build=$(cd "$1" && pwd); shift
lanes=${QVN_WINE_LANES:-1}
lanes_dir="$build/lanes"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
xvfb_pids=()
prefixes=()

cleanup() {
  local p
  for p in "${prefixes[@]}"; do WINEPREFIX="$p" wineserver -k >/dev/null 2>&1; done
  for p in "${xvfb_pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Starts Xvfb on a free display; sets $display.
start_display() {
  local n pid
  for n in $(seq 91 160); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      xvfb_pids+=("$pid")
      display=":$n"
      return 0
    fi
  done
  return 1
}

# Makes a fresh prefix and starts its persistent server; runs in the
# background for every lane at once.
boot_prefix() {
  local prefix=$1
  export WINEPREFIX="$prefix" DISPLAY=$2
  # A server of an earlier, interrupted run of this prefix.
  wineserver -k >/dev/null 2>&1
  rm -rf "$prefix"
  mkdir -p "$prefix"
  # The persistent server comes first: started after another process it
  # would find that one's server running and quietly exit, leaving a server
  # that shuts Wine's services down after every idle gap of 3 s (and kills
  # a process that starts during that shutdown with exit code 1).
  wineserver -p </dev/null >/dev/null 2>&1 || { echo "wine-harness: wineserver -p failed" >&2; return 1; }
  # The first program of an empty prefix makes Wine set the prefix up once
  # and start services.exe/explorer.exe, detached from our output. (An
  # explicit "wineboot -i" here boots the prefix twice: two services.exe
  # then answer for one service database, every driver start times out for
  # 10 s at a time, and the simulated driver takes 30-70 s to start.)
  wine cmd /c exit </dev/null >/dev/null 2>&1 || { echo "wine-harness: prefix $prefix did not come up" >&2; return 1; }
  # Without a window manager every show/hide waits for one otherwise.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  # A crashing program prints its backtrace and ends instead of waiting on a
  # crash dialog nobody can see.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  touch "$prefix/.qvn-harness"
}

rm -rf "$lanes_dir"
mkdir -p "$lanes_dir"
outer_display=${DISPLAY:-}
boots=()
for k in $(seq 0 $((lanes - 1))); do
  if [ "$k" = 0 ]; then prefix="$build/wineprefix"; else prefix="$lanes_dir/$k/wineprefix"; fi
  if [ "$k" = 0 ] && [ -n "$outer_display" ]; then
    display=$outer_display
  else
    start_display || { echo "wine-harness: could not start Xvfb" >&2; exit 1; }
  fi
  prefixes+=("$prefix")
  mkdir -p "$lanes_dir/$k"
  if [ "$k" = 0 ]; then bin="$build/bin"; else bin="$lanes_dir/$k/bin"; fi
  printf 'WINEPREFIX=%q\nDISPLAY=%q\nQVN_LANE_BIN=%q\n' "$prefix" "$display" "$bin" > "$lanes_dir/$k/env"
  echo "wine-harness: creating prefix $prefix on display $display" >&2
  boot_prefix "$prefix" "$display" &
  boots+=($!)
  # Every lane but the first runs the programs from a copy of its own, with
  # the product's package beside it as beside build/bin.
  if [ "$k" != 0 ] && [ -d "$build/bin" ]; then
    cp -a "$build/bin" "$bin"
    for msi in "$build"/*.msi; do [ -f "$msi" ] && cp -a "$msi" "$lanes_dir/$k/"; done
  fi
done
for pid in "${boots[@]}"; do wait "$pid" || exit 1; done

# ctest's resources: one "lanes" resource per lane, two slots each (a test
# that needs the machine to itself takes both).
{
  printf '{"version": {"major": 1, "minor": 0}, "local": [{"lanes": ['
  for k in $(seq 0 $((lanes - 1))); do
    [ "$k" = 0 ] || printf ', '
    printf '{"id": "%s", "slots": 2}' "$k"
  done
  printf ']}]}\n'
} > "$lanes_dir/resources.json"
export QVN_LANE_RESOURCES="$lanes_dir/resources.json"
export QVN_LANES_DIR="$lanes_dir"
# shellcheck disable=SC1091
set -a; . "$lanes_dir/0/env"; set +a
"$@"
