#!/usr/bin/env bash
# bench/metadata.sh [N]: the metadata pass against its peers, in one run.
#
# Builds a corpus of N camera JPEGs and N trimmed RAW files (default 1000)
# from the shared samples, then times with hyperfine, per folder:
#   qlx bench metadata        the program's pass and preview choice
#   exiftool -fast2 -n        ten tags
#   exiv2 -pt                 every Exif tag
#   jpeg-floor -R 4096        merely reading the first 4 KiB of every file
# Needs a dev build (build/qlx) and the packages of scripts/debian-packages.txt.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
n=${1:-1000}
corpus=build/bench-corpus
shared=../shared/bench
mkdir -p build/bench
[[ -x build/qlx ]] || { echo "build/qlx missing: run ./test.sh or cmake --build --preset dev" >&2; exit 1; }
[[ -d $corpus/jpeg && $(ls "$corpus/jpeg" | wc -l) -eq $n ]] || "$shared/make-corpus.sh" "$corpus" "$n"
cc -O2 -o build/bench/jpeg-floor "$shared/jpeg-floor.c" -ljpeg

tags=(-Make -Model -ExposureTime -FNumber -ISO -DateTimeOriginal -ExposureCompensation
      -FocalLength -FocalLengthIn35mmFormat -Orientation)
for folder in jpeg raw; do
    dir=$corpus/$folder
    echo "== $folder: $(ls "$dir" | wc -l) files"
    build/qlx bench metadata "$dir"
    hyperfine --warmup 1 --runs 5 --export-markdown "build/bench/metadata-$folder.md" \
        -n qlx "build/qlx bench metadata $dir" \
        -n exiftool "exiftool -q -fast2 -n ${tags[*]} $dir" \
        -n exiv2 "sh -c 'exiv2 -pt $dir/* > /dev/null 2>&1 || true'" \
        -n floor-4KiB "sh -c 'build/bench/jpeg-floor -R 4096 $dir/* > /dev/null'"
done
