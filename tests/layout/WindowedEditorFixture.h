#pragma once

#include "AllGlyphs.h"
#include "BoundEditorFixture.h"
#include "EditorInWindow.h"

#include "layout/TOVEditorBackView.h"
#include "layout/TOVEditorView.h"
#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <memory>

namespace layouttest {

// A document window of one page: the header slot, then a line of four bars in 4/4 (bars 0 to 3), with the
// built-in symbol, chord and note glyphs. As in the application, the backdrop is the root of the host and
// the editor view lies on it 20 from the left and 10 from the top; the controller is the test's own.
template <class Controller>
class WindowedEditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        document = bindEditor(
            *editor, controller, *context,
            {tovtest::PageSpec{10, {tovtest::LineSpec{0, 0, false}, tovtest::LineSpec{4, 4, false}}}});
        editor->setFrame(platform::Rect(20, 10, 595, editor->heightOfPageColumn()));
        back->setEditorView(editor.get());
        back->addSubview(editor);
        input = showInWindow(window, host, back, 700, 500);
    }
    void TearDown() override { editor->setDocData(nullptr); }

    AllGlyphs glyphs;
    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    Controller controller;
    std::shared_ptr<TOVEditorView> editor = std::make_shared<TOVEditorView>(platform::Rect(0, 0, 595, 900));
    std::shared_ptr<TOVEditorBackView> back =
        std::make_shared<TOVEditorBackView>(platform::Rect(0, 0, 700, 1000));
    Document* document = nullptr;
    platform::Application app;
    platform::Window window;
    platform::ViewHost* host = nullptr;
    std::unique_ptr<uitest::WindowEvents> input;
    // The timestamp of the next event sent to the window.
    unsigned long time = 1000;
};

} // namespace layouttest
