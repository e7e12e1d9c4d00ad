#!/usr/bin/env bash
# scripts/fuzz.sh [SECONDS]: builds the libFuzzer targets with clang and runs
# each for SECONDS (default 60) in total, seeded with fuzz/corpus/<target>/
# and the malformed samples of the corpus ($QLX_SAMPLES, default
# ../shared/samples). Crashes are left in build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-60}
samples=${QLX_SAMPLES:-../shared/samples}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
targets=(build-fuzz/fuzz/*_fuzz)
per_target=$(( seconds / ${#targets[@]} ))
(( per_target > 0 )) || per_target=1
mkdir -p build-fuzz/crashes
for target in "${targets[@]}"; do
    name=$(basename "$target")
    work=build-fuzz/corpus/$name
    mkdir -p "$work"
    seeds=()
    [[ -d fuzz/corpus/$name ]] && seeds+=("fuzz/corpus/$name")
    [[ -d $samples/malformed ]] && seeds+=("$samples/malformed")
    echo "== fuzzing $name for ${per_target}s"
    "$target" -max_total_time="$per_target" -timeout=2 -rss_limit_mb=2048 \
        -artifact_prefix=build-fuzz/crashes/ "$work" "${seeds[@]}" 2>&1 | tail -3
done
