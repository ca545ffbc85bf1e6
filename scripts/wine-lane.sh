#!/usr/bin/env bash
# Runs a command in the Wine lane that ctest gave the test:
#   scripts/wine-lane.sh <command...>
# ctest hands out the lanes of scripts/wine-harness.sh as the resource
# "lanes" (CTEST_RESOURCE_GROUP_0_LANES=id:<k>,slots:<n>). Without an
# allocation (test discovery, ctest without the resource file) the command
# runs in the harness's own environment, lane 0. A lane other than 0 runs
# its programs from its own copy of the bin folder: every argument that
# names a path in the build's bin folder is pointed at that copy.
set -u
lane=""
case "${CTEST_RESOURCE_GROUP_0_LANES:-}" in
  id:*) lane=${CTEST_RESOURCE_GROUP_0_LANES#id:}; lane=${lane%%,*} ;;
esac
if [ -n "$lane" ] && [ -n "${QVN_LANES_DIR:-}" ]; then
  [ -f "$QVN_LANES_DIR/$lane/env" ] || { echo "wine-lane: no lane $lane in $QVN_LANES_DIR" >&2; exit 125; }
  bin0=$(dirname "$QVN_LANES_DIR")/bin
  set -a; . "$QVN_LANES_DIR/$lane/env"; set +a
  if [ "$QVN_LANE_BIN" != "$bin0" ]; then
    args=()
    for a in "$@"; do
      case "$a" in "$bin0"|"$bin0"/*) a="$QVN_LANE_BIN${a#"$bin0"}" ;; esac
      args+=("$a")
    done
    set -- "${args[@]}"
  fi
fi
exec "$@"
