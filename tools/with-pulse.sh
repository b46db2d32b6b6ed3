#!/bin/bash
# with-pulse.sh CMD [ARGS...]
# Runs CMD with a private PulseAudio server whose only sink is a null sink named "keytutsink"
# (48 kHz, no rewinds), started as an ordinary process in a private runtime folder. Exports
# PULSE_SERVER (and KEYTUT_PULSE_SINK=keytutsink) for CMD; stops the server afterwards and
# exits with CMD's status. Recording what was played: parecord -d keytutsink.monitor ...
set -u
if [ $# -eq 0 ]; then
    echo "usage: with-pulse.sh CMD [ARGS...]" >&2
    exit 2
fi
if ! command -v pulseaudio >/dev/null; then
    echo "with-pulse.sh: pulseaudio is not installed" >&2
    exit 1
fi

runtime=$(mktemp -d /tmp/keytut-pulse.XXXXXX)
server_pid=
cleanup() {
    if [ -n "$server_pid" ]; then
        kill "$server_pid" 2>/dev/null
        wait "$server_pid" 2>/dev/null
    fi
    rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

XDG_RUNTIME_DIR=$runtime HOME=$runtime pulseaudio --daemonize=no --exit-idle-time=-1 -n \
    --disallow-exit --disable-shm=yes --high-priority=yes --realtime=yes \
    --load="module-null-sink sink_name=keytutsink rate=48000 norewinds=1" \
    --load="module-native-protocol-unix auth-anonymous=1" \
    --log-target=file:"$runtime/pulse.log" >/dev/null 2>&1 &
server_pid=$!

export PULSE_SERVER=unix:$runtime/pulse/native
export KEYTUT_PULSE_SINK=keytutsink
for _ in $(seq 100); do
    if pactl info >/dev/null 2>&1; then break; fi
    if ! kill -0 "$server_pid" 2>/dev/null; then break; fi
    sleep 0.1
done
if ! pactl info >/dev/null 2>&1; then
    echo "with-pulse.sh: the PulseAudio server did not start; its log:" >&2
    cat "$runtime/pulse.log" >&2
    exit 1
fi

"$@"
