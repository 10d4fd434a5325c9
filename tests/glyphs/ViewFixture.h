#pragma once

#include "FakeLayout.h"
#include "model/Bar.h"
#include "model/Symbol.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/WindowEvents.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <memory>

namespace glyphtest {

// An editor view shown in a window, with one bar view at (50, 40) and the fake controller; object views
// are added to the editor view and belong to the bar view, and their symbols to bar 0 of a real song.
// Mouse input goes through the window system (host coordinates are the editor's).
struct ViewFixture {
    tovtest::TestSong song;
    FakeObjectController controller;
    std::shared_ptr<FakeEditorView> editor = std::make_shared<FakeEditorView>(platform::Rect(0, 0, 400, 300));
    std::shared_ptr<FakeBarView> barView;
    platform::ViewHost host;
    std::unique_ptr<uitest::WindowEvents> input;
    unsigned long time = 1000;

    ViewFixture() {
        editor->controller = &controller;
        barView = std::make_shared<FakeBarView>(platform::Rect(50, 40, 130, 80), editor.get());
        editor->addSubview(barView);
        host.setRootView(editor);
        input = std::make_unique<uitest::WindowEvents>(host);
    }

    // Places a view of the symbol's frame (bar coordinates) in the editor, owned by the bar view.
    template <typename T>
    std::shared_ptr<T> add(int type, const platform::Rect& barFrame, platform::Size initialSize = {}) {
        Symbol* symbol = tovtest::findBar(song.document, 0)->createNewSymbolWithTypeFrame(type, barFrame);
        if (initialSize.width > 0) {
            symbol->setInitialSize(initialSize);
        }
        // Views that do not place themselves from their symbol stand there all the same.
        auto view = std::make_shared<T>(
            platform::Rect(barView->convertPointToView(barFrame.origin, editor.get()), barFrame.size));
        editor->addSubview(view);
        view->setBarViewBelongTo(barView.get());
        view->setSymbol(symbol);
        return view;
    }

    // Draws the window now, as it is drawn before a person can press anything (selected views place
    // their handles when drawn).
    void paint() { host.repaint(); }

    // Clicks and drags far apart in time, so that no two presses make a double click.
    void press(platform::Point p, Qt::KeyboardModifiers mods = {}) {
        time += 5000;
        input->press({p.x, p.y}, Qt::LeftButton, time, mods);
    }
    void moveTo(platform::Point p) { input->move({p.x, p.y}, ++time); }
    void release(platform::Point p) { input->release({p.x, p.y}, Qt::LeftButton, ++time); }
    void drag(platform::Point from, platform::Point to) {
        press(from);
        moveTo(to);
        release(to);
    }
};

} // namespace glyphtest
