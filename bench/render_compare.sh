#!/usr/bin/env bash
# Times tovz-render against MuseScore 3 on the same generated lead sheet: open the song, lay it out, write
# a PDF. Songs of 32, 200, 512 and 2,000 bars are made as "tovz" by tovrin_make_bench_song and as MusicXML
# by the shared bench generator (the same music; the MusicXML converted once to MuseScore's own format);
# then each size is run several times, the two programs alternating, both under /usr/bin/time -v,
# offscreen. Prints the medians of wall time and peak memory side by side, the ratios, and the cost of each
# bar added from 512 to 2,000 bars.
#
#   bench/render_compare.sh [REPETITIONS]        (default 5)
#
# Environment: TOVZ_RENDER (default build/release/tools/tovz-render: configure that tree with
# -DCMAKE_BUILD_TYPE=Release and no sanitizers), MSCORE (default mscore3), SIZES (default "32 200 512 2000"),
# MAKE_BENCH_SONG (default the Release tree's bench/tovrin_make_bench_song), BENCH_SONGS (the folder of
# gen_leadsheet.py; default ../shared/bench seen from the main checkout), KEEP (a folder to keep the songs
# and outputs in; default a temporary one, removed).
set -euo pipefail

repetitions=${1:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
tovz_render=${TOVZ_RENDER:-$root/build/release/tools/tovz-render}
mscore=${MSCORE:-mscore3}
sizes=${SIZES:-"32 200 512 2000"}

name=render_compare
source "$root/bench/bench_common.sh"
find_song_generators gen_leadsheet.py
if [[ ! -x $tovz_render ]]; then
    echo "render_compare: no tovz-render at $tovz_render; build the Release tree or set TOVZ_RENDER" >&2
    exit 2
fi
command -v "$mscore" > /dev/null || { echo "render_compare: $mscore is not installed" >&2; exit 2; }

make_work_folder
export QT_QPA_PLATFORM=offscreen

echo "songs: $sizes bars; $repetitions runs each, alternating; tovz-render: $tovz_render" >&2
for n in $sizes; do
    make_bench_song "$n" "$work/songs"
    (cd "$songs_tool" && python3 gen_leadsheet.py "$n" "$work/songs" > /dev/null)
    "$mscore" -o "$work/songs/lead$n.mscz" "$work/songs/lead$n.musicxml" > /dev/null 2>&1
    [[ -s $work/songs/lead$n.tovz && -s $work/songs/lead$n.mscz ]] ||
        { echo "render_compare: the $n-bar song was not made" >&2; exit 1; }
done

for rep in $(seq 1 "$repetitions"); do
    for n in $sizes; do
        timed "tovrin-$n-$rep" "$tovz_render" "$work/songs/lead$n.tovz" "$work/out-tovrin-$n.pdf"
        timed "mscore-$n-$rep" "$mscore" -o "$work/out-mscore-$n.pdf" "$work/songs/lead$n.mscz"
    done
done

python3 - "$work" "$repetitions" $sizes <<'EOF'
import re, statistics, sys
work, reps, sizes = sys.argv[1], int(sys.argv[2]), [int(s) for s in sys.argv[3:]]

def figures(label, n):
    walls, rss = [], []
    for rep in range(1, reps + 1):
        text = open(f"{work}/time-{label}-{n}-{rep}.txt").read()
        clock = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (\S+)", text).group(1)
        seconds = 0.0
        for part in clock.split(":"):
            seconds = seconds * 60 + float(part)
        walls.append(seconds)
        rss.append(int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1)) / 1024)
    return statistics.median(walls), statistics.median(rss)

rows = {n: (figures("tovrin", n), figures("mscore", n)) for n in sizes}
print(f"{'bars':>6} | {'tovz-render s':>13} {'MiB':>7} | {'mscore3 s':>10} {'MiB':>7} | {'time ratio':>10} {'memory ratio':>12}")
print("-" * 80)
for n in sizes:
    (tw, tm), (mw, mm) = rows[n]
    print(f"{n:>6} | {tw:>13.3f} {tm:>7.1f} | {mw:>10.3f} {mm:>7.1f} | {tw / mw:>10.2f} {tm / mm:>12.2f}")
if 512 in rows and 2000 in rows:
    (t512, _), (m512, _) = rows[512]
    (t2000, _), (m2000, _) = rows[2000]
    print()
    print(f"per added bar, 512 to 2,000 bars: tovz-render {(t2000 - t512) / 1488 * 1000:.3f} ms, "
          f"mscore3 {(m2000 - m512) / 1488 * 1000:.3f} ms")
print(f"(medians of {reps} runs each; wall time of /usr/bin/time, which resolves 10 ms)")
EOF
