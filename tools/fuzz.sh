#!/usr/bin/env bash
# Builds the fuzz targets of the file readers (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a given time, one after another.
#   tools/fuzz.sh [SECONDS [TARGET...]]     e.g. tools/fuzz.sh 600 code_table
# SECONDS defaults to 60; the targets are those of tests/fuzz/CMakeLists.txt (all by default).
# The build goes to build-fuzz (or $KEYTUT_FUZZ_BUILD_DIR); each target's growing corpus, log and
# any crashing input are in BUILD/tests/fuzz/work/TARGET.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KEYTUT_FUZZ_BUILD_DIR:-$here/build-fuzz}
seconds=${1:-60}
shift || true

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -G Ninja -DKEYTUT_FUZZ=ON -DKEYTUT_GUI=OFF \
    -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
targets=()
for t in "$@"; do targets+=("fuzz_$t"); done
if [ ${#targets[@]} -eq 0 ]; then
    cmake --build "$build"
    filter=()
else
    cmake --build "$build" --target "${targets[@]}"
    filter=(-R "^($(IFS='|'; echo "${targets[*]}"))\$")
fi
cd "$build"
KEYTUT_FUZZ_SECONDS=$seconds ctest -L fuzz "${filter[@]}" --timeout $((seconds + 300)) -V |
    grep -E '^[0-9]+: (fuzz_|.*FOUND|inputs:|keep )' | sed 's/^[0-9]*: //'
status=${PIPESTATUS[0]}
exit "$status"
