#include "GlyphServices.h"
#include "ViewFixture.h"
#include "glyphs/SVGUtils.h"
#include "glyphs/TOVChordObjectView.h"
#include "model/Chord.h"

#include <gtest/gtest.h>

#include <typeinfo>

using glyphtest::GlyphServices;
using glyphtest::ViewFixture;
using platform::Point;
using platform::Rect;
using platform::Size;
using Log = std::vector<std::string>;

namespace {

constexpr TOVChordElems kCMajor7 = TOVChordElems::fromCodes(0, 6, 70, 17);

// A chord of bar 0 at beat 2 with its view, placed as the bar view places it: the chord's frame at (10, 10)
// of the bar with the outline's size, its natural size from the view, then the view given its symbol.
struct ChordFixture : ViewFixture {
    GlyphServices glyphs;
    Chord* chord = nullptr;
    std::shared_ptr<TOVChordObjectView> view;

    explicit ChordFixture(const TOVChordElems& elems = kCMajor7) {
        chord = tovtest::findBar(song.document, 0)->createNewChordWithElemsTiming(elems, 240);
        view = TOVChordObjectView::withChord(chord);
        chord->setFrame(Rect({10, 10}, view->defaultViewSize()));
        chord->setInitialSize(view->defaultViewSize());
        editor->addSubview(view);
        view->setBarViewBelongTo(barView.get());
        view->setSymbol(chord);
    }

    std::optional<platform::BezierPath> outlineOf(const TOVChordElems& elems) const {
        return glyphs.chords->bezierPathFromChordFontID(elems, "Default");
    }
};

TEST(ChordObjectView, ShowsItsChordAndRebuildsWhenTheChordChanges) {
    ChordFixture f;
    const auto first = f.outlineOf(kCMajor7);
    ASSERT_TRUE(first && f.view->bezierPath());
    EXPECT_EQ(*f.view->bezierPath(), *first);
    EXPECT_EQ(f.view->frame(), Rect({60, 50}, first->bounds().size));
    EXPECT_EQ(f.view->timing(), 240u);
    EXPECT_EQ(f.view->elems(), kCMajor7);
    EXPECT_DOUBLE_EQ(f.chord->scale(), 1.0);

    // The chord was resized to twice its size; then its tension changes (a ninth).
    f.chord->setScale(2.0);
    f.view->updateView();
    f.chord->setElemStep3(3);
    f.view->updateView();
    const auto ninth = f.outlineOf(TOVChordElems::fromCodes(0, 6, 3, 17));
    ASSERT_TRUE(ninth);
    ASSERT_NE(ninth->bounds().size, first->bounds().size);
    EXPECT_EQ(f.view->chordElems(), TOVChordElems::fromCodes(0, 6, 3, 17));
    EXPECT_EQ(f.chord->initialSize(), ninth->bounds().size);
    EXPECT_EQ(f.view->defaultViewSize(), ninth->bounds().size);
    EXPECT_DOUBLE_EQ(f.chord->scale(), 2.0);
    const Size doubled{ninth->bounds().width() * 2, ninth->bounds().height() * 2};
    EXPECT_EQ(f.view->frame(), Rect({60, 50}, doubled));
    // The new outline is drawn at the view's size.
    EXPECT_NEAR(f.view->bezierPath()->bounds().width(), doubled.width, 1e-9);
    EXPECT_NEAR(f.view->bezierPath()->bounds().height(), doubled.height, 1e-9);

    // A copy is a chord view of its own, with the outline and corner handles but no chord.
    auto copy = f.view->clone();
    ASSERT_EQ(typeid(*copy), typeid(TOVChordObjectView));
    EXPECT_EQ(copy->symbol(), nullptr);
    EXPECT_EQ(*copy->bezierPath(), *f.view->bezierPath());
    EXPECT_EQ(static_cast<TOVResizableView&>(*copy).handleCellArray().size(), 4u);
}

TEST(ChordObjectView, AnEmptyChordHasNoOutlineAndNoSize) {
    GlyphServices glyphs;
    ViewFixture f;
    Chord* empty = tovtest::findBar(f.song.document, 0)->createNewChordWithElemsTiming(TOVChordElems{}, 0);
    auto view = TOVChordObjectView::withChord(empty);
    EXPECT_FALSE(view->bezierPath());
    EXPECT_EQ(view->frame().size, (Size{0, 0}));
    EXPECT_EQ(view->defaultViewSize(), (Size{0, 0}));
}

TEST(ChordObjectView, StandsLowerByWhatItsQualitySetsBelowTheLine) {
    GlyphServices glyphs;
    ViewFixture f;
    Chord* chord = tovtest::findBar(f.song.document, 0)->createNewChordWithElemsTiming(kCMajor7, 0);
    auto view = TOVChordObjectView::withChord(chord);
    EXPECT_EQ(view->offsetY(), 0);
    TOVChordNotationProfile triangle;
    triangle.major = 0;
    glyphs.chords->setProfile(triangle);
    EXPECT_NEAR(view->offsetY(), 3.5 * SVGUtils::defaultScaleRatioForChord(), 1e-12);
}

TEST(ChordObjectView, ReportsDoubleAndRightClicksOnlyForTheirClicks) {
    struct Press {
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        unsigned long time;
    };
    struct Case {
        const char* name;
        std::vector<Press> presses;
        Log log;
        int state;
    };
    const Qt::KeyboardModifiers none;
    const Case cases[] = {
        {"single", {{Qt::LeftButton, none, 100000}}, {"select only"}, 1},
        {"double",
         {{Qt::LeftButton, none, 100000}, {Qt::LeftButton, none, 100050}},
         {"select only", "chord double click"},
         1},
        {"triple",
         {{Qt::LeftButton, none, 100000}, {Qt::LeftButton, none, 100050}, {Qt::LeftButton, none, 100100}},
         {"select only", "chord double click"},
         1},
        {"two slow clicks",
         {{Qt::LeftButton, none, 100000}, {Qt::LeftButton, none, 105000}},
         {"select only"},
         1},
        {"right", {{Qt::RightButton, none, 100000}}, {"chord right click"}, 0},
        {"control-click", {{Qt::LeftButton, Qt::MetaModifier, 100000}}, {"chord right click"}, 0},
        {"control-double-click",
         {{Qt::LeftButton, Qt::MetaModifier, 100000}, {Qt::LeftButton, Qt::MetaModifier, 100050}},
         {"chord right click", "chord right click"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChordFixture f;
        const Rect frame = f.view->frame();
        const QPointF at(frame.x() + frame.width() / 2, frame.y() + frame.height() / 2);
        for (const auto& press : c.presses) {
            f.input->press(at, press.button, press.time, press.modifiers);
            f.input->release(at, press.button, press.time + 10, press.modifiers);
        }
        EXPECT_EQ(f.controller.log, c.log);
        EXPECT_EQ(f.view->state(), c.state);
    }
}

TEST(ChordObjectView, WithoutADelegateNoClickIsReported) {
    ChordFixture f;
    f.view->setDelegate(nullptr);
    const Rect frame = f.view->frame();
    const QPointF at(frame.x() + frame.width() / 2, frame.y() + frame.height() / 2);
    f.input->press(at, Qt::LeftButton, 100000);
    f.input->release(at, Qt::LeftButton, 100010);
    f.input->press(at, Qt::LeftButton, 100050);
    f.input->release(at, Qt::LeftButton, 100060);
    f.input->press(at, Qt::RightButton, 105000);
    f.input->release(at, Qt::RightButton, 105010);
    EXPECT_TRUE(f.controller.log.empty());
}

} // namespace
