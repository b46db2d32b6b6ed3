#!/bin/bash
# test_real_sound.sh MEASURE_TOOL TOOLS_DIR
# Plays a short text through the PortAudio backend into a PulseAudio null sink, records the
# sink's monitor and checks every tone and silence against the ideal within 1 ms, the gaps
# between characters included: characters written one at a time join without a gap.
# Starts its own server when PULSE_SERVER is not set; exits 77 (skipped) without pulseaudio.
set -u
tool=$1
tools=$2
for cmd in pulseaudio parecord pactl python3; do
    command -v "$cmd" >/dev/null || { echo "SKIP: $cmd is not installed"; exit 77; }
done
if [ -z "${PULSE_SERVER:-}" ] || [ -z "${KEYTUT_PULSE_SINK:-}" ]; then
    exec "$tools/with-pulse.sh" "$0" "$@"
fi

work=$(mktemp -d /tmp/keytut-sound-test.XXXXXX)
recorder=
finish() {
    if [ -n "$recorder" ]; then
        kill "$recorder" 2>/dev/null
        wait "$recorder" 2>/dev/null
    fi
    rm -rf "$work"
}
trap finish EXIT

parecord -d "$KEYTUT_PULSE_SINK.monitor" --latency-msec=50 --rate=48000 --channels=1 \
    --format=s16le --file-format=wav "$work/rec.wav" &
recorder=$!
sleep 0.5
"$tool" play --wpm 20/20 --ideal "$work/ideal.wav" --offsets "$work/offsets.txt" \
    "TEST 73 " 2>/dev/null || { echo "FAIL: playing did not finish"; exit 1; }
sleep 0.3
kill -INT "$recorder"
wait "$recorder"
recorder=
python3 "$tools/analyse_tones.py" "$work/rec.wav" "$work/ideal.wav" \
    --offsets "$work/offsets.txt" --check 1 --boundary-allowance-ms 0
