#!/usr/bin/env bash
# bench/thumbs.sh [N]: list thumbnails per second against the peers, in one run.
#
# Builds a corpus of N camera JPEGs (default 1000) from the shared samples,
# then times with hyperfine, over the same folder:
#   qlx bench thumbs            the program's way: metadata pass, preview choice,
#                               the chosen embedded JPEG (or the whole file)
#                               decoded scaled, cropped and stretched into 88 × 60,
#                               histogram picture and cache block; one thread
#   gm mogrify -size 176x120 -thumbnail 88x60
#                               GraphicsMagick, on a fresh copy each run (it
#                               rewrites the files in place); it may use every
#                               core, and its idle OpenMP threads wait passively,
#                               so that on a busy machine their spinning is not
#                               counted against it (it costs gm several times its
#                               time on two shared cores)
#   vipsthumbnail -s 88x60      libvips, writing into a folder of its own
#   jpeg-floor                  libjpeg-turbo decoding every whole file at 1/8 in
#                               one process: what decoding alone costs
# and prints thumbnails per second of each (files / mean seconds).
# Needs a dev build (build/qlx) and the benchmark packages of
# scripts/debian-packages.txt (hyperfine, graphicsmagick, libvips-tools).
# RUNS=N sets hyperfine's runs (default 5).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
n=${1:-1000}
runs=${RUNS:-5}
corpus=build/bench-corpus
shared=../shared/bench
out=build/bench
mkdir -p "$out"
[[ -x build/qlx ]] || { echo "build/qlx missing: run ./test.sh or cmake --build --preset dev" >&2; exit 1; }
for tool in hyperfine gm vipsthumbnail cc; do
    command -v "$tool" > /dev/null || { echo "$tool missing: see scripts/debian-packages.txt" >&2; exit 1; }
done
[[ -d $corpus/jpeg && $(ls "$corpus/jpeg" | wc -l) -eq $n ]] || "$shared/make-corpus.sh" "$corpus" "$n"
cc -O2 -o "$out/jpeg-floor" "$shared/jpeg-floor.c" -ljpeg

dir=$corpus/jpeg
files=$(ls "$dir" | wc -l)
gm_copy=$out/thumbs-gm
vips_out=$PWD/$out/thumbs-vips

echo "== thumbnails: $files camera JPEGs"
build/qlx bench thumbs "$dir"
hyperfine --warmup 1 --runs "$runs" \
    --export-csv "$out/thumbs.csv" --export-markdown "$out/thumbs.md" \
    --prepare true -n qlx "build/qlx bench thumbs $dir" \
    --prepare "rm -rf $gm_copy && cp -r $dir $gm_copy" \
    -n gm "OMP_WAIT_POLICY=PASSIVE gm mogrify -size 176x120 -thumbnail 88x60 $gm_copy/*.jpg" \
    --prepare "rm -rf $vips_out && mkdir -p $vips_out" \
    -n vips "vipsthumbnail -s 88x60 -o $vips_out/%s.jpg $dir/*.jpg" \
    --prepare true -n jpeg-floor "$out/jpeg-floor $dir/*.jpg"

echo
echo "thumbnails per second ($files files, mean of $runs runs):"
awk -F, -v files="$files" 'NR > 1 {
    printf "  %-11s %6d/s   (%.0f ms ± %.0f; user %.0f ms, system %.0f ms)\n",
           $1, files / $2, $2 * 1000, $3 * 1000, $5 * 1000, $6 * 1000 }' "$out/thumbs.csv"
rm -rf "$gm_copy" "$vips_out"
