#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Quick when
# everything is already there.
set -eu
pkgs="cmake make ninja-build g++ googletest g++-mingw-w64-x86-64-posix mingw-w64-tools
      binutils-mingw-w64-x86-64 wine wine64 libwine-dev xvfb python3 xauth
      fonts-wine imagemagick wixl msitools clang libclang-rt-14-dev"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
