#!/usr/bin/env bash
# bench/scan.sh [N]: opening a folder of N camera JPEGs (default 10000).
#
# Builds the corpus from the shared samples, then:
#   1. the first visit: no cache; every file gets its metadata pass and its
#      thumbnail, and the cache file is written;
#   2. the re-open with a current cache, RUNS times (default 5): the cache
#      file's read, its parse (validation), and the match of its records
#      against the directory, as `qlx scan` times them inside the process,
#      and the resident memory each entry costs with its record, thumbnail
#      and histogram picture in memory;
#   3. the whole re-open as a process (start-up and table loading included),
#      timed by hyperfine.
# Needs a dev build (build/qlx) and hyperfine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
n=${1:-10000}
runs=${RUNS:-5}
corpus=build/bench-corpus-$n
out=build/bench
cache=$PWD/$out/scan-cache
mkdir -p "$out"
[[ -x build/qlx ]] || { echo "build/qlx missing: run ./test.sh or cmake --build --preset dev" >&2; exit 1; }
command -v hyperfine > /dev/null || { echo "hyperfine missing: see scripts/debian-packages.txt" >&2; exit 1; }
[[ -d $corpus/jpeg && $(ls "$corpus/jpeg" | wc -l) -eq $n ]] || ../shared/bench/make-corpus.sh "$corpus" "$n"
dir=$corpus/jpeg
rm -rf "$cache"

echo "== first visit: $n camera JPEGs, no cache"
build/qlx scan "$dir" --cache-dir "$cache"

echo
echo "== re-open with a current cache ($runs runs, seconds)"
printf '  %-8s %-8s %-8s %-8s %-10s %s\n' read parse match total "cache hits" "resident bytes/entry"
for _ in $(seq "$runs"); do
    build/qlx scan "$dir" --cache-dir "$cache" | awk -F'\t' '
        { v[$1] = $2 }
        END { printf "  %-8.4f %-8.4f %-8.4f %-8.4f %-10s %s\n", v["cache read s"], v["cache parse s"], v["match s"],
                     v["cache read s"] + v["cache parse s"] + v["match s"], v["cache hits"],
                     v["resident bytes per entry after load"] }'
done
ls -l "$cache"/*.cac | awk '{ printf "  cache file: %.1f MB\n", $5 / 1e6 }'

echo
echo "== the whole re-open as a process"
hyperfine --warmup 1 --runs "$runs" -n "qlx scan (cached)" "build/qlx scan $dir --cache-dir $cache"
