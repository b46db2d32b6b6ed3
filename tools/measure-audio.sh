#!/bin/bash
# measure-audio.sh [BUILD_DIR]
# Measures the PortAudio backend through a real sound server: starts a private PulseAudio with a
# null sink, records the sink's monitor while "PARIS PARIS PARIS " is sent at 20/20 wpm one
# character per buffer, compares the recording with the ideal, then runs the 5 ms ring for 10 s.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
tool=$build/tools/keytut-measure-audio
if [ ! -x "$tool" ]; then
    echo "measure-audio.sh: $tool not built" >&2
    exit 1
fi

if [ -z "${KEYTUT_IN_PULSE:-}" ]; then
    KEYTUT_IN_PULSE=1 exec "$here/with-pulse.sh" "$0" "$build"
fi

work=$(mktemp -d /tmp/keytut-measure.XXXXXX)
recorder=
finish() {
    if [ -n "$recorder" ]; then
        kill "$recorder" 2>/dev/null || true
        wait "$recorder" 2>/dev/null || true
    fi
    if [ -n "${KEYTUT_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap finish EXIT

parecord -d "$KEYTUT_PULSE_SINK.monitor" --latency-msec=50 --rate=48000 --channels=1 \
    --format=s16le --file-format=wav "$work/rec.wav" &
recorder=$!
sleep 0.5
echo "== one character per buffer, next written on the done notice"
"$tool" play --wpm 20/20 --ideal "$work/ideal.wav" --offsets "$work/offsets.txt" \
    "PARIS PARIS PARIS " 2>/dev/null
sleep 0.3
kill -INT "$recorder"
wait "$recorder" || true
recorder=
python3 "$here/analyse_tones.py" "$work/rec.wav" "$work/ideal.wav" --offsets "$work/offsets.txt"

echo "== ring of 20 buffers of 40 samples, done notices at playback time, 10 s"
"$tool" ring "${KEYTUT_RING_SECONDS:-10}" 2>/dev/null
