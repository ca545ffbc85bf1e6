#!/usr/bin/env bash
# Configures and builds both trees: build/win (MinGW-w64 cross build) and
# build/native (cores with sanitizers). QVN_SKIP_NATIVE=1 builds only the
# Windows tree, QVN_SKIP_WIN=1 only the native one; QVN_WIN_TARGETS="<target>..." builds only those Windows
# targets (and what they need) instead of everything.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVN_BUILD_DIR:-$root/build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
jobs=$(nproc)

# Ninja where it is installed, unless the tree was configured otherwise.
generator() {
  local cache="$1/CMakeCache.txt"
  if [ -f "$cache" ]; then
    sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$cache"
  elif command -v ninja >/dev/null; then
    echo Ninja
  else
    echo "Unix Makefiles"
  fi
}

if [ "${QVN_SKIP_WIN:-0}" != 1 ]; then
  cmake -S "$root" -B "$build/win" -G "$(generator "$build/win")" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  targets=()
  for t in ${QVN_WIN_TARGETS:-}; do targets+=(--target "$t"); done
  cmake --build "$build/win" -j"$jobs" "${targets[@]}"
fi
if [ "${QVN_SKIP_NATIVE:-0}" != 1 ]; then
  cmake -S "$root" -B "$build/native" -G "$(generator "$build/native")" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$build/native" -j"$jobs"
fi
