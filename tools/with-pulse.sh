#!/bin/bash
# with-pulse.sh CMD [ARGS...]
# Runs CMD with a private PulseAudio server whose only sink is a null sink named "keytutsink"
# (48 kHz, no rewinds), started as an ordinary process in a private runtime folder. Exports
# PULSE_SERVER (and KEYTUT_PULSE_SINK=keytutsink) for CMD, and PIPEWIRE_RUNTIME_DIR naming the
# same folder, which holds no PipeWire server, so that the key screens' voice plays to this
# server and not to a desktop's PipeWire (tools/with-pipewire.sh is the PipeWire twin); stops
# the server afterwards and exits with CMD's status. Recording what was played: parecord -d keytutsink.monitor ...
# For tests of a server that goes away: KEYTUT_PULSE_PID is the server's pid, and
# KEYTUT_PULSE_RESTART a command that starts a new server on the same socket (waiting until it
# answers) and prints its pid; servers started so are stopped at the end too.
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
    if [ -f "$runtime/restarted" ]; then
        while read -r pid; do kill "$pid" 2>/dev/null; done <"$runtime/restarted"
    fi
    rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The server's command line, in a script so that a test can start it again.
cat >"$runtime/server" <<EOS
#!/bin/bash
XDG_RUNTIME_DIR=$runtime HOME=$runtime exec pulseaudio --daemonize=no --exit-idle-time=-1 -n \\
    --disallow-exit --disable-shm=yes --high-priority=yes --realtime=yes \\
    --load="module-null-sink sink_name=keytutsink rate=48000 norewinds=1" \\
    --load="module-native-protocol-unix auth-anonymous=1" \\
    --log-target=file:"$runtime/pulse.log" >/dev/null 2>&1 </dev/null
EOS
cat >"$runtime/restart" <<EOS
#!/bin/bash
"$runtime/server" &
echo \$! >>"$runtime/restarted"
for _ in \$(seq 100); do
    PULSE_SERVER=unix:$runtime/pulse/native pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
echo \$!
EOS
chmod +x "$runtime/server" "$runtime/restart"
"$runtime/server" &
server_pid=$!
export KEYTUT_PULSE_PID=$server_pid
export KEYTUT_PULSE_RESTART=$runtime/restart

export PULSE_SERVER=unix:$runtime/pulse/native
export KEYTUT_PULSE_SINK=keytutsink
export PIPEWIRE_RUNTIME_DIR=$runtime
unset PIPEWIRE_REMOTE
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
