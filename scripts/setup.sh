#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Quick when
# everything is already there.
set -eu
# wine64 only suggests wine64-preloader, so it has to be named. Without it
# Wine cannot reserve the addresses Windows fixes (the shared user data at
# 0x7ffe0000, the low 2 GB) before Linux maps something there, and now and
# then a program dies at its start ("wine: failed to map the shared user
# data: c0000018").
pkgs="cmake make ninja-build g++ googletest g++-mingw-w64-x86-64-posix mingw-w64-tools
      binutils-mingw-w64-x86-64 wine wine64 wine64-preloader libwine-dev xvfb python3 xauth
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
