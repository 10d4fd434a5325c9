# Shared steps of the timed comparison scripts in this folder; sourced, not run. Each script sets `name`
# (its own name for messages) and `root` (the project's root) before sourcing this file.

# Writes the benchmark "tovz" song of N bars as FOLDER/leadN.tovz with tovrin_make_bench_song (built in
# the Release tree beside the programs timed, or named by MAKE_BENCH_SONG).
make_bench_song() {
    local maker=${MAKE_BENCH_SONG:-$root/build/release/bench/tovrin_make_bench_song}
    [[ -x $maker ]] ||
        { echo "$name: no song maker at $maker; build the Release tree or set MAKE_BENCH_SONG" >&2; exit 2; }
    "$maker" "$1" "$2"
}

# Sets songs_tool to the folder of the shared song generators (BENCH_SONGS, else ../shared/bench seen
# from the main checkout or from a work tree beside it); stops when it lacks one of the named generators.
find_song_generators() {
    songs_tool=${BENCH_SONGS:-}
    if [[ -z $songs_tool ]]; then
        for candidate in "$root/../shared/bench" "$root/../../shared/bench"; do
            if [[ -f $candidate/gen_leadsheet.py ]]; then
                songs_tool=$(cd "$candidate" && pwd)
                break
            fi
        done
    fi
    local generator
    for generator in "$@"; do
        if [[ -z $songs_tool || ! -f $songs_tool/$generator ]]; then
            echo "$name: the song generators are not found; set BENCH_SONGS" >&2
            exit 2
        fi
    done
    [[ -x /usr/bin/time ]] || { echo "$name: /usr/bin/time is missing" >&2; exit 2; }
}

# Sets work to KEEP (kept) or to a temporary folder removed at exit.
make_work_folder() {
    if [[ -n ${KEEP:-} ]]; then
        work=$KEEP
        mkdir -p "$work"
    else
        work=$(mktemp -d)
        trap 'rm -rf "$work"' EXIT
    fi
}

# One timed run: a tag naming its files, then the command. /usr/bin/time's figures go to
# $work/time-TAG.txt and the program's errors to $work/err-TAG.txt; a failing run stops the script.
timed() {
    local tag=$1
    shift
    local log="$work/time-$tag.txt" err="$work/err-$tag.txt"
    if ! /usr/bin/time -v -o "$log" timeout 300 "$@" > /dev/null 2> "$err"; then
        echo "$name: run $tag failed:" >&2
        cat "$err" "$log" >&2
        exit 1
    fi
}
