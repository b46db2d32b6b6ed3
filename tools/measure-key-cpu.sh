#!/bin/bash
# measure-key-cpu.sh [BUILD_DIR] [DATA_DIR]
# Prints the processor time Keyview takes on its main window and on each decode screen while
# nobody keys, the side-tone playing into a private null sink: through a private PulseAudio
# (tools/with-pulse.sh) by default, or as a native client of a private PipeWire
# (tools/with-pipewire.sh) with KEYTUT_SERVER=pipewire.
# KEYTUT_CPU_SECONDS sets the measuring window (default 10 s).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
data=${2:-$here/../data}
build=$(cd "$build" && pwd)
data=$(cd "$data" && pwd)
case ${KEYTUT_SERVER:-pulseaudio} in
pulseaudio) wrapper=with-pulse.sh ;;
pipewire) wrapper=with-pipewire.sh ;;
*)
    echo "measure-key-cpu.sh: KEYTUT_SERVER is pulseaudio or pipewire" >&2
    exit 2
    ;;
esac
exec "$here/$wrapper" bash "$here/../tests/e2e/a11y_session.sh" /usr/bin/python3 \
    "$here/measure_key_cpu.py" "$build" "$data"
