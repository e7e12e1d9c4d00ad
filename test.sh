#!/usr/bin/env bash
# ./test.sh: installs what is missing, builds and runs every test; exits
# non-zero on any failure.
#   1. the dev build (warnings are errors): core, command-line and GUI tests;
#   2. the core and command-line tests again under AddressSanitizer and
#      UndefinedBehaviorSanitizer, with the fuzz targets replaying their
#      corpora and the malformed samples.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/install-deps.sh
jobs=$(nproc)

echo "== dev build"
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$jobs"
ctest --preset dev -j"$jobs" --timeout 300

echo "== asan-ubsan build"
cmake --preset asan-ubsan -DQLX_BUILD_GUI=OFF >/dev/null
cmake --build --preset asan-ubsan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --preset asan-ubsan -j"$jobs" --timeout 600
