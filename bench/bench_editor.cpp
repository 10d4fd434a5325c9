// One edit and its undo in a document window's editor, on generated songs of single lines of four bars,
// each bar with a chord and four quarter notes. Each iteration makes the edit as one undo step and undoes
// it; the undo refresh buffer then rebuilds the views whose model changed. Besides the time, each case
// reports the views rebuilt per undo:
//
//   bars_rebuilt   bar views rebuilt (also those rebuilt with their line or page)
//   lines_rebuilt  line views rebuilt (also those rebuilt with their page)
//   pages_rebuilt  page views rebuilt
//   whole_rebuilds rebuilds of the whole editor
//
// BM_RefreshAll is the whole rebuild on its own, for comparison.
#include "GuiBenchmarkMain.h"

#include "app/TOVEditorViewController.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/TOVManagedObjectModel.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <memory>

namespace {

constexpr int kBarsPerLine = 4;
constexpr int kLinesPerPage = 9;

struct Song {
    std::unique_ptr<platform::ManagedObjectContext> context =
        std::make_unique<platform::ManagedObjectContext>(TOVManagedObjectModel::sharedModel());
    Document* document = nullptr;
    std::vector<Bar*> bars;

    explicit Song(std::int64_t barCount) {
        platform::UndoManager& undo = context->undoManager();
        undo.setGroupsByEvent(false);
        undo.disableUndoRegistration();
        document = context->insertNewObject<Document>("Document");
        document->createNewSong();
        Page* page = nullptr;
        Line* line = nullptr;
        int linesOnPage = 0;
        for (std::int64_t n = 0; n < barCount; ++n) {
            if (n % kBarsPerLine == 0) {
                if (page == nullptr || linesOnPage == kLinesPerPage) {
                    page = document->createNewPageWithNumberAPage(document->pages().size(), 10);
                    linesOnPage = 0;
                    if (document->pages().size() == 1) {
                        // The bar-less line of the song header.
                        page->createNewLineWithPartitionFirstBarlineType(0, 0);
                        ++linesOnPage;
                    }
                }
                line = page->createNewLineWithPartitionFirstBarlineType(kBarsPerLine, TOVBarlineSingle);
                ++linesOnPage;
            }
            Bar* bar = line->createNewBarWithNumberWidthBarlineType(static_cast<std::uint64_t>(n), 130.0,
                                                                    TOVBarlineSingle);
            bar->createNewChordWithElemsTiming(TOVChordElems{static_cast<int>(n % 12), 12, 70, 17, false}, 0);
            for (std::uint64_t beat = 0; beat < 4; ++beat) {
                bar->createNewSingleMeloFromLengthLevel(beat * 480, 480, static_cast<std::int64_t>(n % 7));
            }
            bars.push_back(bar);
        }
        context->processPendingChanges();
        undo.enableUndoRegistration();
        undo.removeAllActions();
    }
};

// A song bound to an editor view controller that follows its undo manager.
struct Window {
    explicit Window(std::int64_t bars) : song(bars) {
        // Binding writes the bar views' frames back into the bars, as opening a document does before its
        // undo stack is cleared; none of that is part of the timed edit.
        platform::UndoManager& undo = song.context->undoManager();
        undo.disableUndoRegistration();
        controller.setDocData(song.document);
        song.context->processPendingChanges();
        undo.enableUndoRegistration();
        undo.removeAllActions();
        controller.registerUndoObservation(&undo);
    }
    ~Window() { controller.registerUndoObservation(nullptr); }

    Song song;
    TOVEditorViewController controller;
};

void reportRebuilds(benchmark::State& state, const TOVEditorViewController& controller) {
    const auto& counts = controller.rebuildCounts();
    const auto perUndo = [&](std::uint64_t count) {
        return benchmark::Counter(static_cast<double>(count) / static_cast<double>(state.iterations()));
    };
    state.counters["bars_rebuilt"] = perUndo(counts.barViews);
    state.counters["lines_rebuilt"] = perUndo(counts.lineViews);
    state.counters["pages_rebuilt"] = perUndo(counts.pageViews);
    state.counters["whole_rebuilds"] = perUndo(counts.refreshAll);
}

// Runs the edit as one undo step and undoes it, in every iteration.
void editAndUndo(benchmark::State& state, const std::function<void(Song&)>& edit) {
    Window window(state.range(0));
    platform::UndoManager& undo = window.song.context->undoManager();
    window.controller.resetRebuildCounts();
    for (auto _ : state) {
        undo.beginUndoGrouping();
        edit(window.song);
        undo.endUndoGrouping();
        undo.undo();
    }
    reportRebuilds(state, window.controller);
}

Bar* middleBar(Song& song) {
    return song.bars[song.bars.size() / 2];
}

// A chord written into one bar: the undo rebuilds that bar view.
void BM_UndoChordInOneBar(benchmark::State& state) {
    editAndUndo(state, [](Song& song) {
        middleBar(song)->createNewChordWithElemsTiming(TOVChordElems{5, 7, 3, 17, false}, 960);
    });
}

// One bar made wider: the undo rebuilds the bar's line view.
void BM_UndoWidthOfOneBar(benchmark::State& state) {
    editAndUndo(state, [](Song& song) { middleBar(song)->setWidth(160.0); });
}

// A time signature in one bar: the whole editor is rebuilt.
void BM_UndoTimeSignature(benchmark::State& state) {
    editAndUndo(state, [](Song& song) { middleBar(song)->setTimeType(TOVSymbolTime6_8); });
}

void BM_RefreshAll(benchmark::State& state) {
    Window window(state.range(0));
    for (auto _ : state) {
        window.controller.refreshAll();
    }
}

BENCHMARK(BM_UndoChordInOneBar)->Arg(32)->Arg(512)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoWidthOfOneBar)->Arg(32)->Arg(512)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoTimeSignature)->Arg(32)->Arg(512)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshAll)->Arg(32)->Arg(512)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runGuiBenchmarks(argc, argv);
}
