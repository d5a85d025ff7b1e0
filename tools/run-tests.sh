#!/usr/bin/env bash
# Installs what is missing, builds Orvelt with warnings as errors and runs every test; then builds
# it again with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test there too.
# The tests (and, in the normal build, the benchmarks) are turned on here whatever an earlier
# configuration of the build folders said, and a build in which ctest finds no test fails.
set -uo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh || exit 1

jobs=$(nproc)
status=0

run_suite() {
    local dir=$1
    shift
    echo "== Configuring and building in $dir"
    if ! cmake -S . -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1; then
        cat "$dir.configure.log"
        return 1
    fi
    if ! cmake --build "$dir" -j "$jobs" >"$dir.build.log" 2>&1; then
        tail -n 60 "$dir.build.log"
        return 1
    fi
    echo "== Running the tests in $dir"
    ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 600 --no-tests=error
}

mkdir -p build
run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVELT_WERROR=ON \
    -DORVELT_SANITIZE=OFF -DORVELT_FUZZ=OFF -DORVELT_BUILD_TESTS=ON -DORVELT_BUILD_BENCH=ON || status=1

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DORVELT_WERROR=ON -DORVELT_SANITIZE=ON \
    -DORVELT_BUILD_TESTS=ON -DORVELT_BUILD_BENCH=OFF || status=1

if [ "$status" -eq 0 ]; then
    echo "All tests passed, in the normal build and under the sanitizers."
else
    echo "Some tests FAILED (see above)." >&2
fi
exit "$status"
