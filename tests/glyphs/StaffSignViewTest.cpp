#include "GlyphServices.h"
#include "ViewFixture.h"
#include "glyphs/TOVClefView.h"
#include "glyphs/TOVKeySignatureView.h"
#include "glyphs/TOVTimeView.h"

#include <gtest/gtest.h>

#include <typeinfo>

using glyphtest::GlyphServices;
using glyphtest::ViewFixture;
using platform::Rect;

namespace {

// A clef, key or time view of the real glyphs, given to a bar view of the height, standing at y = −1 so
// that a view that keeps its place shows.
std::shared_ptr<TOVObjectView> signInBar(ViewFixture& f, const GlyphServices& glyphs, int type,
                                         double barHeight) {
    f.barView->setFrameSize({130, barHeight});
    f.barView->shownBar = tovtest::findBar(f.song.document, 0);
    auto view = glyphs.objects->symbolObjectViewWithSymbolTypeFontID(type, "Default");
    if (!view) {
        return nullptr;
    }
    view->setFrameOrigin({7, -1});
    f.editor->addSubview(view);
    view->setBarViewBelongTo(f.barView.get());
    return view;
}

TEST(StaffSignViews, StandAtTheHeightOfTheirKindAgainstTheStaff) {
    GlyphServices glyphs;
    struct Case {
        const char* name;
        int type;
        bool underFClef;
        double y;
    };
    // A bar view 100 high has its top staff line at 38.2.
    const Case cases[] = {
        {"G clef", 0x100, false, 30.2},
        {"F clef", 0x101, false, 37.2},
        {"two sharps", 0x201, false, 30.2},
        {"three sharps", 0x202, false, 27.2},
        {"seven sharps", 0x206, false, 27.2},
        {"one flat", 0x207, false, 40.8},
        {"two flats", 0x208, false, 31.6},
        {"seven flats", 0x20D, false, 31.6},
        {"three sharps, F clef", 0x202, true, 33.1},
        {"one flat, F clef", 0x207, true, 46.7},
        {"common time", 0x30D, false, 43.8},
        {"4/4", 0x303, false, 38.2},
        {"6/8", 0x309, false, 38.2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ViewFixture f;
        auto view = signInBar(f, glyphs, c.type, 100);
        ASSERT_NE(view, nullptr);
        if (c.underFClef) {
            f.barView->shownBar->setClefType(TOVClefView::kFClef);
        }
        view->adjustSelfOrigin();
        EXPECT_NEAR(view->frame().y(), c.y, 1e-9);
        EXPECT_EQ(view->frame().x(), 7); // the bar view chooses the x
        EXPECT_EQ(view->symbolType(), c.type);
    }
}

TEST(StaffSignViews, KeepTheirPlaceWhenTheyWouldRiseAboveTheBarOrHaveNoBarOrType) {
    GlyphServices glyphs;
    ViewFixture f;
    // In a bar 30 high the staff top is 3.2: the G clef would stand at −4.8; the time at 3.2 still fits.
    auto clef = signInBar(f, glyphs, 0x100, 30);
    auto time = signInBar(f, glyphs, 0x303, 30);
    clef->adjustSelfOrigin();
    time->adjustSelfOrigin();
    EXPECT_EQ(clef->frame().y(), -1);
    EXPECT_NEAR(time->frame().y(), 3.2, 1e-9);

    f.barView->setFrameSize({130, 100});
    auto loose = std::make_shared<TOVKeySignatureView>(Rect(0, -1, 10, 10));
    loose->setKeyType(0x202);
    loose->adjustSelfOrigin(); // no bar view
    EXPECT_EQ(loose->frame().y(), -1);
    auto untyped = std::make_shared<TOVTimeView>(Rect(0, -1, 10, 10));
    untyped->setBarViewBelongTo(f.barView.get());
    untyped->adjustSelfOrigin(); // no type
    EXPECT_EQ(untyped->frame().y(), -1);
}

TEST(StaffSignViews, CopiesKeepTheirClassAndTypeAndNeverHoldASymbol) {
    GlyphServices glyphs;
    ViewFixture f;
    Symbol* symbol = tovtest::findBar(f.song.document, 0)->createNewSymbolWithTypeFrame(0x400, Rect());
    struct Case {
        int type;
        const std::type_info& cls;
    };
    const Case cases[] = {
        {0x101, typeid(TOVClefView)}, {0x20A, typeid(TOVKeySignatureView)}, {0x30B, typeid(TOVTimeView)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        auto copy = glyphs.objects->symbolObjectViewWithSymbolTypeFontID(c.type, "Default");
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(typeid(*copy), c.cls);
        EXPECT_EQ(copy->symbolType(), c.type);
        EXPECT_GT(copy->frame().width(), 0);
        copy->setSymbol(symbol);
        EXPECT_EQ(copy->symbol(), nullptr);
        EXPECT_EQ(copy->symbolType(), c.type);
        // The copy of a copy is still of the class and type.
        EXPECT_EQ(copy->clone()->symbolType(), c.type);
    }
    auto key = std::static_pointer_cast<TOVKeySignatureView>(
        glyphs.objects->symbolObjectViewWithSymbolTypeFontID(0x20A, "Default"));
    EXPECT_EQ(key->keyType(), 0x20A);
}

} // namespace
