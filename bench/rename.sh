#!/usr/bin/env bash
# bench/rename.sh [N]: renaming N files (default 1,000) of one folder with
# `qlx rename`, by number (type 1, prefix "IMG_") and by shooting date
# (type 3: the Exif date read from every file, numbered on collisions),
# beside a shell loop of `mv -n` that gives the same files the same names
# in the same run. The names the loop uses are the ones a scratch run of
# qlx gave, matched by inode. qlx also reads each file's metadata and
# moves every file twice (aside, then to its name); the loop only moves.
# The corpus is the samples' JPEGs taken in turn (QLX_SAMPLES, else
# ../shared/samples), so the dates repeat and the collision numbering is
# part of the date run.
# Uses a release build when there is one (cmake --preset release &&
# cmake --build build-release --target qlx), else QLX=path/to/qlx; and
# hyperfine (scripts/debian-packages.txt).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
n=${1:-1000}
runs=${RUNS:-5}
qlx=${QLX:-$PWD/build-release/qlx}
samples=${QLX_SAMPLES:-$PWD/../shared/samples}
work=$PWD/build/bench/rename
[[ -x $qlx ]] || { echo "$qlx missing: build the release preset or set QLX" >&2; exit 1; }
command -v hyperfine > /dev/null || { echo "hyperfine is needed" >&2; exit 1; }

corpus=$work/corpus-$n
if [[ ! -d $corpus || $(ls "$corpus" | wc -l) -ne $n ]]; then
    rm -rf "$corpus" && mkdir -p "$corpus"
    mapfile -t photos < <(find "$samples/exif-samples" -maxdepth 1 -type f -iname '*.jpg' 2> /dev/null | sort)
    ((${#photos[@]} > 0)) || { echo "no sample JPEGs under $samples/exif-samples" >&2; exit 1; }
    for i in $(seq -f %04g 1 "$n"); do
        cp "${photos[$((10#$i % ${#photos[@]}))]}" "$corpus/P$i.jpg"
    done
fi
echo "corpus: $n files, $(($(du -sb "$corpus" | cut -f1) / 1000000)) MB ($corpus)"

src=$work/src
prep="rm -rf $src && cp -r $corpus $src"

# The old and new name of every file after a scratch run of qlx with `$1`.
names_of() {
    local scratch=$work/scratch
    rm -rf "$scratch" && cp -r "$corpus" "$scratch"
    python3 - "$scratch" "$qlx" "$@" <<'PY'
import os, subprocess, sys
folder, qlx, options = sys.argv[1], sys.argv[2], sys.argv[3:]
before = {os.stat(os.path.join(folder, n)).st_ino: n for n in os.listdir(folder)}
subprocess.run([qlx, "rename", *options, folder], check=True, stdout=subprocess.DEVNULL)
after = {os.stat(os.path.join(folder, n)).st_ino: n for n in os.listdir(folder)}
for inode, old in sorted(before.items(), key=lambda item: item[1]):
    print(old, after[inode])
PY
}

labels=()
commands=()
add_pair() { # label, qlx options
    local map=$work/map-${#labels[@]}.txt
    names_of $2 > "$map"
    labels+=("mv loop, $1" "qlx rename, $1")
    commands+=("while read -r old new; do mv -n \"$src/\$old\" \"$src/\$new\"; done < $map"
               "$qlx rename $2 $src > /dev/null")
}
add_pair "by number" "--type 1 --prefix IMG --joiner 2"
add_pair "by date" "--type 3"

echo
printf '%-28s %10s %12s\n' "command ($runs runs)" "mean s" "files/s"
declare -a means
for i in "${!commands[@]}"; do
    hyperfine --runs "$runs" --prepare "$prep" --export-json "$work/run$i.json" "${commands[$i]}" > /dev/null
    means[$i]=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["mean"])' "$work/run$i.json")
    python3 -c "import sys; s=float(sys.argv[2]); print('%-28s %10.3f %12.0f' % (sys.argv[1], s, $n / s))" \
        "${labels[$i]}" "${means[$i]}"
done
rm -rf "$src" "$work/scratch"
echo
python3 - "${means[@]}" <<'PY'
import sys
mv_n, qlx_n, mv_d, qlx_d = map(float, sys.argv[1:])
print("by number: qlx takes %.2f x the time of the mv loop" % (qlx_n / mv_n))
print("by date:   qlx takes %.2f x the time of the mv loop" % (qlx_d / mv_d))
PY
