// Cost of the bar-range operations and of whole-song transposition, each followed by its undo, on songs of
// 16, 200 and 2,000 bars in lines of four, every bar holding four notes and a chord. An operation on a few
// bars must not cost time that grows with the square of the song's length.
//
// Then a long editing session on a small song, for the memory that deleted objects take once no undo step
// can reach them: it must stay flat, and fetching the song's bars must cost what it cost at the start.

#include "model/Bar.h"
#include "model/Document.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/data/MemoryPasteboard.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <memory>

using namespace tovtest;

namespace {

struct GeneratedSong {
    explicit GeneratedSong(std::int64_t bars) : context(makeSongContext()) {
        std::vector<PageSpec> pages;
        std::int64_t left = bars;
        while (left > 0) {
            PageSpec page{10, {}};
            if (pages.empty()) {
                page.lines.push_back({0, 0, false});
            }
            while (left > 0 && page.lines.size() < 10) {
                const int count = static_cast<int>(std::min<std::int64_t>(4, left));
                page.lines.push_back({4, count, false});
                left -= count;
            }
            pages.push_back(page);
        }
        document = makeLayout(*context, pages);
        for (Bar* bar : document->allBarsInWalkOrder()) {
            for (std::uint64_t t : {0, 240, 480, 720}) {
                bar->createNewSingleMeloFromLengthLevel(t, 240, static_cast<std::int64_t>(t / 240) - 2);
            }
            bar->createNewChordWithElemsTiming({5, 12, 70, 17, false}, 0);
        }
        context->processPendingChanges();
        document->updateClefKeyTimeStateForAllBars();
    }

    Bar* bar(std::uint64_t num) const { return document->barFromNumberLower(num, false); }

    // The operation as one undo step, then its undo.
    void stepAndUndo(const std::function<void()>& operation) {
        platform::UndoManager& undo = context->undoManager();
        undo.beginUndoGrouping();
        operation();
        undo.endUndoGrouping();
        undo.undo();
    }

    std::unique_ptr<platform::ManagedObjectContext> context;
    Document* document = nullptr;
    platform::MemoryPasteboard pasteboard;
};

void runWithUndo(benchmark::State& state, const std::function<void(GeneratedSong&)>& operation) {
    GeneratedSong song(state.range(0));
    UndoEnabled recording(*song.context);
    for (auto _ : state) {
        song.stepAndUndo([&] { operation(song); });
    }
    state.SetComplexityN(state.range(0));
}

void BM_InsertBarAndUndo(benchmark::State& state) {
    runWithUndo(state, [](GeneratedSong& s) {
        s.document->createNewBarsBehindBarLength(s.bar(s.document->maxBarNumber() / 2), 1);
    });
}

void BM_DeleteBarAndUndo(benchmark::State& state) {
    runWithUndo(state, [](GeneratedSong& s) {
        Bar* bar = s.bar(s.document->maxBarNumber() / 2);
        s.document->deleteBarsFromTo(bar, bar);
    });
}

void BM_CopyFourBars(benchmark::State& state) {
    GeneratedSong song(state.range(0));
    const std::uint64_t middle = song.document->maxBarNumber() / 2;
    for (auto _ : state) {
        song.document->copyBarsIntoPasteBoardFromTo(song.bar(middle - 2), song.bar(middle + 1),
                                                    song.pasteboard);
    }
    state.SetComplexityN(state.range(0));
}

void BM_PasteFourBarsAndUndo(benchmark::State& state) {
    GeneratedSong song(state.range(0));
    song.document->copyBarsIntoPasteBoardFromTo(song.bar(0), song.bar(3), song.pasteboard);
    UndoEnabled recording(*song.context);
    const std::uint64_t middle = song.document->maxBarNumber() / 2;
    for (auto _ : state) {
        song.stepAndUndo([&] {
            song.document->pasteBarsFromPasteBoardAtBarCountChordNote(song.bar(middle), 1, true, true,
                                                                      song.pasteboard);
        });
    }
    state.SetComplexityN(state.range(0));
}

void BM_TransposeSongAndUndo(benchmark::State& state) {
    runWithUndo(state, [](GeneratedSong& s) {
        const std::vector<Bar*> bars = s.document->allBarsInWalkOrder();
        for (Bar* bar : bars) {
            bar->willStartTranspose();
        }
        for (Bar* bar : bars) {
            bar->doTranspose(2);
        }
        for (Bar* bar : bars) {
            bar->doTransposeKeySignatureFirstBar(2, bar->num() == 0);
        }
        s.document->updateClefKeyTimeStateForAllBars();
        for (Bar* bar : bars) {
            bar->didFinishTranspose();
        }
    });
}

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    double size = 0;
    double resident = 0;
    statm >> size >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double heapMegabytes() {
    return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

// Objects the context keeps in memory, where it can tell (-1 where it cannot).
template <class Context>
double heldObjects(const Context& context) {
    if constexpr (requires { context.heldObjectCount(); }) {
        return static_cast<double>(context.heldObjectCount());
    } else {
        return -1;
    }
}

// Microseconds to fetch every bar of the song.
double fetchAllBarsMicroseconds(const platform::ManagedObjectContext& context) {
    constexpr int kRepeats = 200;
    std::size_t fetched = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRepeats; ++i) {
        fetched += context.fetchObjects("Bar").size();
    }
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    benchmark::DoNotOptimize(fetched);
    return spent.count() / kRepeats;
}

// The session: rounds of "insert four bars behind the last bar (a new line), delete them again", each an
// undo step of its own, the undo stack cleared every 100 rounds, and the main loop turning between rounds
// as it does between a user's edits.
void BM_EditSessionMemory(benchmark::State& state) {
    const std::int64_t rounds = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        GeneratedSong song(16);
        UndoEnabled recording(*song.context);
        platform::UndoManager& undo = song.context->undoManager();
        QCoreApplication::processEvents();
        const double heapStart = heapMegabytes();
        const double rssStart = residentMegabytes();
        const double objectsStart = heldObjects(*song.context);
        const double fetchStart = fetchAllBarsMicroseconds(*song.context);
        state.ResumeTiming();
        for (std::int64_t round = 1; round <= rounds; ++round) {
            undo.beginUndoGrouping();
            song.document->createNewBarsBehindBarLength(song.bar(song.document->maxBarNumber()), 4);
            undo.endUndoGrouping();
            undo.beginUndoGrouping();
            const std::uint64_t last = song.document->maxBarNumber();
            song.document->deleteBarsFromTo(song.bar(last - 3), song.bar(last));
            undo.endUndoGrouping();
            if (round % 100 == 0) {
                undo.removeAllActions();
            }
            QCoreApplication::processEvents();
        }
        state.PauseTiming();
        undo.removeAllActions();
        QCoreApplication::processEvents();
        state.counters["bars"] = static_cast<double>(song.context->fetchObjects("Bar").size());
        state.counters["objects_start"] = objectsStart;
        state.counters["objects_end"] = heldObjects(*song.context);
        state.counters["heap_MB_start"] = heapStart;
        state.counters["heap_MB_end"] = heapMegabytes();
        state.counters["rss_MB_start"] = rssStart;
        state.counters["rss_MB_end"] = residentMegabytes();
        state.counters["fetch_us_start"] = fetchStart;
        state.counters["fetch_us_end"] = fetchAllBarsMicroseconds(*song.context);
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_InsertBarAndUndo)->Arg(16)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_DeleteBarAndUndo)->Arg(16)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_CopyFourBars)->Arg(16)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_PasteFourBarsAndUndo)->Arg(16)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_TransposeSongAndUndo)
    ->Arg(16)
    ->Arg(200)
    ->Arg(512)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

BENCHMARK(BM_EditSessionMemory)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The session needs a main loop to turn, as the application has.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    QCoreApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
