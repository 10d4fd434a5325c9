// Laying a song out in the editor's view tree and printing its pages, as tovz-render and a document
// window do. The songs are the benchmark song (BenchSong.h), made when the benchmark starts or taken from
// the folder TOVRIN_SONGS names.
//
// Each case reports its time per bar.
#include "BenchSong.h"
#include "GuiBenchmarkMain.h"

#include "document/TOVDocumentParser.h"
#include "layout/TOVEditorView.h"
#include "model/Document.h"
#include "model/TOVManagedObjectModel.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/ui/PrintRunner.h"

#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct Loaded {
    std::unique_ptr<platform::ManagedObjectContext> context =
        std::make_unique<platform::ManagedObjectContext>(TOVManagedObjectModel::sharedModel());
    Document* document = nullptr;

    explicit Loaded(std::int64_t bars) {
        const std::filesystem::path path = benchsong::benchSongFile(static_cast<std::uint64_t>(bars));
        context->undoManager().disableUndoRegistration();
        document = context->insertNewObject<Document>("Document");
        context->processPendingChanges();
        if (!TOVDocumentParser().loadTOVZDocumentFromUrlToDocument(path, document)) {
            std::abort();
        }
    }
};

void perBar(benchmark::State& state) {
    state.counters["per_bar"] =
        benchmark::Counter(static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The page tree and the drawing tools, built anew as after every structural edit.
void BM_BuildViewTree(benchmark::State& state) {
    Loaded song(state.range(0));
    const auto editor = std::make_shared<TOVEditorView>();
    editor->setDocData(song.document);
    for (auto _ : state) {
        editor->createAllSubviews(TOVBarId{0, false});
        benchmark::DoNotOptimize(editor->pageViewArray().size());
    }
    editor->setDocData(nullptr);
    perBar(state);
}

// Every page into an A4 PDF.
void BM_PrintPdf(benchmark::State& state) {
    Loaded song(state.range(0));
    const auto editor = std::make_shared<TOVEditorView>();
    editor->setDocData(song.document);
    editor->setFrame(platform::Rect(0, 0, TOVEditorView::kPageWidth, editor->heightOfPageColumn()));
    QTemporaryDir folder;
    const QString pdf = folder.filePath("out.pdf");
    for (auto _ : state) {
        platform::PrintRunner runner(*editor);
        if (!runner.printToPdfFile(pdf)) {
            state.SkipWithError("cannot print");
            break;
        }
    }
    editor->setDocData(nullptr);
    perBar(state);
}

BENCHMARK(BM_BuildViewTree)->Arg(16)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintPdf)->Arg(16)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runGuiBenchmarks(argc, argv);
}
