#!/usr/bin/env bash
# bench/view.sh [N]: flipping through large photographs in the view, under
# Xvfb, as a photographer culls a card: a window of 1600 × 1000 with the
# views alone, on a folder of N copies (default 200) of the 6000 × 4000
# photograph of the samples (large/craft-beer.jpg, a progressive JPEG), or
# of PHOTO=FILE. A baseline copy of the same picture, as most cameras write
# them, is made with `djpeg FILE | cjpeg -quality 92 -optimize > base.jpg`.
#
# The program logs each step's time from the change of picture to the
# pane's first paint and to its first sharp paint (QLX_VIEW_LOG, see
# src/gui/viewer/view_timing_log.h). The script drives it with xdotool and
# reports:
#   - steps at 4 a second: the sharp paint's median and 95th percentile, and
#     the share of steps whose picture the read-ahead had ready (hits);
#   - cold steps (End and Home jump past the read-ahead): the first sharp
#     paint of a picture nobody asked for yet, beside a full-size decode of
#     the same file by djpeg (libjpeg-turbo's own tool) in the same run;
#   - zoom to 100 % (Ctrl held): the first paint from the whole picture;
#   - holding the arrow key at 30 steps a second (a second session with the
#     responsiveness probe): the event loop's longest gap and gaps over
#     50 ms, and that every step painted;
#   - resident memory after 100 and after 1,000 steps.
# Needs a dev build (build/Quenderluxium, build/bin), xvfb-run, xdotool,
# djpeg and hyperfine (scripts/debian-packages.txt).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
n=${1:-200}
samples=${QLX_SAMPLES:-$PWD/../shared/samples}
photo=${PHOTO:-$samples/large/craft-beer.jpg}
corpus=$PWD/build/bench-corpus/view-$(basename "$photo" .jpg)
out=$PWD/build/bench/view
[[ -x build/Quenderluxium && -d build/bin ]] || { echo "build/Quenderluxium missing: run ./test.sh" >&2; exit 1; }
[[ -f $photo ]] || { echo "$photo missing (set QLX_SAMPLES)" >&2; exit 1; }
for tool in xvfb-run xdotool djpeg hyperfine; do
    command -v $tool > /dev/null || { echo "$tool missing: see scripts/debian-packages.txt" >&2; exit 1; }
done

if [[ ! -d $corpus || $(ls "$corpus" | wc -l) -ne $n ]]; then
    rm -rf "$corpus" && mkdir -p "$corpus"
    for i in $(seq -f %04g 1 "$n"); do cp "$photo" "$corpus/P$i.jpg"; done
fi

mkdir -p "$PWD/build/bench"
echo "== djpeg, full-size decode of $(basename "$photo") (hyperfine)"
hyperfine -N --warmup 2 --runs 10 --export-json "$PWD/build/bench/djpeg.json" \
    "djpeg -outfile /dev/null $photo" > /dev/null
djpeg_ms=$(python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]; print("%.1f" % (r["mean"]*1000))' \
    "$PWD/build/bench/djpeg.json")
echo "djpeg: $djpeg_ms ms"

session=$PWD/build/bench/view-session.sh
cat > "$session" <<'SESSION'
#!/usr/bin/env bash
# $1: "flip" (steps, jumps, zoom, memory) or "hold" (30 steps a second with
# the responsiveness probe).
set -euo pipefail
rm -rf "$out/program" && mkdir -p "$out/program"
cp "$root/build/Quenderluxium" "$out/program/" && cp -r "$root/build/bin" "$out/program/"
cd "$out/program"
log=$out/$1.log
rm -f "$log"
export QLX_VIEW_LOG=$log
if [[ $1 == hold ]]; then export QLX_RESPONSIVENESS_LOG=$out/responsiveness.txt; rm -f "$QLX_RESPONSIVENESS_LOG"; fi
./Quenderluxium "$corpus" > /dev/null 2>&1 &
pid=$!
wid=$(xdotool search --sync --onlyvisible --pid "$pid" | head -1)
xdotool windowmove "$wid" 0 0 windowsize "$wid" 1600 1000
rss() { awk '/VmRSS/ { print $2 }' "/proc/$pid/status"; }
mark() { echo "# $*" >> "$log"; }
# The list of the folder read and its thumbnails made.
sleep "$settle"
xdotool mousemove 800 500 click 1
xdotool key F11 && sleep 1
xdotool mousemove 800 500 click 1 && sleep 1
if [[ $1 == flip ]]; then
    mark steps-4
    xdotool key --delay 250 --repeat 100 Right
    sleep 1
    echo "rss100 $(rss)" >> "$out/memory.txt"
    mark cold
    for _ in 1 2 3 4 5; do
        xdotool key End && sleep 1.5
        xdotool key Home && sleep 1.5
    done
    mark zoom
    for _ in 1 2 3 4 5; do
        xdotool key Right && sleep 1
        xdotool keydown ctrl && sleep 1 && xdotool keyup ctrl && sleep 0.5
    done
    mark more
    for _ in 1 2 3; do
        xdotool key --delay 33 --repeat 150 Right
        xdotool key --delay 33 --repeat 150 Left
    done
    sleep 1
    echo "rss1000 $(rss)" >> "$out/memory.txt"
else
    mark hold
    xdotool key --delay 33 --repeat 180 Right
    sleep 1
fi
kill -TERM "$pid"
wait "$pid" || true
SESSION
chmod +x "$session"
export out corpus root=$PWD settle=${SETTLE_SECONDS:-20}
mkdir -p "$out" && rm -f "$out/memory.txt"
xvfb-run -a -s "-screen 0 1600x1000x24" "$session" flip
xvfb-run -a -s "-screen 0 1600x1000x24" "$session" hold

python3 - "$out" "$djpeg_ms" <<'REPORT'
import statistics, sys
out, djpeg = sys.argv[1], float(sys.argv[2])

def sections(path):
    parts, name = {}, None
    for line in open(path):
        if line.startswith("# "):
            name = line[2:].strip()
            continue
        fields = line.split("\t")
        parts.setdefault(name, []).append(fields)
    return parts

def pct(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(round(p / 100 * (len(values) - 1))))] if values else float("nan")

flip = sections(f"{out}/flip.log")
steps = [f for f in flip.get("steps-4", []) if f[0] == "step" and f[4].strip() != "passed"]
sharp = [float(f[3]) for f in steps]
hits = sum(1 for f in steps if f[4].strip() == "hit")
cold = [float(f[3]) for f in flip.get("cold", []) if f[0] == "step" and f[4].strip() == "miss"]
zoom = [float(f[3]) for f in flip.get("zoom", []) if f[0] == "zoom"]
hold = [f for f in sections(f"{out}/hold.log").get("hold", []) if f[0] == "step"]
hold_painted = sum(1 for f in hold if f[2] != "-")
hold_first = [float(f[2]) for f in hold if f[2] != "-"]
memory = dict(line.split() for line in open(f"{out}/memory.txt"))
probe = open(f"{out}/responsiveness.txt").read().strip()

rows = [
    ("step to a neighbour at 4/s, sharp paint p50 / p95", f"{pct(sharp, 50):.1f} / {pct(sharp, 95):.1f} ms", "p95 ≤ 16 ms"),
    ("read-ahead hits at 4/s", f"{hits}/{len(steps)} ({100 * hits / max(1, len(steps)):.0f} %)", "≥ 95 %"),
    ("cold first sharp paint (End/Home), median / max", f"{pct(cold, 50):.1f} / {max(cold, default=float('nan')):.1f} ms ({len(cold)} jumps)", "≤ 100 ms"),
    ("djpeg full-size decode of the same file", f"{djpeg:.1f} ms", "(peer)"),
    ("zoom to 100 %, first sharp paint, median / max", f"{pct(zoom, 50):.1f} / {max(zoom, default=float('nan')):.1f} ms ({len(zoom)} zooms)", "≤ 150 ms"),
    ("hold at 30/s: steps that painted", f"{hold_painted} of {len(hold)} steps, first paint p95 {pct(hold_first, 95):.1f} ms", "every step"),
    ("hold at 30/s: event loop", probe.replace("\n", "; "), "no gap over 50 ms"),
    ("resident memory after 100 / 1,000 steps", f"{int(memory['rss100']) / 1024:.1f} / {int(memory['rss1000']) / 1024:.1f} MiB", "within 10 MB"),
]
width = max(len(r[0]) for r in rows)
print()
print(f"{'measure':<{width}}  {'figure':<40}  goal")
for name, figure, goal in rows:
    print(f"{name:<{width}}  {figure:<40}  {goal}")
REPORT
