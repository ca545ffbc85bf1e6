#!/usr/bin/env bash
# Owns a Wine environment for the duration of one command:
#   scripts/wine-harness.sh <build-dir> <command...>
# - starts Xvfb on a free display when DISPLAY is not set,
# - creates a fresh WINEPREFIX inside the build tree (never the user's own),
# - keeps a persistent wineserver for fast process starts,
# - runs the command with that environment,
# - stops its own wineserver and Xvfb by PID (never by name).
set -u
build=$(cd "$1" && pwd); shift
prefix="$build/wineprefix"
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
xvfb_pid=""

cleanup() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"; break
    fi
    xvfb_pid=""
  done
  [ -n "${DISPLAY:-}" ] || { echo "wine-harness: could not start Xvfb" >&2; exit 1; }
fi

# A server of an earlier, interrupted run of this prefix.
wineserver -k >/dev/null 2>&1
rm -rf "$prefix"
mkdir -p "$prefix"
echo "wine-harness: creating prefix $prefix on display $DISPLAY" >&2
wineboot -i </dev/null >/dev/null 2>&1 || { echo "wine-harness: wineboot failed" >&2; exit 1; }
touch "$prefix/.qvn-harness"
# Without a window manager every show/hide waits for one otherwise.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
# A crashing program prints its backtrace and ends instead of waiting on a
# crash dialog nobody can see.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
# Start services.exe/explorer.exe once, detached from our output, then keep
# the server alive so each test's process start is fast.
wine cmd /c exit </dev/null >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1
"$@"
