// tovz-render: loads a "tovz" file, lays its song out in the editor's view tree and prints its pages
// through the print runner: into a PDF (A4, one page per page of the song), or with --png into one PNG per
// page. A file that cannot be read or written gives one line saying why (exit status 1; 2 for a usage
// error).
#include "ToolStartUp.h"
#include "document/TOVDocumentParser.h"
#include "glyphs/TOVObjectView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVLayoutController.h"
#include "model/Document.h"
#include "model/TOVManagedObjectModel.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/ui/DraggingInfo.h"
#include "platform/ui/PrintRunner.h"

#include <QApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

namespace {

constexpr double kMaximumScale = 16.0;

int usage() {
    std::fprintf(stderr, "usage: tovz-render SONG.tovz OUT.pdf\n"
                         "       tovz-render SONG.tovz --png DIR [--scale S]\n");
    return 2;
}

int fail(const std::string& subject, const std::string& why) {
    std::fprintf(stderr, "tovz-render: %s: %s\n", subject.c_str(), why.c_str());
    return 1;
}

struct Arguments {
    std::string song;
    std::string pdf;
    std::string pngDirectory;
    double scale = 1.0;
};

std::optional<Arguments> parse(int argc, char** argv) {
    Arguments arguments;
    bool scaleGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--png" || word == "--scale") {
            if (i + 1 >= argc) {
                return std::nullopt;
            }
            const std::string value = argv[++i];
            if (word == "--png") {
                arguments.pngDirectory = value;
                continue;
            }
            char* end = nullptr;
            arguments.scale = std::strtod(value.c_str(), &end);
            if (end == value.c_str() || *end != '\0' || !(arguments.scale > 0) ||
                arguments.scale > kMaximumScale) {
                return std::nullopt;
            }
            scaleGiven = true;
        } else if (arguments.song.empty()) {
            arguments.song = word;
        } else if (arguments.pdf.empty()) {
            arguments.pdf = word;
        } else {
            return std::nullopt;
        }
    }
    const bool png = !arguments.pngDirectory.empty();
    if (arguments.song.empty() || png == !arguments.pdf.empty() || (scaleGiven && !png)) {
        return std::nullopt;
    }
    return arguments;
}

// The editor view controller of a window that only shows the song: it answers the views' lookups (their
// page, line and editor view, which the bar views need to find their neighbours, so that ties and other
// marks reach across barlines and lines). Everything else keeps the interface's default: no grid, no zoom,
// tools where their frames put them, and every report and request ignored, as nothing is edited.
class PrintLayoutController : public TOVLayoutController {
public:
    void setEditor(TOVEditorView* editor) { editor_ = editor; }

    TOVEditorLineView* layoutViewInquireLineView(platform::View* view) override {
        return enclosing<TOVEditorLineView>(view);
    }
    TOVEditorPageView* layoutViewInquirePageView(platform::View* view) override {
        return enclosing<TOVEditorPageView>(view);
    }
    TOVEditorView* layoutViewInquireEditorView(platform::View*) override { return editor_; }

private:
    // The nearest superview of the class.
    template <typename T>
    static T* enclosing(platform::View* view) {
        for (platform::View* v = view != nullptr ? view->superview() : nullptr; v != nullptr;
             v = v->superview()) {
            if (auto* found = dynamic_cast<T*>(v)) {
                return found;
            }
        }
        return nullptr;
    }

    TOVEditorView* editor_ = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    const std::optional<Arguments> arguments = parse(argc, argv);
    if (!arguments) {
        return usage();
    }
    const std::filesystem::path path = arguments->song;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return fail(arguments->song, "not a readable file");
    }
    // Registered before the song is read: an old file's chords are measured as they are read.
    const std::unique_ptr<QApplication> application = startToolApplication(argc, argv);
    platform::ManagedObjectContext context(TOVManagedObjectModel::sharedModel());
    context.undoManager().disableUndoRegistration();
    auto* document = context.insertNewObject<Document>("Document");
    context.processPendingChanges();
    TOVDocumentParser parser;
    if (!parser.loadTOVZDocumentFromUrlToDocument(path, document)) {
        return fail(arguments->song, "cannot be loaded: " + parser.failureReason());
    }
    parser.completeOpenedDocument(document);

    // The editor's view tree as a document window builds it, one column of pages, unzoomed. The controller
    // outlives the views that ask it.
    PrintLayoutController controller;
    const auto editor = std::make_shared<TOVEditorView>(
        platform::Rect(0, 0, TOVEditorView::kPageWidth, TOVEditorView::kPageHeight));
    controller.setEditor(editor.get());
    editor->setDelegate(&controller);
    editor->setDocData(document);
    if (editor->pageViewArray().empty()) {
        editor->setDocData(nullptr);
        return fail(arguments->song, "the song has no page to draw");
    }
    editor->setFrame(platform::Rect(0, 0, TOVEditorView::kPageWidth, editor->heightOfPageColumn()));

    platform::PrintRunner runner(*editor);
    int status = 0;
    if (arguments->pngDirectory.empty()) {
        if (!runner.printToPdfFile(QString::fromStdString(arguments->pdf))) {
            status = fail(arguments->pdf, "cannot be written");
        }
    } else {
        const std::filesystem::path folder = arguments->pngDirectory;
        std::filesystem::create_directories(folder, error);
        std::string failed;
        const bool drawn = runner.printToImages(arguments->scale, [&](long page, const QImage& image) {
            char name[32];
            std::snprintf(name, sizeof name, "page-%03ld.png", page);
            const std::filesystem::path file = folder / name;
            if (!image.save(QString::fromStdString(file.string()), "PNG")) {
                failed = file.string();
                return false;
            }
            return true;
        });
        if (!failed.empty()) {
            status = fail(failed, "cannot be written");
        } else if (!drawn) {
            status = fail(arguments->pngDirectory, "no page could be drawn");
        }
    }
    editor->setDocData(nullptr);
    return status;
}
