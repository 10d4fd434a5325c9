// Cost of the bar-range operations and of whole-song transposition, each followed by its undo, on songs of
// 16, 200 and 2,000 bars in lines of four, every bar holding four notes and a chord. An operation on a few
// bars must not cost time that grows with the square of the song's length.

#include "model/Bar.h"
#include "model/Document.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/data/MemoryPasteboard.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <benchmark/benchmark.h>

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

BENCHMARK_MAIN();
