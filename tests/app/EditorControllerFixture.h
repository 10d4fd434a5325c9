#pragma once

#include "app/TOVEditorViewController.h"
#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "model/Document.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <QApplication>
#include <QScrollArea>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace apptest {

// An editor view controller with the application's view factories, following the undo manager of a song
// context and bound by `bind` to a document laid out as given, below the song header.
class EditorControllerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        TOVUtils::Services services;
        services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
        services.chordViewFactory = [] { return TOVChordViewFactory::singletonInstance(); };
        services.noteViewFactory = [] { return TOVNoteViewFactory::singletonInstance(); };
        TOVUtils::registerServices(services);
        controller = std::make_unique<TOVEditorViewController>();
        controller->registerUndoObservation(&context->undoManager());
    }
    void TearDown() override {
        controller.reset();
        TOVUtils::registerServices({});
    }

    // The first page starts with the bar-less line of the song header, as in every document.
    Document* bind(std::vector<tovtest::PageSpec> pages) {
        if (!pages.empty()) {
            pages.front().lines.insert(pages.front().lines.begin(), tovtest::LineSpec{0, 0, false});
        }
        document = tovtest::makeLayout(*context, pages);
        controller->setDocData(document);
        return document;
    }
    // Shows the scroll area with a viewport of about the size given, so that the visible area is real.
    void showWithViewport(int width, int height) {
        QScrollArea* scroll = controller->scrollView();
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->resize(width, height);
        scroll->show();
        QApplication::processEvents();
    }

    TOVEditorView& editor() { return *controller->editorView(); }
    TOVEditorBarView* barView(std::uint64_t num, bool lower = false) {
        return editor().barViewFromNumberInLower(num, lower);
    }
    platform::UndoManager& undo() { return context->undoManager(); }
    // Runs the edit as one undo step.
    template <typename Edit>
    void step(Edit edit) {
        tovtest::UndoEnabled enabled(*context);
        undo().beginUndoGrouping();
        edit();
        undo().endUndoGrouping();
    }
    // Undo and redo record their opposite step, so that the step can be redone and undone again.
    void undoStep() {
        tovtest::UndoEnabled enabled(*context);
        undo().undo();
    }
    void redoStep() {
        tovtest::UndoEnabled enabled(*context);
        undo().redo();
    }

    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    std::unique_ptr<TOVEditorViewController> controller;
    Document* document = nullptr;
};

// Single lines of four bars, n lines to a page of ten slots.
inline std::vector<tovtest::PageSpec> singleLines(int lines, int linesPerPage = 9) {
    std::vector<tovtest::PageSpec> pages;
    for (int i = 0; i < lines; ++i) {
        if (i % linesPerPage == 0) {
            pages.push_back(tovtest::PageSpec{10, {}});
        }
        pages.back().lines.push_back(tovtest::LineSpec{4, 4, false});
    }
    return pages;
}

} // namespace apptest
