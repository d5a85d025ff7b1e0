#!/usr/bin/env bash
# Installs what is missing, builds Orvelt and starts it. The application is built in a folder of
# its own, build/app, without tests or benchmarks, so that it never changes what
# tools/run-tests.sh builds in build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/app -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVELT_BUILD_TESTS=OFF -DORVELT_BUILD_BENCH=OFF >/dev/null
cmake --build build/app -j "$(nproc)" --target orvelt
exec build/app/bin/orvelt "$@"
