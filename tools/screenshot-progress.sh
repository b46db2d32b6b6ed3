#!/usr/bin/env bash
# Takes the picture of Keyview's progress screen for the README: a progress file with a few
# weeks of Koch sessions (keytut-measure-progress fill), Keyview started on it under Xvfb, the
# Progress button pressed with its mnemonic (Alt+R), and the screen's window captured.
#   tools/screenshot-progress.sh [OUT.png [ANSWERS [BUILD_DIR]]]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$here/docs/keyview-progress.png}")
answers=${2:-4000}
build=${3:-$here/build}
cmake --build "$build" --target keyview keytut-measure-progress >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/keytut-measure-progress" fill "$work/progress.sqlite3" "$answers" >/dev/null
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"

inner="$work/inner.sh"
cat >"$inner" <<INNER
set -euo pipefail
QT_QPA_PLATFORM=xcb "$build/keyview/keyview" --no-sound --reset-settings --data "$here/data" \
    --progress "$work/progress.sqlite3" &
program=\$!
for _ in \$(seq 50); do
    xdotool search --name '^Keyview' >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 1
xdotool key alt+r
for _ in \$(seq 50); do
    xdotool search --name '^Progress\$' >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 1.5
import -window "\$(xdotool search --name '^Progress\$' | head -1)" "$out"
kill \$program
wait \$program || true
INNER
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
    XDG_RUNTIME_DIR="$work/runtime" GSETTINGS_BACKEND=memory \
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" bash "$inner"
echo "$out"
