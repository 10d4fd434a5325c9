#include "NoteSymbolFixture.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNoteArticulationView.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVSlurView.h"

#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

using notationtest::NoteSymbolFixture;
using platform::Point;
using platform::Rect;

namespace {

// A view of each class that hangs on a tone with a stored frame, made on the fixture's tone.
struct Kind {
    const char* name;
    std::function<std::shared_ptr<TOVMovableView>(NoteSymbolFixture&, const Rect&)> make;
};

const Kind kKinds[] = {
    {"sharp",
     [](NoteSymbolFixture& f, const Rect& frame) {
         return f.attach<TOVNoteAccidentalView>(
             f.tone->createNewAccidentalWithTypeFrame(TOVSymbolSharp, frame));
     }},
    {"staccato",
     [](NoteSymbolFixture& f, const Rect& frame) {
         return f.attach<TOVNoteArticulationView>(
             f.tone->createNewArticulationWithTypeFrame(TOVSymbolStaccato, frame));
     }},
    {"slur",
     [](NoteSymbolFixture& f, const Rect& frame) {
         return f.attach<TOVSlurView>(f.tone->createNewArticulationWithTypeFrame(TOVSymbolSlur, frame));
     }},
};

TEST(NoteSymbolViews, CopiesKeepTheirClass) {
    const std::shared_ptr<TOVObjectView> views[] = {
        std::make_shared<TOVNoteTieView>(Rect(0, 0, 20, 5)), std::make_shared<TOVSlurView>(Rect(0, 0, 60, 8)),
        std::make_shared<TOVNoteAccidentalView>(Rect(0, 0, 6, 14)),
        std::make_shared<TOVNoteArticulationView>(Rect(0, 0, 4, 4))};
    for (const auto& view : views) {
        const auto copy = view->clone();
        EXPECT_EQ(typeid(*copy), typeid(*view));
        EXPECT_EQ(copy->frame(), view->frame());
    }
}

TEST(NoteSymbolViews, StoredFramesAreRelativeToTheToneNotToTheBar) {
    for (const auto& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        NoteSymbolFixture f;
        auto view = kind.make(f, Rect(-4.75, -6.25, 12, 14));
        // The data origin of the tone lies at (130, 80) in the editor; the bar view's origin at (50, 40).
        EXPECT_EQ(view->frame(), Rect(125.25, 73.75, 12, 14));
        EXPECT_EQ(view->convertPointFromDataOriginToViewOrigin({1, 2}), (Point{131, 82}));
        EXPECT_EQ(view->convertPointFromViewOriginToDataOrigin({131, 82}), (Point{1, 2}));
        // The tone cell moves with its note; the view follows on its next update.
        f.noteView->setFrameOrigin({140, 50});
        view->updateView();
        EXPECT_EQ(view->frame(), Rect(145.25, 63.75, 12, 14));
    }
}

TEST(NoteSymbolViews, WithoutAToneCellPointsStayAsTheyAre) {
    for (const auto& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        NoteSymbolFixture f;
        auto view = kind.make(f, Rect(3, 4, 12, 14));
        view->setToneCellBelongTo(nullptr);
        // Even with a bar view: the bar is not what the frame is stored against.
        ASSERT_NE(view->barViewBelongTo(), nullptr);
        EXPECT_EQ(view->convertPointFromDataOriginToViewOrigin({3, 4}), (Point{3, 4}));
        EXPECT_EQ(view->convertPointFromViewOriginToDataOrigin({3, 4}), (Point{3, 4}));
        view->updateView();
        EXPECT_EQ(view->frame(), Rect(3, 4, 12, 14));
    }
}

TEST(NoteSymbolViews, ADragStoresTheNewPlaceRelativeToTheTone) {
    for (const auto& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        NoteSymbolFixture f;
        auto view = kind.make(f, Rect(-15, 6, 12, 14));
        ASSERT_EQ(view->frame(), Rect(115, 86, 12, 14));
        // Pressed inside, away from every handle of the slur.
        f.press({117, 97});
        f.moveTo({124, 94});
        f.release({124, 94});
        EXPECT_EQ(f.controller.log, (std::vector<std::string>{"select only", "complete"}));
        EXPECT_EQ(view->symbol()->frame(), Rect(-8, 3, 12, 14));
        EXPECT_EQ(view->frame(), Rect(122, 83, 12, 14));
    }
}

} // namespace
