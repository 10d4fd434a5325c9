// Loads arbitrary bytes as a song, then does what opening a document window does with it: lays the song out
// in the editor's view tree and draws its first page offscreen. Every song the reader accepts must lay out
// and draw without crashing or hanging. Songs of more XML nodes than the budget below are left out, so that
// the fuzzer's time goes to strange songs rather than long ones.
#include "StoredGzip.h"
#include "document/TOVDocumentParser.h"
#include "document/TOVMigrationController.h"
#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorView.h"
#include "model/Document.h"
#include "model/TOVManagedObjectModel.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Gzip.h"
#include "platform/ui/PrintRunner.h"

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace {

// Elements and other markup; a song of a few pages stays well inside.
constexpr std::ptrdiff_t nodeBudget = 3000;
constexpr std::size_t maxXmlBytes = 1 << 20;

// The widget application and the glyph factories, made once for the whole run, as the program does at
// start-up.
void startApplication() {
    static int argc = 1;
    static char name[] = "fuzz_layout";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication application(argc, argv);
    TOVUtils::Services services;
    services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
    services.chordViewFactory = [] { return TOVChordViewFactory::singletonInstance(); };
    services.noteViewFactory = [] { return TOVNoteViewFactory::singletonInstance(); };
    TOVUtils::registerServices(services);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = (startApplication(), true);
    (void)started;

    const std::span<const std::uint8_t> input(data, size);
    const bool isGzip = size >= 2 && data[0] == 0x1F && data[1] == 0x8B;
    std::optional<std::vector<std::uint8_t>> xml;
    if (isGzip) {
        xml = platform::gzipInflate(input, maxXmlBytes);
    } else {
        xml.emplace(input.begin(), input.end());
    }
    if (!xml || std::count(xml->begin(), xml->end(), '<') > nodeBudget) {
        return 0;
    }
    const std::vector<std::uint8_t> packed =
        isGzip ? std::vector(input.begin(), input.end()) : storedGzip(*xml);

    std::unique_ptr<platform::ManagedObjectContext> context;
    Document* document = nullptr;
    const std::string_view text(reinterpret_cast<const char*>(xml->data()),
                                std::min<std::size_t>(xml->size(), 512));
    if (text.find("<database") != std::string_view::npos) {
        auto imported = TOVMigrationController().importStoreData(*xml);
        if (!imported) {
            return 0;
        }
        context = std::move(imported->context);
        document = imported->document;
        context->undoManager().disableUndoRegistration();
    } else {
        context = std::make_unique<platform::ManagedObjectContext>(TOVManagedObjectModel::sharedModel());
        context->undoManager().disableUndoRegistration();
        document = context->insertNewObject<Document>("Document");
        context->processPendingChanges();
        if (!TOVDocumentParser().loadTOVZDocumentFromDataToDocument(packed, document)) {
            return 0;
        }
    }
    // What a document does once its file is read, before its window shows the song.
    document->truncateDataByTimeSignature();
    document->completeTie();
    context->processPendingChanges();

    const auto editor = std::make_shared<TOVEditorView>(
        platform::Rect(0, 0, TOVEditorView::kPageWidth, TOVEditorView::kPageHeight));
    editor->setDocData(document);
    if (!editor->pageViewArray().empty()) {
        editor->setFrame(platform::Rect(0, 0, TOVEditorView::kPageWidth, editor->heightOfPageColumn()));
        platform::PrintRunner runner(*editor);
        // The first page only: the sink stops the run after it.
        runner.printToImages(0.5, [](long, const QImage&) { return false; });
    }
    editor->setDocData(nullptr);
    return 0;
}
