#!/bin/bash
# measure-faults.sh [BUILD_DIR] [DATA_DIR] [PROBE...]
# Prints the figures of the hostile-user faults (times, peak memory, exit statuses) of both
# programs in a private session (Xvfb, D-Bus, home); see tools/measure_faults.py for the probes.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
data=$(cd "${2:-$here/../data}" && pwd)
shift $(($# < 2 ? $# : 2))
exec bash "$here/../tests/e2e/a11y_session.sh" /usr/bin/python3 "$here/measure_faults.py" \
    "$build/earkey/earkey" "$build/keyview/keyview" "$build/tools/keytut-keying" "$data" "$@"
