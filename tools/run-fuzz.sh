#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (in build/fuzz) and runs each for the given
# number of seconds (default 60), one after the other; when targets are named after the
# seconds, only those run. Exits non-zero when a target
# finds a crash, a hang, a leak or a broken invariant, and prints where the input that did it is.
#
#   tools/run-fuzz.sh [seconds [target...]]     targets: portfolio import valuefile oracle
#   tools/run-fuzz.sh 1800 oracle               the oracle alone for 30 minutes
#
# Each target starts from the seeds in fuzz/corpus/<target>/ and keeps what it learns in
# build/fuzz/corpus/<target>/, so that longer or repeated runs go on from there.
set -uo pipefail
cd "$(dirname "$0")/.."

usage="usage: tools/run-fuzz.sh [seconds per target [portfolio|import|valuefile|oracle...]]"
seconds=${1:-60}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "$usage" >&2
    exit 2
fi
shift $(($# > 0 ? 1 : 0))

# clang and its fuzzer runtime; install-deps.sh installs them too, this covers a bare machine.
bash tools/ensure-packages.sh clang libclang-rt-14-dev || exit 1

dir=build/fuzz
targets=(portfolio import valuefile oracle)
declare -A maxLength=([portfolio]=65536 [import]=65536 [valuefile]=262144 [oracle]=65536)
if [ $# -gt 0 ]; then
    for target in "$@"; do
        if [ -z "${maxLength[$target]+known}" ]; then
            echo "tools/run-fuzz.sh: no fuzz target \"$target\"" >&2
            echo "$usage" >&2
            exit 2
        fi
    done
    targets=("$@")
fi

mkdir -p build
echo "== Building the fuzz targets in $dir"
if ! CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVELT_WERROR=ON -DORVELT_FUZZ=ON -DORVELT_BUILD_TESTS=OFF -DORVELT_BUILD_BENCH=OFF \
    >"$dir.configure.log" 2>&1; then
    cat "$dir.configure.log"
    exit 1
fi
if ! cmake --build "$dir" -j "$(nproc)" --target "${targets[@]/#/fuzz_}" >"$dir.build.log" 2>&1; then
    tail -n 60 "$dir.build.log"
    exit 1
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
results=()
for target in "${targets[@]}"; do
    corpus="$dir/corpus/$target"
    findings="$dir/findings/$target"
    log="$dir/fuzz_$target.log"
    mkdir -p "$corpus" "$findings"
    echo "== Fuzzing $target for $seconds s (log: $log)"
    "$dir/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 \
        -max_len="${maxLength[$target]}" -print_final_stats=1 -artifact_prefix="$findings/" \
        "$corpus" "fuzz/corpus/$target" >"$log" 2>&1
    code=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1)
    if [ "$code" -eq 0 ]; then
        results+=("fuzz $target: no finding in $seconds s (${runs:-?} runs)")
    else
        status=1
        found=$(grep -o 'Test unit written to .*' "$log" | tail -n 1 | sed 's/Test unit written to //')
        grep -m 1 -E 'ERROR: |invariant broken|runtime error' "$log"
        known=""
        for kept in fuzz/corpus/"$target"/crash-*; do
            if [ -n "$found" ] && [ -f "$kept" ] && cmp -s "$kept" "$found"; then
                known=" (a known finding, kept as $kept)"
            fi
        done
        results+=("fuzz $target: FINDING, input: ${found:-none written, see $log}$known")
    fi
done

printf '%s\n' "${results[@]}"
if [ "$status" -ne 0 ]; then
    echo "Reproduce with: $dir/fuzz/fuzz_<target> <input>" >&2
fi
exit "$status"
