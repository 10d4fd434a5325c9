// tovrin_make_bench_song N OUTDIR: writes OUTDIR/leadN.tovz, the benchmark lead sheet of N bars, through
// the model and the "tovz" writer. The benchmarks and timed scripts make their songs with it.
#include "BenchSong.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    char* end = nullptr;
    const unsigned long long bars = argc == 3 ? std::strtoull(argv[1], &end, 10) : 0;
    if (argc != 3 || bars < 1 || *end != '\0') {
        std::fprintf(stderr, "usage: tovrin_make_bench_song BARS OUTDIR\n");
        return 2;
    }
    if (!benchsong::writeBenchSong(bars, argv[2])) {
        std::fprintf(stderr, "tovrin_make_bench_song: the song cannot be written into %s\n", argv[2]);
        return 1;
    }
    return 0;
}
