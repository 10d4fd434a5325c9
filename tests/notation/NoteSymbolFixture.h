#pragma once

#include "FakeToneCell.h"
#include "glyphs/TOVFlippedView.h"
#include "glyphs/ViewFixture.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"

#include <memory>

namespace notationtest {

// The window of the glyph tests (an editor view with a bar view at (50, 40) and the fake controller)
// with a note view at (120, 60) in the editor and a tone cell whose data origin lies at (10, 20) in the
// note view, that is at (130, 80) in the editor. A quarter note on the middle line of bar 0 holds the
// tone that the symbols hang on. The grid is off, so that a drag lands where the pointer goes.
struct NoteSymbolFixture : glyphtest::ViewFixture {
    static constexpr platform::Point kDataOrigin{130, 80};

    std::shared_ptr<TOVFlippedView> noteView =
        std::make_shared<TOVFlippedView>(platform::Rect(120, 60, 40, 50));
    FakeToneCell cell{noteView.get(), {10, 20}};
    NoteTone* tone = nullptr;

    NoteSymbolFixture() {
        controller.pageArea = platform::Rect();
        editor->addSubview(noteView);
        Note* note = tovtest::findBar(song.document, 0)->createNewSingleMeloFromLengthLevel(0, 240, 0);
        tone = note->firstUnit()->toneArray().front();
    }

    // A view of class T in the editor, belonging to the bar view and the tone cell, showing the symbol.
    template <typename T>
    std::shared_ptr<T> attach(Symbol* symbol) {
        auto view = std::make_shared<T>(platform::Rect());
        editor->addSubview(view);
        view->setBarViewBelongTo(barView.get());
        view->setToneCellBelongTo(&cell);
        view->setSymbol(symbol);
        return view;
    }
};

} // namespace notationtest
