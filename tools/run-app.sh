#!/usr/bin/env bash
# Installs what is missing, builds Orvelt and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVELT_BUILD_TESTS=OFF -DORVELT_BUILD_BENCH=OFF >/dev/null
cmake --build build/release -j "$(nproc)" --target orvelt
exec build/release/bin/orvelt "$@"
