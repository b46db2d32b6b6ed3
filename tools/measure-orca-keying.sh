#!/bin/bash
# measure-orca-keying.sh [BUILD_DIR] [DATA_DIR]
# With real Orca in a private session: does keying with Left Ctrl, or with the left mouse button,
# cut off Orca while it speaks the character just decoded? Prints the delay of each cut.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
data=$(cd "${2:-$here/../data}" && pwd)
exec bash "$here/../tests/e2e/a11y_session.sh" /usr/bin/python3 "$here/measure_orca_keying.py" \
    "$build/earkey/earkey" "$data"
