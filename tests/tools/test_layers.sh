#!/usr/bin/env bash
# The build holds the layers: a library's sources see their own folder and those of the
# libraries it links, nothing else, and core/, exercises/ and keying/ compile without Qt. Each
# probe is a file of one include, compiled with the flags the build gives one of the library's
# own sources (from compile_commands.json): a header of a layer it links must compile, one of a
# layer it skips must fail as not found.
source "$(dirname "$0")/checks.sh"
commands=$1  # compile_commands.json of the build
src=$2       # the source tree
gui=$3       # ON when the Qt layers are built

# The build folder, then the compiler and flags of SOURCE (relative to the source tree), one a
# line, without its output, input and dependency file.
flags_of() {
    python3 - "$commands" "$src/$1" <<'PY'
import json, shlex, sys
entries = [e for e in json.load(open(sys.argv[1])) if e["file"] == sys.argv[2]]
if len(entries) != 1:
    sys.exit(f"{sys.argv[2]}: {len(entries)} compile commands")
args = entries[0].get("arguments") or shlex.split(entries[0]["command"])
kept, skip = [entries[0]["directory"]], False
for a in args:
    if skip:
        skip = False
    elif a in ("-o", "-c", "-MF", "-MT", "-MQ"):
        skip = True
    elif a not in ("-MD", "-MMD"):
        kept.append(a)
print("\n".join(kept))
PY
}

probe() {  # source whose flags are used, include ("x/y.h" or <X>); the probe's errors in $work/err
    : >"$work/err"
    flags_of "$1" >"$work/flags" || return 2
    local args
    mapfile -t args <"$work/flags"
    printf '#include %s\nint main() {}\n' "$2" >"$work/probe.cpp"
    (cd "${args[0]}" && "${args[@]:1}" -fsyntax-only "$work/probe.cpp") 2>"$work/err"
}
sees() {
    probe "$1" "$2" || { head -3 "$work/err"; return 1; }
}
skips() {  # fails because the probe's own include is not found; a project header must exist
    local name=${2//[\"<>]/}
    [[ $2 == \<* || -f $src/$name ]] || { echo "no such header $name"; return 1; }
    probe "$1" "$2"
    [ $? = 1 ] && grep "probe.cpp:1:" "$work/err" | grep -F "$name" |
        grep -qE "No such file or directory|file not found"
}

# source, the headers it must see, --, the headers it must not
layer() {
    local source=$1 seen=1 h
    shift
    for h in "$@"; do
        if [ "$h" = -- ]; then seen=0
        elif [ $seen = 1 ]; then check "$source sees $h" sees "$source" "$h"
        else check "$source does not see $h" skips "$source" "$h"
        fi
    done
}

layer core/code_table.cpp '"core/code_table.h"' -- '"exercises/lesson.h"' '"keying/paddle.h"' \
    '"progress/history.h"' '"platform/audio/audio_system.h"' '"platform/ui/screen.h"' '<QString>'
layer exercises/lesson.cpp '"exercises/lesson.h"' '"core/code_table.h"' '"progress/history.h"' \
    -- '"progress/store.h"' '"keying/paddle.h"' '"platform/audio/audio_system.h"' \
    '"platform/ui/screen.h"' '<QString>'
layer keying/paddle.cpp '"keying/paddle.h"' '"core/code_table.h"' -- '"exercises/lesson.h"' \
    '"progress/history.h"' '"platform/audio/audio_system.h"' '"platform/keys/key_port.h"' '<QString>'
layer progress/store.cpp '"progress/store.h"' -- '"core/code_table.h"' '"exercises/lesson.h"' \
    '<QString>'
layer platform/audio/audio_system.cpp '"platform/audio/audio_system.h"' '"keying/sidetone.h"' \
    '"core/wave_out.h"' -- '"exercises/lesson.h"' '"progress/history.h"' '"platform/ui/screen.h"' \
    '<QString>'
if [ "$gui" = ON ]; then
    layer platform/ui/screen.cpp '"platform/ui/screen.h"' '"exercises/lesson.h"' \
        '"progress/store.h"' '"platform/audio/audio_system.h"' '<QString>' -- \
        '"platform/keys/key_port.h"' '"earkey/main_menu.h"' '"keyview/main_window.h"'
    layer platform/keys/key_port.cpp '"platform/keys/key_port.h"' '"platform/ui/screen.h"' \
        '"keying/paddle.h"' -- '"earkey/main_menu.h"' '"keyview/main_window.h"'
    layer earkey/main_menu.cpp '"earkey/main_menu.h"' '"platform/keys/key_port.h"' -- \
        '"keyview/main_window.h"'
    layer keyview/main_window.cpp '"keyview/main_window.h"' -- '"earkey/main_menu.h"'
fi

# No source of the toolkit-free layers is given an include folder of Qt's.
no_qt() {
    python3 - "$commands" "$src" <<'PY'
import json, shlex, sys
src = sys.argv[2].rstrip("/") + "/"
free = [e for e in json.load(open(sys.argv[1]))
        if e["file"].startswith(tuple(src + d + "/" for d in ("core", "exercises", "keying")))]
qt = [e["file"] for e in free
      if any("qt6" in a.lower() for a in e.get("arguments") or shlex.split(e["command"]))]
print(f"{len(free)} sources, {len(qt)} with Qt: {' '.join(qt)}")
sys.exit(0 if free and not qt else 1)
PY
}
check "core/, exercises/ and keying/ compile without Qt" no_qt
finish
