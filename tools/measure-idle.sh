#!/bin/bash
# measure-idle.sh [BUILD_DIR] [earkey|keyview]
# How much of one core the program uses with nothing to play, measured over KEYTUT_SECONDS (10)
# from /proc, with a private PulseAudio server running and the default (PortAudio) backend:
# at the main menu, then in an idle lesson window. Runs the program under Xvfb in a private
# session (tests/e2e/a11y_session.sh) and drives it with xdotool.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
program=${2:-earkey}
binary=$build/$program/$program
if [ ! -x "$binary" ]; then
    echo "measure-idle.sh: $binary not built" >&2
    exit 1
fi
if [ -z "${KEYTUT_IN_PULSE:-}" ]; then
    KEYTUT_IN_PULSE=1 exec "$here/with-pulse.sh" "$0" "$build" "$program"
fi
if [ -z "${A11Y_SESSION_DIR:-}" ]; then
    exec bash "$here/../tests/e2e/a11y_session.sh" "$0" "$build" "$program"
fi

seconds=${KEYTUT_SECONDS:-10}
data=$(mktemp -d /tmp/keytut-idle.XXXXXX)
cp "$here/../data/"* "$data/"
pid=
finish() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$data"
}
trap finish EXIT

(cd "$data" && exec "$binary" --seed 1) >/dev/null 2>&1 &
pid=$!

cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
thread_ticks() {
    for t in /proc/$pid/task/*; do echo "$(basename "$t") $(awk '{print $14 + $15}' "$t/stat") $(cat "$t/comm")"; done
}
# Prints the percentage; with KEYTUT_THREADS=1 also the threads that used any time.
measure() {
    local before after hz
    hz=$(getconf CLK_TCK)
    before=$(cpu_ticks)
    thread_ticks >"$data/threads.before"
    sleep "$seconds"
    after=$(cpu_ticks)
    thread_ticks >"$data/threads.after"
    python3 -c "print(f'{100 * ($after - $before) / $hz / $seconds:.2f}')"
    if [ -n "${KEYTUT_THREADS:-}" ]; then
        join "$data/threads.before" "$data/threads.after" |
            awk -v hz="$hz" -v s="$seconds" '$4 > $2 {printf "  thread %s (%s): %.2f %%\n", $1, $3, 100 * ($4 - $2) / hz / s}' >&2
    fi
}

for _ in $(seq 100); do
    if xdotool search --pid "$pid" --onlyvisible >/dev/null 2>&1; then break; fi
    sleep 0.1
done
sleep 5  # start-up done, the sound stream has come to rest
echo "$program at the main menu: $(measure) % of one core over $seconds s"
xdotool key Return  # the first lesson
sleep 5
if [ -n "${KEYTUT_SCREENSHOT:-}" ]; then
    import -window root "$KEYTUT_SCREENSHOT"
fi
echo "$program in an idle lesson window: $(measure) % of one core over $seconds s"
