#!/usr/bin/env bash
# Checks that every C++ source the project tracks is formatted as .clang-format says. Prints
# the differences and fails when any file is off; changes nothing.
set -uo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null 2>&1; then
    echo "clang-format is missing; install it with tools/install-deps.sh." >&2
    exit 1
fi

mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
if [ "${#sources[@]}" -eq 0 ]; then
    exit 0
fi
if ! clang-format --dry-run --Werror "${sources[@]}"; then
    echo "These C++ files are not formatted as .clang-format says; run clang-format -i on them." >&2
    exit 1
fi
echo "Formatting: ${#sources[@]} C++ files checked."
