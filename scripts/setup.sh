#!/usr/bin/env bash
# Sets up a Debian 12 machine for the tutor and then builds and runs it, or builds and tests it.
#   scripts/setup.sh run    install what is missing, build both programs, start Earkey on the
#                           shipped data
#   scripts/setup.sh test   install what is missing, build, run every test
# Packages are installed only when missing (this needs root, or sudo).
set -euo pipefail
mode=${1:-run}
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KEYTUT_BUILD_DIR:-$here/build}

build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev qt6-charts-dev
    libqt6opengl6-dev qt6-qpa-plugins portaudio19-dev libpulse-dev libpipewire-0.3-dev
    libsndfile1-dev libsamplerate0-dev libsqlite3-dev libevdev-dev libgtest-dev libasound2-plugins
    fonts-dejavu-core)
test_packages=(python3 xvfb xauth x11-apps imagemagick dbus dbus-x11 at-spi2-core python3-pyatspi xdotool
    pulseaudio pulseaudio-utils pipewire pipewire-pulse wireplumber sox orca speech-dispatcher
    speech-dispatcher-espeak-ng espeak-ng
    clang libclang-rt-14-dev clang-format dpkg-dev file)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Every C++ source follows .clang-format; lists the files that do not and fails.
check_format() {
    local files
    if git -C "$here" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        files=$(git -C "$here" ls-files '*.cpp' '*.h')
    else
        files=$(cd "$here" && find core exercises keying platform earkey keyview tests tools \
            -name '*.cpp' -o -name '*.h')
    fi
    (cd "$here" && echo "$files" | xargs clang-format --dry-run -Werror) || {
        echo "Sources above do not follow .clang-format: run clang-format -i on them." >&2
        return 1
    }
}

configure_and_build() {  # build dir, extra cmake args...
    local dir=$1; shift
    cmake -S "$here" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
}

# Only the two programs (94 of the 197 build steps): the tests are built by `test`.
configure_and_build_programs() {  # build dir
    cmake -S "$here" -B "$1" -G Ninja >/dev/null
    cmake --build "$1" --target earkey keyview
}

case "$mode" in
run)
    install_missing "${build_packages[@]}"
    configure_and_build_programs "$build"
    cd "$here/data"
    exec "$build/earkey/earkey" "${@:2}"
    ;;
test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    status=0
    check_format || status=1
    configure_and_build "$build"
    # The unit tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
    configure_and_build "$build-sanitize" -DKEYTUT_SANITIZE=ON -DKEYTUT_GUI=OFF -DCMAKE_BUILD_TYPE=Debug
    (cd "$build-sanitize" && ctest --output-on-failure -L unit) || status=1
    # The file readers under libFuzzer, a short run each (tools/fuzz.sh runs them for longer).
    configure_and_build "$build-fuzz" -DKEYTUT_FUZZ=ON -DKEYTUT_GUI=OFF -DCMAKE_CXX_COMPILER=clang++
    (cd "$build-fuzz" && ctest --output-on-failure -L fuzz) || status=1
    # Everything else, with a private sound server for the tests that listen to real sound.
    "$here/tools/with-pulse.sh" bash -c "cd '$build' && ctest --output-on-failure" || status=1
    # The Debian package, installed on this machine and started from the installed copy.
    if [ "$(id -u)" -eq 0 ]; then
        "$here/scripts/package.sh" "$build" --install || status=1
    else
        "$here/scripts/package.sh" "$build" || status=1
    fi
    exit $status
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
