#!/bin/bash
# measure-key-cpu.sh [BUILD_DIR] [DATA_DIR]
# Prints the processor time Keyview takes on its main window and on each decode screen while
# nobody keys, the side-tone playing through PortAudio into a private PulseAudio null sink.
# KEYTUT_CPU_SECONDS sets the measuring window (default 10 s).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
data=${2:-$here/../data}
build=$(cd "$build" && pwd)
data=$(cd "$data" && pwd)
exec "$here/with-pulse.sh" bash "$here/../tests/e2e/a11y_session.sh" /usr/bin/python3 \
    "$here/measure_key_cpu.py" "$build" "$data"
