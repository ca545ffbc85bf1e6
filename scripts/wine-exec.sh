#!/usr/bin/env bash
# Runs one Windows program under Wine inside the prefix that the harness
# (scripts/wine-harness.sh) prepared. Refuses to touch any other prefix.
if [ -z "${WINEPREFIX:-}" ] || [ ! -f "${WINEPREFIX}/.qvn-harness" ]; then
  echo "wine-exec: no harness prefix (run through scripts/wine-harness.sh)" >&2
  exit 125
fi
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
