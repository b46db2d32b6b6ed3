#!/bin/bash
# with-pipewire.sh CMD [ARGS...]
# Runs CMD with a private PipeWire server (pipewire, its session manager wireplumber and its
# PulseAudio service pipewire-pulse, on a D-Bus session bus of their own) whose default sink is
# a null sink named "keytutsink" (48 kHz), all started as ordinary processes in a private
# runtime folder: the twin of with-pulse.sh for the sound server most desktops run.
# Exports for CMD: PIPEWIRE_RUNTIME_DIR (PipeWire's native clients find the server there, even
# where CMD sets an XDG_RUNTIME_DIR of its own), PULSE_SERVER (its PulseAudio service) and
# KEYTUT_PULSE_SINK=keytutsink; stops every server it started afterwards and exits with CMD's
# status. Recording what was played: parecord -d keytutsink.monitor ...
# For tests of a server that goes away: KEYTUT_PIPEWIRE_PID is the pipewire daemon's pid (its
# session manager and PulseAudio service end with it), and KEYTUT_PIPEWIRE_RESTART a command
# that starts a new set on the same sockets (waiting until its sink is there) and prints the
# new daemon's pid; servers started so are stopped at the end too.
# Exits 77 when PipeWire is not installed or does not start, so tests can skip.
set -u
if [ $# -eq 0 ]; then
    echo "usage: with-pipewire.sh CMD [ARGS...]" >&2
    exit 2
fi
for cmd in pipewire wireplumber pipewire-pulse pactl dbus-launch; do
    if ! command -v "$cmd" >/dev/null; then
        echo "with-pipewire.sh: $cmd is not installed" >&2
        exit 77
    fi
done

runtime=$(mktemp -d /tmp/keytut-pipewire.XXXXXX)
cleanup() {
    # Newest first: the PulseAudio service and the session manager before their daemon.
    if [ -f "$runtime/pids" ]; then
        tac "$runtime/pids" | while read -r pid; do kill "$pid" 2>/dev/null; done
        sleep 0.2
    fi
    rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The servers' own session bus, so that nothing of the caller's desktop is reached.
dbus-launch --sh-syntax >"$runtime/dbus.env" || exit 77
# shellcheck disable=SC1091
bus_pid=$(. "$runtime/dbus.env" && echo "$DBUS_SESSION_BUS_PID")
echo "$bus_pid" >>"$runtime/pids"

# Starts the three servers, waits until the PulseAudio service answers, adds the null sink and
# makes it the default one; prints the daemon's pid. In a script so that a test can run it again.
cat >"$runtime/start" <<EOS
#!/bin/bash
. "$runtime/dbus.env"
# What is left of an earlier set (its daemon killed, the others on their way out) goes first.
if [ -f "$runtime/servers" ]; then
    while read -r pid; do kill "\$pid" 2>/dev/null; done <"$runtime/servers"
    for _ in \$(seq 50); do
        alive=
        # (A process that has ended but not yet been reaped is not alive.)
        while read -r pid; do
            grep -qs '^State:.*[^Z] (' /proc/\$pid/status && alive=1
        done <"$runtime/servers"
        [ -z "\$alive" ] && break
        sleep 0.1
    done
    rm -f "$runtime/servers"
fi
rm -f "$runtime/pipewire-0"  # the daemon's socket, there once it listens
export XDG_RUNTIME_DIR=$runtime HOME=$runtime PIPEWIRE_RUNTIME_DIR=$runtime
unset PIPEWIRE_REMOTE PULSE_SERVER
export PULSE_SERVER=unix:$runtime/pulse/native
pipewire >>"$runtime/pipewire.log" 2>&1 </dev/null &
daemon=\$!
echo \$daemon | tee -a "$runtime/pids" >>"$runtime/servers"
for _ in \$(seq 50); do
    [ -S "$runtime/pipewire-0" ] && break
    sleep 0.1
done
wireplumber >>"$runtime/wireplumber.log" 2>&1 </dev/null &
echo \$! | tee -a "$runtime/pids" >>"$runtime/servers"
pipewire-pulse >>"$runtime/pipewire-pulse.log" 2>&1 </dev/null &
echo \$! | tee -a "$runtime/pids" >>"$runtime/servers"
# The PulseAudio service answers before it is ready for modules; try until it takes one.
sink=
for _ in \$(seq 100); do
    pactl load-module module-null-sink sink_name=keytutsink rate=48000 >/dev/null 2>&1 && sink=1 && break
    sleep 0.1
done
[ -n "\$sink" ] || exit 1
# A service that has just taken the sink may not yet take it as the default one: try again too.
default=
for _ in \$(seq 50); do
    pactl set-default-sink keytutsink >/dev/null 2>&1 && default=1 && break
    sleep 0.1
done
[ -n "\$default" ] || exit 1
# The session manager links streams to the default sink once it has seen it.
for _ in \$(seq 50); do
    pactl info 2>/dev/null | grep -q "^Default Sink: keytutsink\$" && break
    sleep 0.1
done
echo \$daemon
EOS
chmod +x "$runtime/start"

if ! daemon=$("$runtime/start") || [ -z "$daemon" ]; then
    echo "with-pipewire.sh: the PipeWire server did not start; its logs:" >&2
    tail -n 20 "$runtime"/*.log >&2
    exit 77
fi
export KEYTUT_PIPEWIRE_PID=$daemon
export KEYTUT_PIPEWIRE_RESTART=$runtime/start
export PIPEWIRE_RUNTIME_DIR=$runtime
unset PIPEWIRE_REMOTE
export PULSE_SERVER=unix:$runtime/pulse/native
export KEYTUT_PULSE_SINK=keytutsink

"$@"
