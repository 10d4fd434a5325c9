#include "GlyphServices.h"
#include "ViewFixture.h"
#include "glyphs/TOVClefView.h"
#include "glyphs/TOVKeySignatureView.h"
#include "glyphs/TOVTimeView.h"
#include "model/TOVSymbolTypes.h"

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
        {"G clef", TOVSymbolClefG, false, 30.2},
        {"F clef", TOVSymbolClefF, false, 37.2},
        {"two sharps", TOVSymbolKeySharp2, false, 30.2},
        {"three sharps", TOVSymbolKeySharp3, false, 27.2},
        {"seven sharps", TOVSymbolKeySharp7, false, 27.2},
        {"one flat", TOVSymbolKeyFlat1, false, 40.8},
        {"two flats", TOVSymbolKeyFlat2, false, 31.6},
        {"seven flats", TOVSymbolKeyFlat7, false, 31.6},
        {"three sharps, F clef", TOVSymbolKeySharp3, true, 33.1},
        {"one flat, F clef", TOVSymbolKeyFlat1, true, 46.7},
        {"common time", TOVSymbolTimeCommon, false, 43.8},
        {"4/4", TOVSymbolTime4_4, false, 38.2},
        {"6/8", TOVSymbolTime6_8, false, 38.2},
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
    auto clef = signInBar(f, glyphs, TOVSymbolClefG, 30);
    auto time = signInBar(f, glyphs, TOVSymbolTime4_4, 30);
    clef->adjustSelfOrigin();
    time->adjustSelfOrigin();
    EXPECT_EQ(clef->frame().y(), -1);
    EXPECT_NEAR(time->frame().y(), 3.2, 1e-9);

    f.barView->setFrameSize({130, 100});
    auto loose = std::make_shared<TOVKeySignatureView>(Rect(0, -1, 10, 10));
    loose->setKeyType(TOVSymbolKeySharp3);
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
    Symbol* symbol =
        tovtest::findBar(f.song.document, 0)->createNewSymbolWithTypeFrame(TOVSymbolMarkIntro, Rect());
    struct Case {
        int type;
        const std::type_info& cls;
    };
    const Case cases[] = {{TOVSymbolClefF, typeid(TOVClefView)},
                          {TOVSymbolKeyFlat4, typeid(TOVKeySignatureView)},
                          {TOVSymbolTime9_8, typeid(TOVTimeView)}};
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
        glyphs.objects->symbolObjectViewWithSymbolTypeFontID(TOVSymbolKeyFlat4, "Default"));
    EXPECT_EQ(key->keyType(), TOVSymbolKeyFlat4);
}

} // namespace
