#!/usr/bin/env bash
# Times the hostile files through the tools, before and after a change, and prints one table row per file
# and tool: wall time, processor time (user and system: on a busy machine the fairer figure), peak memory
# and what came of it (loaded, rendered, unpacked, refused and why, over the time limit, crashed).
#
#   bench/hostile_files.sh BEFORE_BUILD_DIR AFTER_BUILD_DIR [SECONDS]
#
# Each build dir is a Release build (cmake -DCMAKE_BUILD_TYPE=Release) holding tools/tovz-dump,
# tools/tovz-render and bench/bench_unzip_bundle; the after one also bench/tovrin_make_bench_song, which
# writes the 10,000-bar song both sides read. A side built from a commit that has no bench/unzip_bundle.cpp
# gets it by copying bench/unzip_bundle.cpp and bench/bench_unzip_bundle.cmake into its tree first.
# SECONDS (default 150) bounds each run; memory is capped at 8 GiB of address space, so a run that would
# take more ends as "out of memory". The files are made by fuzz/make_hostile_corpus.py --bench.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ $# -lt 2 ]; then
    sed -n '2,12p' "$0" >&2
    exit 2
fi
before="$(cd "$1" && pwd)"
after="$(cd "$2" && pwd)"
seconds="${3:-150}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

python3 "$root/fuzz/make_hostile_corpus.py" --bench "$work/files" || exit 1
# A plain song of 8 bars first: what reading and drawing any song costs.
for bars in 8 10000; do
    "$after/bench/tovrin_make_bench_song" "$bars" "$work/files" || exit 1
done

export QT_QPA_PLATFORM=offscreen

# run OUTCOME COMMAND...: one cell "wall s (cpu s), peak MB, outcome".
run() {
    local ok="$1"
    shift
    local log="$work/time.txt" err="$work/stderr.txt"
    (ulimit -v 8388608; /usr/bin/time -v -o "$log" timeout --kill-after=5 "$seconds" "$@" >/dev/null 2>"$err")
    local status=$?
    local wall rss outcome
    wall="$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$log" |
        awk -F: '{ s = 0; for (i = 1; i <= NF; ++i) s = s * 60 + $i; printf "%.1f s", s }')"
    local cpu
    cpu="$(sed -n 's/.*\(User\|System\) time (seconds): //p' "$log" | awk '{ s += $1 } END { printf "%.1f", s }')"
    rss="$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$log" | awk '{ printf "%d MB", $1 / 1024 }')"
    local signal
    signal="$(sed -n 's/.*Command terminated by signal \([0-9]*\).*/\1/p' "$log")"
    if [ "$status" -eq 0 ]; then
        outcome="$ok"
    elif [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
        wall="over $seconds s"
        outcome="stopped"
    elif grep -q "bad_alloc" "$err"; then
        outcome="out of memory"
    elif [ -n "$signal" ] || [ "$status" -ge 128 ]; then
        outcome="crashed (signal ${signal:-$((status - 128))})"
    elif [ "$status" -eq 1 ]; then
        outcome="refused: $(tail -n 1 "$err" | sed 's/^[^:]*: [^:]*: //' | cut -c1-90)"
    else
        outcome="exit $status: $(tail -n 1 "$err" | cut -c1-80)"
    fi
    printf '%s (cpu %s s), %s, %s' "$wall" "$cpu" "$rss" "$outcome"
}

echo "| file | size | tool | before | after |"
echo "|---|---|---|---|---|"
for file in lead8.tovz level-1e7.tovz title-50mb.tovz unit-16000-tones.tovz bar-16000-notes.tovz tempo-100000.tovz \
    chords-50000.tovz lead10000.tovz note-without-units.tovr deep-folders-bundle.zip; do
    path="$work/files/$file"
    size="$(stat -c %s "$path" | awk '{ printf($1 >= 1048576 ? "%.1f MB" : "%.1f KB", $1 >= 1048576 ? $1 / 1048576 : $1 / 1024) }')"
    case "$file" in
        *.zip) tools=(unzip) ;;
        *.tovr) tools=(dump) ;;
        *) tools=(dump render) ;;
    esac
    for tool in "${tools[@]}"; do
        cells=()
        for side in "$before" "$after"; do
            case "$tool" in
                dump) cells+=("$(run loaded "$side/tools/tovz-dump" "$path")") ;;
                render) cells+=("$(run rendered "$side/tools/tovz-render" "$path" "$work/out.pdf")") ;;
                unzip) cells+=("$(run unpacked "$side/bench/bench_unzip_bundle" "$path")") ;;
            esac
        done
        echo "| $file | $size | $tool | ${cells[0]} | ${cells[1]} |"
    done
done
