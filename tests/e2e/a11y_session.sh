#!/bin/bash
# Runs a command inside a private, headless desktop session for screen-reader tests:
# a throw-away home, its own X server (Xvfb) and its own D-Bus session bus (the AT-SPI bus
# and registry start on demand). speech-dispatcher gets a configuration that synthesises
# with espeak-ng into ALSA's null device, so no sound card is needed.
#
# Usage: tests/e2e/a11y_session.sh COMMAND [ARG...]
#
# Environment:
#   KEYTUT_SPEECHD_CONF  speechd.conf to use (default: the copy next to this script,
#                        then ../shared/speechd.conf beside the repository)
#   KEYTUT_A11Y_KEEP=1   keep the temporary folder (logs) after the run
# Inside the session A11Y_SESSION_DIR names the temporary folder; the command's exit
# status is this script's exit status.
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARG...]" >&2
    exit 2
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
conf=${KEYTUT_SPEECHD_CONF:-}
if [ -z "$conf" ]; then
    for candidate in "$here/speechd.conf" "$here/../../../shared/speechd.conf"; do
        if [ -f "$candidate" ]; then
            conf=$candidate
            break
        fi
    done
fi
if [ -z "$conf" ] || [ ! -f "$conf" ]; then
    echo "$0: no speechd.conf found (set KEYTUT_SPEECHD_CONF)" >&2
    exit 2
fi
for tool in xvfb-run dbus-run-session; do
    if ! command -v "$tool" >/dev/null; then
        echo "$0: $tool is not installed" >&2
        exit 2
    fi
done

session=$(mktemp -d "${TMPDIR:-/tmp}/keytut-a11y.XXXXXX")
export A11Y_SESSION_DIR=$session
export HOME=$session/home
export XDG_CONFIG_HOME=$session/config
export XDG_DATA_HOME=$session/data
export XDG_CACHE_HOME=$session/cache
export XDG_RUNTIME_DIR=$session/runtime
export GSETTINGS_BACKEND=memory
mkdir -p "$HOME" "$XDG_CONFIG_HOME/speech-dispatcher" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cp "$conf" "$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"
# Nothing of the caller's desktop may leak in.
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS SPEECHD_ADDRESS

# Processes started in this session, found by the session's own XDG_RUNTIME_DIR in their
# environment (never by name); this script itself is spared.
session_pids() {
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        [ "$pid" = $$ ] && continue
        if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR"; then
            echo "$pid"
        fi
    done
}

# speech-dispatcher detaches from the session and outlives it: stop the one this session
# started, by its pid file, its output modules first (they are detached too).
stop_speechd() {
    local pidfile=$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid
    [ -f "$pidfile" ] || return 0
    local pid
    pid=$(cat "$pidfile" 2>/dev/null || true)
    case "$pid" in '' | *[!0-9]*) return 0 ;; esac
    kill -0 "$pid" 2>/dev/null || return 0
    local other
    for other in $(session_pids); do
        case $({ tr '\0' '\n' <"/proc/$other/cmdline"; } 2>/dev/null | head -n 1) in
        */speech-dispatcher-modules/*) kill "$other" 2>/dev/null || true ;;
        esac
    done
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
}

# Whatever the session left running (AT-SPI bus and registry, a module, a program that
# ignored its end) goes too.
stop_leftovers() {
    local pids pid
    pids=$(session_pids)
    [ -n "$pids" ] || return 0
    kill $pids 2>/dev/null || true
    for _ in $(seq 30); do
        pids=$(for pid in $pids; do kill -0 "$pid" 2>/dev/null && echo "$pid"; done)
        [ -n "$pids" ] || return 0
        sleep 0.1
    done
    kill -KILL $pids 2>/dev/null || true
}

cleanup() {
    local status=$?
    set +e
    stop_speechd
    stop_leftovers
    if [ "${KEYTUT_A11Y_KEEP:-0}" = 1 ]; then
        echo "a11y session kept in $session" >&2
    else
        rm -rf "$session"
    fi
    exit "$status"
}
trap cleanup EXIT

# An X server resets itself when its last client leaves, and refuses the connections that come
# while it resets (Qt: "could not connect to display"): a program started just after a short
# client (xdotool, the check below) then fails. -noreset keeps the server as it is.
# xvfb-run does not wait for the server it stops, and starts the command even when its own
# server did not come up (a display number still held by the ending server of the session
# before): the command then finds no display, or one that goes away under it. So each session
# starts its search for a free display at a number of its own, waits for its server to answer
# before the command starts, and starts over on another display when the server never does.
wait_for_display='for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && exec "$@"
    sleep 0.1
done
echo "a11y_session: the X server on $DISPLAY never answered" >&2
exit 97'
status=97
for attempt in 1 2 3; do
    [ "$status" -eq 97 ] || break
    [ "$attempt" -eq 1 ] || echo "a11y_session: starting over on another display" >&2
    status=0
    xvfb-run -a -n $((100 + RANDOM % 800)) -e "$session/xvfb.log" -s "-screen 0 1024x768x24 -nolisten tcp -noreset" \
        dbus-run-session -- bash -c "$wait_for_display" bash "$@" || status=$?
done
exit "$status"
