#!/bin/bash
# measure-audio.sh [BUILD_DIR]
# Measures the sound output through real sound servers. First a private PulseAudio with a null
# sink (tools/with-pulse.sh): for each speed it records the sink's monitor while "PARIS PARIS PARIS " is sent
# one character per buffer (the sender's protocol), and compares the recording with the ideal:
# the extra gap per character (mean and worst), the on-air duration against the ideal, and how
# early the end-of-text notice comes. Then the key screens' voice (key-to-tone delay, tick rate
# and spacing, CPU while nobody keys), the sender's stream at rest (CPU, how soon the first
# character plays) and the ring of small buffers. Then a private PipeWire with its PulseAudio
# service and a null sink (tools/with-pipewire.sh): the key screens' voice as PipeWire's native
# client, its tone also looked for in the sink's monitor (delay, breaks), and the same voice
# through the PulseAudio service, as it plays where the native client cannot connect.
# KEYTUT_SERVERS chooses the servers ("pulseaudio pipewire").
# KEYTUT_SPEEDS overrides the speeds ("12/12 20/20 30/30 20/10"); KEYTUT_SECONDS the length of
# the timed runs (10); KEYTUT_TONE the tone of the Morse and the voice ("--pitch 600
# --soft-edges", say; 800 Hz with hard edges by default).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
tool=$build/tools/keytut-measure-audio
if [ ! -x "$tool" ]; then
    echo "measure-audio.sh: $tool not built" >&2
    exit 1
fi

seconds=${KEYTUT_SECONDS:-10}
if [ -z "${KEYTUT_IN_SERVER:-}" ]; then
    status=0
    for server in ${KEYTUT_SERVERS:-pulseaudio pipewire}; do
        case $server in
        pulseaudio) KEYTUT_IN_SERVER=$server "$here/with-pulse.sh" "$0" "$build" || status=1 ;;
        pipewire) KEYTUT_IN_SERVER=$server "$here/with-pipewire.sh" "$0" "$build" || status=1 ;;
        *) echo "measure-audio.sh: unknown server $server" >&2; status=1 ;;
        esac
    done
    exit $status
fi

if [ "$KEYTUT_IN_SERVER" = pipewire ]; then
    echo "== PipeWire $(pipewire --version | sed -n 's/^Linked with libpipewire //p'), null sink;" \
        "load average $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "== the key screens' voice as a native PipeWire client, ${seconds} s keyed and ${seconds} s left alone"
    "$tool" sidetone "$seconds" 2>/dev/null
    echo "== the same voice through PipeWire's PulseAudio service (no native connection)"
    PIPEWIRE_REMOTE=keytut-no-native-server "$tool" sidetone "$seconds" 2>/dev/null
    exit 0
fi

echo "== PulseAudio $(pulseaudio --version | sed 's/[^0-9.]//g'), null sink;" \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"
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

echo "== one character per buffer, next written on the done notice"
summary=
for speed in ${KEYTUT_SPEEDS:-12/12 20/20 30/30 20/10}; do
    parecord -d "$KEYTUT_PULSE_SINK.monitor" --latency-msec=50 --rate=48000 --channels=1 \
        --format=s16le --file-format=wav "$work/rec.wav" &
    recorder=$!
    sleep 0.5
    # shellcheck disable=SC2086
    "$tool" ${KEYTUT_TONE:-} play --wpm "$speed" --ideal "$work/ideal.wav" --offsets "$work/offsets.txt" \
        "PARIS PARIS PARIS " 2>/dev/null >"$work/play.txt"
    sleep 0.3
    kill -INT "$recorder"
    wait "$recorder" || true
    recorder=
    # The ideal brought to the recording's rate as the server does: the detector then meets
    # the same waveform in both (soft edges cross its threshold up to half a cycle apart at
    # 8000 and 48000 Hz).
    sox "$work/ideal.wav" -r 48000 "$work/ideal48.wav"
    awk '{ print $1 * 6 }' "$work/offsets.txt" >"$work/offsets48.txt"
    python3 "$here/analyse_tones.py" "$work/rec.wav" "$work/ideal48.wav" \
        --offsets "$work/offsets48.txt" >"$work/analysis.txt" || true
    echo "-- $speed wpm"
    grep -v "^play: ideal\|^ *[0-9]\|^character " "$work/play.txt" "$work/analysis.txt" |
        sed 's/^[^:]*://'
    summary+=$(python3 - "$speed" "$work/analysis.txt" "$work/play.txt" <<'PY'
import re, sys
speed, analysis, play = sys.argv[1], open(sys.argv[2]).read(), open(sys.argv[3]).read()
def grab(pattern, text):
    m = re.search(pattern, text)
    return float(m.group(1)) if m else None
ideal = grab(r"ideal on-air duration \(sum of buffers\): ([-+0-9.]+)", analysis)
drift = grab(r"measured on-air duration: [-+0-9.]+ ms \(([-+0-9.]+) ms\)", analysis)
mean = grab(r"silences between characters: .* mean ([-+0-9.]+) ms", analysis)
worst = grab(r"silences between characters: extra min [-+0-9.]+ ms, max ([-+0-9.]+) ms", analysis)
early = grab(r"notice came ([-+0-9.]+) ms", play)
if ideal is None or mean is None:
    print(f"{speed:>6}  analysis failed (see above)")
else:
    print(f"{speed:>6}  {mean:+9.3f}  {worst:+9.3f}  {100 * drift / ideal:+8.4f} %  {early:8.1f}")
PY
)$'\n'
done
echo "== summary: extra gap per character (mean, worst, ms), on-air error, end notice early (ms)"
printf '%s' "$summary"

echo "== the key screens' voice, ${seconds} s keyed and ${seconds} s left alone"
# shellcheck disable=SC2086
"$tool" ${KEYTUT_TONE:-} sidetone "$seconds" 2>/dev/null
echo "== the sender's stream at rest"
"$tool" rest "$seconds" 2>/dev/null
echo "== ring of 20 buffers of 40 samples, done notices at playback time, ${seconds} s"
"$tool" ring "$seconds" 2>/dev/null
