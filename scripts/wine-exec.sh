#!/usr/bin/env bash
# Runs one Windows program under Wine inside the prefix that the harness
# (scripts/wine-harness.sh) prepared, in the lane ctest gave the test
# (scripts/wine-lane.sh). Refuses to touch any other prefix.
#
# What Wine itself reports (WINEDEBUG=err+all unless set otherwise) is
# kept only when the program fails: printed after its output, and, when
# Wine did not start the program at all (a failure without one byte of
# output), also kept in <build>/wine-start-failures/.
if [ -z "${QVN_IN_LANE:-}" ]; then
  QVN_IN_LANE=1 exec "$(dirname "$0")/wine-lane.sh" "$0" "$@"
fi
if [ -z "${WINEPREFIX:-}" ] || [ ! -f "${WINEPREFIX}/.qvn-harness" ]; then
  echo "wine-exec: no harness prefix (run through scripts/wine-harness.sh)" >&2
  exit 125
fi
export WINEDEBUG="${QVN_WINEDEBUG:-err+all}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
wine "$@" 2>"$scratch/wine.err" | tee "$scratch/out"
rc=${PIPESTATUS[0]}
if [ "$rc" != 0 ]; then
  grep -v -e 'wine32 is missing' -e 'multiarch needs' -e 'dpkg --add-architecture' -e 'apt-get install wine32' \
    "$scratch/wine.err" >&2
  if [ ! -s "$scratch/out" ]; then
    dir="$(dirname "$WINEPREFIX")/wine-start-failures"
    case "$WINEPREFIX" in */lanes/*) dir="${WINEPREFIX%%/lanes/*}/wine-start-failures" ;; esac
    mkdir -p "$dir"
    kept="$dir/$(basename "$1")-$(date +%Y%m%d-%H%M%S)-$$.txt"
    { echo "command: wine $*"; echo "exit code: $rc"; echo "prefix: $WINEPREFIX"; cat "$scratch/wine.err"; } > "$kept"
    echo "wine-exec: $(basename "$1") ended with $rc before writing anything; what Wine said is in $kept" >&2
  fi
fi
exit "$rc"
