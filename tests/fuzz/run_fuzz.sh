#!/usr/bin/env bash
# Runs one libFuzzer target for KEYTUT_FUZZ_SECONDS seconds (30 unless set), starting from the
# seeds and the kept finds, and prints how many inputs it ran and what it found.
#   run_fuzz.sh FUZZ_PROGRAM WORK_DIR REGRESSION_DIR SEED_FILE...
# New inputs collect in WORK_DIR/corpus (kept between runs); a crash, a hang or a leak leaves its
# input in WORK_DIR/artifacts and fails.
set -u
program=$1 work=$2 regressions=$3
shift 3
seconds=${KEYTUT_FUZZ_SECONDS:-30}
name=$(basename "$program")
mkdir -p "$work/corpus" "$work/artifacts"
[ $# -gt 0 ] && cp -f "$@" "$work/corpus/"
kept=()
[ -d "$regressions" ] && kept=("$regressions")
"$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "${kept[@]}" >"$work/log" 2>&1
status=$?
runs=$(grep -o 'Done [0-9]* runs in [0-9]* second' "$work/log" | tail -1)
execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/log" | grep -o '[0-9]*$')
echo "$name: ${execs:-?} runs in ${seconds} s (${runs:-no final line}); corpus $(ls "$work/corpus" | wc -l) inputs"
if [ $status -ne 0 ]; then
    echo "$name FOUND A FAULT (status $status); the end of its log:"
    tail -n 40 "$work/log"
    echo "inputs: $(ls "$work/artifacts")"
    echo "keep the input as $regressions/NAME once the fault is mended"
fi
exit $status
