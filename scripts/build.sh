#!/usr/bin/env bash
# Configures and builds both trees: build/win (MinGW-w64 cross build) and
# build/native (cores with sanitizers).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVN_BUILD_DIR:-$root/build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
jobs=$(nproc)
cmake -S "$root" -B "$build/win" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/win" -j"$jobs"
if [ "${QVN_SKIP_NATIVE:-0}" != 1 ]; then
  cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$build/native" -j"$jobs"
fi
