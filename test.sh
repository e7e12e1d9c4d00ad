#!/usr/bin/env bash
# ./test.sh: installs what is missing, builds and runs every test; exits
# non-zero on any failure.
#   1. the dev build (warnings are errors): core, command-line and GUI tests;
#   2. the core and command-line tests again under AddressSanitizer and
#      UndefinedBehaviorSanitizer, with the fuzz targets replaying their
#      corpora and the malformed samples.
# The sample corpus is $QLX_SAMPLES, or ../shared/samples beside the
# repository. Tests that need it skip without it, and each build says how
# many did; QLX_REQUIRE_SAMPLES=1 turns those skips into failures.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/install-deps.sh
jobs=$(nproc)

# Prints how many tests of the last ctest run in build folder $1 skipped for
# want of samples.
report_sample_skips() {
    local log=$1/Testing/Temporary/LastTest.log count=0
    [[ -f $log ]] && count=$(grep -c 'needs the sample corpus' "$log" || true)
    echo "$count tests skipped for want of samples"
}

echo "== dev build"
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$jobs"
ctest --preset dev -j"$jobs" --timeout 300
report_sample_skips build

echo "== asan-ubsan build"
cmake --preset asan-ubsan -DQLX_BUILD_GUI=OFF >/dev/null
cmake --build --preset asan-ubsan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --preset asan-ubsan -j"$jobs" --timeout 600
report_sample_skips build-asan
