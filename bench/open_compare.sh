#!/usr/bin/env bash
# Times opening a long song in the editor against tovz-render on the same file. The editor is started
# with the song on its command line and TOVRIN_QUIT_AFTER_FIRST_PAGE set, so it quits once the first page
# of the song window has been drawn on screen; tovz-render reads the same song, lays it out and writes a
# PDF. Both run under /usr/bin/time -v, offscreen, alternating, several times in one run; the medians of
# wall time and peak memory are printed side by side, with the editor's own report of when the page was
# drawn (from its start, so without the loading of the program itself).
#
#   bench/open_compare.sh [REPETITIONS]        (default 7)
#
# Environment: TOVRIN and TOVZ_RENDER (default build/release/src/app/tovrin and build/release/tools/tovz-render:
# configure that tree with -DCMAKE_BUILD_TYPE=Release and no sanitizers; the song is made by the same tree's
# bench/tovrin_make_bench_song, or MAKE_BENCH_SONG), BARS (default 2000), QPA (default offscreen;
# "xcb" under xvfb-run times a real X server), KEEP (a folder to keep the song and the logs in).
set -euo pipefail

repetitions=${1:-7}
root=$(cd "$(dirname "$0")/.." && pwd)
tovrin=${TOVRIN:-$root/build/release/src/app/tovrin}
tovz_render=${TOVZ_RENDER:-$root/build/release/tools/tovz-render}
bars=${BARS:-2000}

name=open_compare
source "$root/bench/bench_common.sh"
[[ -x /usr/bin/time ]] || { echo "$name: /usr/bin/time is missing" >&2; exit 2; }
for program in "$tovrin" "$tovz_render"; do
    [[ -x $program ]] ||
        { echo "open_compare: no program at $program; build the Release tree or set TOVRIN/TOVZ_RENDER" >&2; exit 2; }
done

make_work_folder
export QT_QPA_PLATFORM=${QPA:-offscreen}
# The editor reads and writes its settings and recent documents here, not in the user's home.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config
mkdir -p "$XDG_CONFIG_HOME"
[[ -n ${TOVRIN_RESOURCES:-} ]] || export TOVRIN_RESOURCES=$root/resources

make_bench_song "$bars" "$work/songs"
song=$work/songs/lead$bars.tovz
[[ -s $song ]] || { echo "open_compare: the $bars-bar song was not made" >&2; exit 1; }

echo "song: $bars bars; $repetitions runs each after one warm-up, alternating; platform $QT_QPA_PLATFORM" >&2
for rep in $(seq 0 "$repetitions"); do
    TOVRIN_QUIT_AFTER_FIRST_PAGE=1 timed "tovrin-$rep" "$tovrin" "$song"
    grep -q "first page drawn after" "$work/err-tovrin-$rep.txt" ||
        { echo "open_compare: the editor quit without drawing a page:" >&2; cat "$work/err-tovrin-$rep.txt" >&2; exit 1; }
    timed "render-$rep" "$tovz_render" "$song" "$work/out.pdf"
done

python3 - "$work" "$repetitions" "$bars" <<'PY'
import re, statistics, sys
work, reps, bars = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])

def figures(label):
    walls, rss, drawn = [], [], []
    for rep in range(1, reps + 1):  # run 0 warms the caches and is left out
        text = open(f"{work}/time-{label}-{rep}.txt").read()
        clock = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (\S+)", text).group(1)
        seconds = 0.0
        for part in clock.split(":"):
            seconds = seconds * 60 + float(part)
        walls.append(seconds)
        rss.append(int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1)) / 1024)
        found = re.search(r"first page drawn after (\d+) ms", open(f"{work}/err-{label}-{rep}.txt").read())
        if found:
            drawn.append(int(found.group(1)) / 1000)
    return walls, rss, drawn

def cell(values, digits):
    return f"{statistics.median(values):.{digits}f} ({min(values):.2f}-{max(values):.2f})".rjust(20)

print(f"{bars} bars, {reps} runs each (medians; min-max)")
print(f"{'program':<34} | {'wall s':>20} | {'peak MiB':>20}")
print("-" * 80)
rows = {}
for label, title in (("tovrin", "tovrin, open to first page drawn"), ("render", "tovz-render, open to PDF")):
    walls, rss, drawn = figures(label)
    rows[label] = (statistics.median(walls), statistics.median(rss))
    print(f"{title:<34} | {cell(walls, 3)} | {cell(rss, 1)}")
    if drawn:
        print(f"{'  of which, from main() to page':<34} | {cell(drawn, 3)} |")
(tw, tm), (rw, rm) = rows["tovrin"], rows["render"]
print(f"ratio tovrin / tovz-render: time {tw / rw:.2f}, memory {tm / rm:.2f}")
print("(wall time of /usr/bin/time, which resolves 10 ms)")
PY
