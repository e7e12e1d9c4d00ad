#!/usr/bin/env bash
# bench/actions.sh [N]: the file actions on N files (default 1,000) as a
# card's worth of pictures, through `qlx act`, beside the system's own
# tools on the same files in the same run:
#   - a move to another folder of the same file system, against `mv`
#     (goal: at most 2 x the time of mv);
#   - a copy to another file system (/dev/shm), against `cp` (goal: at
#     least 90 % of cp's throughput). Our copy flushes every file to disk
#     (fsync) before it is renamed into place and flushes the folder after
#     it; cp flushes nothing, so on a disk it is faster only until a crash.
# The corpus is the samples' JPEGs taken in turn (QLX_SAMPLES, else
# ../shared/samples), or, without them, files of 2 to 6 MB of random bytes.
# Needs a release build (cmake --preset release && cmake --build
# build-release --target qlx), and hyperfine (scripts/debian-packages.txt);
# without hyperfine each command is timed by the script with date +%s%N.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
n=${1:-1000}
runs=${RUNS:-5}
qlx=${QLX:-$PWD/build-release/qlx}
samples=${QLX_SAMPLES:-$PWD/../shared/samples}
work=$PWD/build/bench/actions
shm=/dev/shm/qlx-bench-actions-$$
[[ -x $qlx ]] || { echo "$qlx missing: build the release preset" >&2; exit 1; }
[[ -d /dev/shm && -w /dev/shm ]] || { echo "/dev/shm is missing or not writable" >&2; exit 1; }
trap 'rm -rf "$shm"' EXIT

corpus=$work/corpus-$n
if [[ ! -d $corpus || $(ls "$corpus" | wc -l) -ne $n ]]; then
    rm -rf "$corpus" && mkdir -p "$corpus"
    mapfile -t photos < <(find "$samples" -type f -iname '*.jpg' -size +8k 2> /dev/null | sort)
    for i in $(seq -f %04g 1 "$n"); do
        if ((${#photos[@]} > 0)); then
            cp "${photos[$((10#$i % ${#photos[@]}))]}" "$corpus/P$i.jpg"
        else
            head -c $(((RANDOM % 5 + 2) * 1000000)) /dev/urandom > "$corpus/P$i.jpg"
        fi
    done
fi
bytes=$(du -sb "$corpus" | cut -f1)
echo "corpus: $n files, $((bytes / 1000000)) MB ($corpus)"

# name, command, and the preparation that runs before each timing.
src=$work/src
dst=$work/dst
prepMove="rm -rf $src $dst && cp -r $corpus $src && mkdir $dst && sync"
prepCopy="rm -rf $src $shm && cp -r $corpus $src && mkdir -p $shm/dst && sync"
names=("mv (same file system)" "qlx act move (same file system)" "cp to /dev/shm" "qlx act copy to /dev/shm")
commands=("mv $src/* $dst/"
          "$qlx act move --to $dst $src/* > /dev/null"
          "cp $src/* $shm/dst/"
          "$qlx act copy --to $shm/dst $src/* > /dev/null")
preps=("$prepMove" "$prepMove" "$prepCopy" "$prepCopy")

# Mean seconds of one command over the runs.
declare -a means
time_one() {
    local i=$1
    if command -v hyperfine > /dev/null; then
        hyperfine --runs "$runs" --prepare "${preps[$i]}" --export-json "$work/run$i.json" "${commands[$i]}" > /dev/null
        python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["mean"])' "$work/run$i.json"
    else
        local total=0 start end
        for _ in $(seq "$runs"); do
            bash -c "${preps[$i]}"
            start=$(date +%s%N); bash -c "${commands[$i]}"; end=$(date +%s%N)
            total=$((total + end - start))
        done
        python3 -c "print($total / $runs / 1e9)"
    fi
}
for i in 0 1 2 3; do means[$i]=$(time_one "$i"); done
rm -rf "$src" "$dst"

echo
printf '%-34s %10s %10s\n' "command ($runs runs)" "mean s" "MB/s"
for i in 0 1 2 3; do
    python3 -c "import sys; s=float(sys.argv[2]); print('%-34s %10.3f %10.1f' % (sys.argv[1], s, $bytes / s / 1e6))" \
        "${names[$i]}" "${means[$i]}"
done
echo
python3 - "${means[@]}" <<'PY'
import sys
mv, move, cp, copy = map(float, sys.argv[1:])
print("same-device move: %.2f x the time of mv (goal: at most 2 x) %s" % (move / mv, "met" if move <= 2 * mv else "MISSED"))
print("copy to /dev/shm: %.0f %% of cp's throughput (goal: at least 90 %%) %s" % (100 * cp / copy, "met" if cp / copy >= 0.9 else "MISSED"))
print("(our copy fsyncs every file and its folder; cp does not)")
PY
