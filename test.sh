#!/usr/bin/env bash
# Builds everything (Debug, AddressSanitizer + UndefinedBehaviorSanitizer),
# generates the sample data and runs every test, the fuzz targets over their
# seed corpora among them.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/setup.sh"
build="$here/build-debug"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRUVO_SANITIZE=ON >/dev/null
cmake --build "$build"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
