#!/usr/bin/env bash
# Copies the control panel screenshots of the last test run
# (build/win/screenshots) to docs/screenshots for the README.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVN_BUILD_DIR:-$root/build}
mkdir -p "$root/docs/screenshots"
cp "$build"/win/screenshots/*.png "$root/docs/screenshots/"
ls "$root/docs/screenshots"
