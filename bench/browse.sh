#!/usr/bin/env bash
# bench/browse.sh [N]: the browser on a folder of N camera JPEGs (default
# 1000), under Xvfb, as a user first opens it.
#
# Starts a fresh copy of the program (no settings, no cache) on the folder
# and reports:
#   - the user-interface thread's longest gap between two turns of its event
#     loop, and the number of gaps over 50 ms, while the list-information
#     worker reads every file and makes its thumbnail (QLX_RESPONSIVENESS_LOG);
#   - the processor time the program uses while it sits idle with the folder
#     open, over IDLE_SECONDS (default 10), in a second run without the probe;
#   - the cache file written when it closes.
# Needs a dev build (build/Quenderluxium, build/bin, build/qlx) and xvfb-run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
n=${1:-1000}
settle=${SETTLE_SECONDS:-15}
idle=${IDLE_SECONDS:-10}
corpus=build/bench-corpus
out=$PWD/build/bench/browse
[[ -x build/Quenderluxium && -d build/bin ]] || { echo "build/Quenderluxium missing: run ./test.sh" >&2; exit 1; }
command -v xvfb-run > /dev/null || { echo "xvfb-run missing: see scripts/debian-packages.txt" >&2; exit 1; }
[[ -d $corpus/jpeg && $(ls "$corpus/jpeg" | wc -l) -eq $n ]] || ../shared/bench/make-corpus.sh "$corpus" "$n"
dir=$PWD/$corpus/jpeg

fresh_program() {
    rm -rf "$out" && mkdir -p "$out"
    cp build/Quenderluxium "$out/" && cp -r build/bin "$out/"
}

# One session of the program under the virtual screen: $1 is 1 to measure
# the event loop's gaps, 0 to measure the idle processor time.
session=$PWD/build/bench/browse-session.sh
mkdir -p "$(dirname "$session")"
cat > "$session" <<'SESSION'
#!/usr/bin/env bash
set -euo pipefail
cd "$out"
if [[ $1 == 1 ]]; then export QLX_RESPONSIVENESS_LOG=$out/responsiveness.txt; else unset QLX_RESPONSIVENESS_LOG; fi
./Quenderluxium "$dir" > /dev/null 2>&1 &
pid=$!
sleep "$settle"
if [[ $1 == 0 ]]; then
    ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
    before=$(ticks)
    sleep "$idle"
    after=$(ticks)
    awk -v t=$((after - before)) -v s="$idle" -v hz="$(getconf CLK_TCK)" \
        'BEGIN { printf "idle: %.2f%% of one core over %d s (%d ticks)\n", t / hz / s * 100, s, t }'
fi
kill -TERM "$pid"
wait "$pid" || true
SESSION
chmod +x "$session"
export out dir settle idle

echo "== first visit of $n camera JPEGs (fresh program, no cache), responsiveness"
fresh_program
xvfb-run -a -s "-screen 0 1600x1000x24" "$session" 1
cat "$out/responsiveness.txt"
build/qlx cache show "$(ls "$out"/user/cache/*.cac)" | sed -n '2,8p'

echo
echo "== idle with the folder open (cache current)"
xvfb-run -a -s "-screen 0 1600x1000x24" "$session" 0
