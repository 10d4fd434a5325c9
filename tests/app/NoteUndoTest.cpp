// A note's own settings (the stem direction, the stem heights, the heads) through the editor view
// controller's undo: what the model holds and what the note view shows come back together, and the stem
// ends of a selected beamed note carry their handles.
#include "EditorControllerFixture.h"

#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "platform/graphics/RecordingGraphicsContext.h"

#include <functional>
#include <sstream>
#include <string>

namespace {

using apptest::EditorControllerFixture;
using apptest::singleLines;
using platform::Rect;
using tovtest::findBar;

std::string describe(const std::optional<platform::BezierPath>& path) {
    if (!path) {
        return "none";
    }
    const Rect b = path->bounds();
    std::ostringstream out;
    out << path->elementCount() << "@" << b.x() << "," << b.y() << "," << b.width() << "," << b.height();
    return out.str();
}

class NoteUndoTest : public EditorControllerFixture {
public:
    // Two beamed eighths on the first beat of bar 0, written without undo, and laid out.
    void SetUp() override {
        EditorControllerFixture::SetUp();
        bind(singleLines(1));
        Bar* bar = findBar(document, 0);
        Note* first = bar->createNewSingleMeloFromLengthLevel(0, 120, 2);
        Note* second = bar->createNewSingleMeloFromLengthLevel(120, 120, 4);
        context->processPendingChanges();
        note = bar->makeBeamOn({first, second});
        context->processPendingChanges();
        // Laid out afresh, as when the song is opened.
        controller->setDocData(nullptr);
        controller->setDocData(document);
        ASSERT_NE(note, nullptr);
        ASSERT_NE(view(), nullptr);
    }

    TOVNoteView* view() {
        TOVEditorBarView* bar = barView(0);
        return bar != nullptr ? bar->noteViewFromData(note).get() : nullptr;
    }

    // What the model holds and what the note view shows of it: the stem direction, the stem heights, the
    // heads, and the outlines and stem ends drawn from them.
    std::string state() {
        std::ostringstream out;
        out << "model flip " << note->flip() << " heights " << note->heightLeft() << "/"
            << note->heightRight() << " heads";
        for (NoteUnit* unit : note->unitArray()) {
            out << " " << unit->toneArray().front()->head();
        }
        TOVNoteView* shown = view();
        if (shown == nullptr) {
            return out.str() + " | no view";
        }
        out << " | view flip " << shown->isNoteFlip() << " heights " << shown->heightLeft() << "/"
            << shown->heightRight() << " beam " << describe(shown->beamPath());
        for (const auto& unit : shown->unitCellArray()) {
            out << " stem end " << unit->posPoleEdge().x << "," << unit->posPoleEdge().y;
            for (const auto& cell : unit->toneCellArray()) {
                out << " head " << describe(cell->tonePath());
            }
        }
        return out.str();
    }

    Note* note = nullptr;
};

TEST_F(NoteUndoTest, UndoAndRedoOfAFlipStemHeightsAndHeadsRestoreModelAndView) {
    struct Case {
        const char* name;
        std::function<void(NoteUndoTest&)> edit;
    };
    const Case cases[] = {
        {"flip", [](NoteUndoTest& t) { t.view()->doFlip(); }},
        {"stem heights",
         [](NoteUndoTest& t) {
             // As the end of a drag of a stem handle leaves them.
             t.view()->setHeightLeft(31.0);
             t.view()->setHeightRight(27.0);
             t.note->setHeightLeft(31.0);
             t.note->setHeightRight(27.0);
             t.view()->updateView();
         }},
        {"heads",
         [](NoteUndoTest& t) {
             t.view()->selectWholeNote();
             t.view()->noteHeadX();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = state();
        step([&] { c.edit(*this); });
        const std::string after = state();
        EXPECT_NE(after, before);
        undoStep();
        EXPECT_EQ(state(), before);
        redoStep();
        EXPECT_EQ(state(), after);
        undoStep();
        EXPECT_EQ(state(), before);
    }
}

// A selected beamed note shows a handle at each end of its beam: at the first unit's stem end, and at the
// last one's less the handle's width and a little more; below the stem ends when the stems point up, above
// them when they point down. The handles are outlined only, so that the beam under them stays filled.
TEST_F(NoteUndoTest, ASelectedBeamedNoteDrawsAHandleAtEachStemEnd) {
    for (bool flip : {false, true}) {
        SCOPED_TRACE(flip ? "stems down" : "stems up");
        if (note->flip() != flip) {
            view()->doFlip();
        }
        TOVNoteView* shown = view();
        ASSERT_NE(shown, nullptr);
        shown->selectWholeNote();
        platform::RecordingGraphicsContext ctx;
        shown->drawRect(shown->bounds(), ctx);
        std::vector<Rect> handles;
        for (const auto& call : ctx.callsOfKind(platform::DrawingCall::Kind::StrokeRect)) {
            handles.push_back(call.rect);
        }
        ASSERT_EQ(handles.size(), 2u);
        const platform::Point left = shown->unitCellArray().front()->posPoleEdge();
        const platform::Point right = shown->unitCellArray().back()->posPoleEdge();
        const double side = TOVResizeHandleCell::kHandleSize;
        auto expectAt = [](const Rect& drawn, const Rect& wanted) {
            EXPECT_NEAR(drawn.x(), wanted.x(), 1e-9);
            EXPECT_NEAR(drawn.y(), wanted.y(), 1e-9);
            EXPECT_NEAR(drawn.width(), wanted.width(), 1e-9);
            EXPECT_NEAR(drawn.height(), wanted.height(), 1e-9);
        };
        expectAt(handles[0], Rect(left.x, flip ? left.y - side : left.y, side, side));
        expectAt(handles[1], Rect(right.x - side - 0.6, flip ? right.y - side : right.y, side, side));
        // Nothing is filled over the beam after it: the beam is the last fill.
        const auto fills = ctx.callsOfKind(platform::DrawingCall::Kind::FillRect);
        EXPECT_TRUE(fills.empty());
        ASSERT_TRUE(shown->beamPath());
        EXPECT_EQ(ctx.calls().back().kind, platform::DrawingCall::Kind::StrokeRect);
        shown->setState(0);
    }
}

} // namespace
