#!/usr/bin/env bash
# bench/video.sh [N]: video thumbnails per second against the peers, in one run.
#
# Copies the three playable sample clips (MP4/H.264, QuickTime/H.264,
# AVI/Indeo) round-robin to N files (default 100), then times with
# hyperfine, over the same folder:
#   qlx bench thumbs            the program's way: the clip opened with FFmpeg's
#                               libraries in the process, its length and size
#                               read, a frame at 1 s decoded, scaled into
#                               88 × 60, histogram picture and cache block;
#                               one thread
#   ffmpegthumbnailer -t 1 -s 88
#                               one process per file, writing a PNG
#   ffmpeg -ss 1 -frames:v 1    one process per file, scaled to 88 wide, a PNG
# and prints thumbnails per second of each (files / mean seconds) and the
# program's ratio to the faster peer. Needs a dev or release build
# (build/qlx) and ffmpeg, ffmpegthumbnailer and hyperfine
# (scripts/debian-packages.txt). RUNS=N sets hyperfine's runs (default 5).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
n=${1:-100}
runs=${RUNS:-5}
qlx=${QLX:-build/qlx}
samples=${QLX_SAMPLES:-../shared/samples}
out=build/bench
corpus=build/bench-corpus/video
mkdir -p "$out"
[[ -x $qlx ]] || { echo "$qlx missing: run ./test.sh or cmake --build --preset dev" >&2; exit 1; }
for tool in hyperfine ffmpeg ffmpegthumbnailer; do
    command -v "$tool" > /dev/null || { echo "$tool missing: see scripts/debian-packages.txt" >&2; exit 1; }
done
clips=("$samples/video/christmas.mp4" "$samples/video/earth.mov" "$samples/video/flame.avi")
for clip in "${clips[@]}"; do
    [[ -f $clip ]] || { echo "$clip missing: the sample corpus is needed" >&2; exit 1; }
done
rm -rf "$corpus" && mkdir -p "$corpus"
for ((i = 0; i < n; i++)); do
    clip=${clips[i % 3]}
    cp "$clip" "$corpus/$(printf 'clip%03d' "$i").${clip##*.}"
done
peer_out=$PWD/$out/video-peers
mkdir -p "$peer_out"

echo "== video thumbnails: $n clips ($(du -sh "$corpus" | cut -f1))"
"$qlx" bench thumbs "$corpus"
hyperfine --warmup 1 --runs "$runs" \
    --export-csv "$out/video.csv" --export-markdown "$out/video.md" \
    -n qlx "$qlx bench thumbs $corpus" \
    -n ffmpegthumbnailer "for f in $corpus/*; do ffmpegthumbnailer -i \$f -o $peer_out/t.png -t 00:00:01 -s 88 -q 5 >/dev/null 2>&1 || true; done" \
    -n ffmpeg "for f in $corpus/*; do ffmpeg -v quiet -y -ss 1 -i \$f -frames:v 1 -vf scale=88:-2 $peer_out/f.png || true; done"

echo
echo "video thumbnails per second ($n files, mean of $runs runs):"
awk -F, -v files="$n" 'NR > 1 {
    rate[$1] = files / $2
    printf "  %-18s %6.1f/s   (%.0f ms ± %.0f)\n", $1, files / $2, $2 * 1000, $3 * 1000 }
    END { peer = rate["ffmpeg"] > rate["ffmpegthumbnailer"] ? rate["ffmpeg"] : rate["ffmpegthumbnailer"]
          printf "  qlx / faster peer: %.1f×\n", rate["qlx"] / peer }' "$out/video.csv"
rm -rf "$peer_out"
