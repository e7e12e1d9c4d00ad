#!/usr/bin/env bash
# bench/develop.sh: RAW development against LibRaw's own tool and dcraw, in one run.
#
# Two files: the shared colorchart DNG (1734 × 1156, 14-bit packed) and a
# 24-megapixel DNG tiled from its sensor data by bench/make-dng-24mp.py
# (6000 × 4000, 16-bit uncompressed, the chart's colour tags), made once
# under build/bench. For each file and each mode, hyperfine times whole
# processes:
#   qlx develop --mode M -o /dev/null   develops and writes nothing; where this
#                                       build has no `qlx develop` yet, the
#                                       script says so and times
#                                       `qlx bench develop --repeat 1` instead
#   dcraw_emu                           LibRaw's own tool (the same library)
#   dcraw                               the classic decoder
# with the engine's options spelled for the peers: camera white balance -w,
# bilinear -q 0, clip -H 0, sRGB -o 1, gamma -g 2.222 4.5 (the inverse of
# the power), no flip -t 0, and for dcraw_emu no lowering of the maximum
# -c 0 and no median passes -m 0; mode 0 = -h -f, 1 = nothing, 2 = -f, and
# mode 3 (one eighth) against -h, the half size: neither
# peer has an eighth. The peers write PPM to standard output, thrown away by
# hyperfine: no TIFF encoding is timed.
# Then, once per command, the peak resident memory (/usr/bin/time -f %M, or
# a getrusage wrapper in Python where it is missing; the memory of each
# program developing nothing is printed first: qlx maps Qt's libraries),
# and a table with the ratios ours/dcraw_emu for time and memory. Last, the
# cancel latency of each mode on the 24-megapixel file: `qlx bench develop
# --cancel-after`, the worst over cancel points spread across a development.
#
# Needs a dev build (build/qlx), hyperfine, libraw-bin (dcraw_emu), dcraw
# and python3. RUNS=N sets hyperfine's runs (default 5). The table is also
# written to build/bench/develop-table.md.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
runs=${RUNS:-5}
out=build/bench
chart=${CHART:-../shared/samples/raw-full/colorchart.dng}
big=$out/chart-24mp.dng
table=$out/develop-table.md
mkdir -p "$out"
[[ -x build/qlx ]] || { echo "build/qlx missing: run ./test.sh or cmake --build --preset dev" >&2; exit 1; }
for tool in hyperfine dcraw_emu dcraw python3; do
    command -v "$tool" > /dev/null || { echo "$tool missing: see scripts/debian-packages.txt" >&2; exit 1; }
done
[[ -f $chart ]] || { echo "$chart missing: the shared samples are needed" >&2; exit 1; }
[[ -f $big ]] || python3 bench/make-dng-24mp.py "$chart" "$big"

probe=$(build/qlx develop 2>&1 || true)
if [[ $probe == *"unknown command"* ]]; then
    echo "this build has no 'qlx develop': timing 'qlx bench develop --repeat 1' (in-process development, no writing)"
    ours() { echo "build/qlx bench develop --repeat 1 --mode $1 $2"; }
else
    ours() { echo "build/qlx develop --mode $1 -o /dev/null $2"; }
fi
peer_flags=(-w -q 0 -H 0 -o 1 -g 2.222 4.5 -t 0)
mode_flags=("-h -f" "" "-f" "-h")

# Peak resident memory of one run of a command, in KiB.
peak_kib() {
    if [[ -x /usr/bin/time ]]; then
        local record
        record=$(mktemp)
        /usr/bin/time -f %M -o "$record" "$@" > /dev/null 2>&1 || true
        tail -n 1 "$record"
        rm -f "$record"
    else
        python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$@"
    fi
}
memory_tool=$([[ -x /usr/bin/time ]] && echo "/usr/bin/time -f %M" || echo "getrusage of the child, in Python")

echo "memory of a process that develops nothing: qlx $(($(peak_kib build/qlx --help) / 1024)) MiB," \
     "dcraw_emu $(($(peak_kib dcraw_emu) / 1024)) MiB, dcraw $(($(peak_kib dcraw) / 1024)) MiB"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); load: $(cut -d' ' -f1-3 /proc/loadavg)"
dcraw -i -v "$big" | grep -E "Image size|Filter pattern|Camera multipliers"

{
    echo "| file | mode | qlx ms | dcraw_emu ms | dcraw ms | qlx MiB | dcraw_emu MiB | dcraw MiB | time qlx/emu | memory qlx/emu |"
    echo "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|"
} > "$table"
for file in "$chart" "$big"; do
    for mode in 0 1 2 3; do
        flags=${mode_flags[$mode]}
        qlx_command=$(ours "$mode" "$file")
        emu_command="dcraw_emu ${peer_flags[*]} -c 0 -m 0 $flags -Z - $file"
        dcraw_command="dcraw ${peer_flags[*]} $flags -c $file"
        csv=$out/develop-$mode-$(basename "$file" .dng).csv
        echo "== $(basename "$file") mode $mode (peers: ${flags:-no size flag})"
        hyperfine -N --warmup 1 --runs "$runs" --export-csv "$csv" \
            -n qlx "$qlx_command" -n dcraw_emu "$emu_command" -n dcraw "$dcraw_command" | grep -E "Time|±" || true
        # shellcheck disable=SC2086 # the commands are split on purpose
        memory="$(peak_kib $qlx_command) $(peak_kib $emu_command) $(peak_kib $dcraw_command)"
        awk -F, -v file="$(basename "$file")" -v mode="$mode" -v memory="$memory" 'NR > 1 { ms[NR - 1] = $2 * 1000 }
            END {
                split(memory, kib, " ")
                printf "| %s | %d | %.0f | %.0f | %.0f | %.1f | %.1f | %.1f | %.2f | %.2f |\n", file, mode,
                       ms[1], ms[2], ms[3], kib[1] / 1024, kib[2] / 1024, kib[3] / 1024, ms[1] / ms[2], kib[1] / kib[2]
            }' "$csv" >> "$table"
    done
done

echo
echo "mean of $runs runs each; peak resident memory from $memory_tool; ratios are qlx over dcraw_emu:"
cat "$table"
awk -F'|' -v big="$(basename "$big")" '$2 ~ big && $3 + 0 == 0 { quick = $4 } $2 ~ big && $3 + 0 == 3 { eighth = $4 }
    END { if (eighth > 0) printf "\nmode 0 / mode 3 on %s: %.2f\n", big, quick / eighth }' "$table"

echo
echo "cancel latency on $(basename "$big") (qlx bench develop --cancel-after, worst over the cancel points):"
for mode in 0 1 2 3; do
    worst=$(build/qlx bench develop --mode "$mode" --cancel-after 20 "$big" | awk -F'\t' '
        /^cancelled\t/ { done = $2 } /^cancel latency worst ms\t/ { worst = $2 } END { print worst " ms (" done " cancelled)" }')
    echo "  mode $mode: $worst"
done
echo "load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
