#include "GlyphServices.h"
#include "ViewFixture.h"
#include "glyphs/TOVLongRestView.h"
#include "glyphs/TOVRepeatBisEndView.h"
#include "glyphs/TOVRepeatBisView.h"
#include "glyphs/TOVRepeatGeneralView.h"
#include "glyphs/TOVRepeatPrevBarView.h"
#include "glyphs/TOVRepeatVoltaEndView.h"
#include "glyphs/TOVRepeatVoltaView.h"
#include "glyphs/TOVRepeatWithIdNumberView.h"
#include "glyphs/TOVRepeatWithTimesView.h"
#include "model/SymbolRepeat.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "platform/graphics/RecordingGraphicsContext.h"

#include <gtest/gtest.h>

#include <typeinfo>

using glyphtest::GlyphServices;
using glyphtest::ViewFixture;
using platform::DrawingCall;
using platform::Point;
using platform::Rect;
using Points = std::vector<Point>;
using Log = std::vector<std::string>;

namespace {

// A repeat sign of the type in bar 0 with the identifier (none for a null text), shown by a copy of the
// real prototype owned by the bar view.
template <typename T>
std::shared_ptr<T> placeRepeat(ViewFixture& f, const GlyphServices& glyphs, int type, const Rect& barFrame,
                               const QString& id = QString()) {
    SymbolRepeat* symbol =
        tovtest::findBar(f.song.document, 0)->createNewSymbolRepeatWithTypeFrame(type, barFrame);
    if (!id.isNull()) {
        symbol->setRepeatIDString(id);
    }
    auto view =
        std::dynamic_pointer_cast<T>(glyphs.objects->symbolObjectViewWithSymbolTypeFontID(type, "Default"));
    if (!view) {
        ADD_FAILURE() << "no view of class " << typeid(T).name() << " for " << type;
        return nullptr;
    }
    view->setFrameOrigin(f.barView->convertPointToView(barFrame.origin, f.editor.get()));
    f.editor->addSubview(view);
    view->setBarViewBelongTo(f.barView.get());
    view->setSymbol(symbol);
    return view;
}

// The end points of a path's elements, in order.
Points pointsOf(const platform::BezierPath& path) {
    Points points;
    for (const auto& element : path.elements()) {
        points.push_back(element.endPoint());
    }
    return points;
}

std::vector<Points> strokesOf(const platform::RecordingGraphicsContext& ctx) {
    std::vector<Points> strokes;
    for (const auto& call : ctx.callsOfKind(DrawingCall::Kind::StrokePath)) {
        strokes.push_back(pointsOf(call.path));
    }
    return strokes;
}

void draw(TOVObjectView& view, platform::RecordingGraphicsContext& ctx) {
    view.drawRect(view.bounds(), ctx);
}

void expectRectNear(const Rect& actual, const Rect& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-9);
}

double halfTextHeight(const QString& text) {
    return TOVRepeatVoltaView::bracketFont().sizeOfString(text).height / 2;
}

TEST(RepeatBracketViews, AVoltaBreaksItsLineAroundItsTextOrRunsOnWithoutOne) {
    GlyphServices glyphs;
    ViewFixture f;
    auto numbered = placeRepeat<TOVRepeatVoltaView>(f, glyphs, TOVSymbolVoltaBegin, Rect(0, 0, 60, 20), "1.");
    platform::RecordingGraphicsContext ctx;
    draw(*numbered, ctx);
    const double m = halfTextHeight("1.");
    const double tw = TOVRepeatVoltaView::bracketFont().widthOfString("1.");
    ASSERT_GT(m, 2);
    EXPECT_EQ(strokesOf(ctx), (std::vector<Points>{{{2, 18}, {2, m}, {28, m}}, {{tw + 36, m}, {58, m}}}));
    const auto texts = ctx.callsOfKind(DrawingCall::Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "1.");
    EXPECT_EQ(texts[0].point, (Point{32, 0}));
    EXPECT_EQ(texts[0].font->pointSize(), 13.0);
    for (const auto& stroke : ctx.callsOfKind(DrawingCall::Kind::StrokePath)) {
        EXPECT_EQ(stroke.lineWidth, 1.0);
        EXPECT_EQ(stroke.path.lineCapStyle(), platform::LineCap::Round);
        EXPECT_EQ(stroke.color, TOVUtils::objectNormalColor());
    }

    auto empty = placeRepeat<TOVRepeatVoltaView>(f, glyphs, TOVSymbolVoltaBegin, Rect(0, 30, 60, 20), "");
    platform::RecordingGraphicsContext plain;
    draw(*empty, plain);
    const double mA = halfTextHeight("A");
    EXPECT_EQ(strokesOf(plain), (std::vector<Points>{{{2, 18}, {2, mA}, {58, mA}}}));
    EXPECT_TRUE(plain.callsOfKind(DrawingCall::Kind::Text).empty());

    // A selected bracket draws its lines and its text in the selection colour.
    numbered->setState(1);
    platform::RecordingGraphicsContext selected;
    draw(*numbered, selected);
    EXPECT_EQ(selected.callsOfKind(DrawingCall::Kind::StrokePath).back().color,
              TOVUtils::objectSelectedColor());
    EXPECT_EQ(selected.callsOfKind(DrawingCall::Kind::Text)[0].color, TOVUtils::objectSelectedColor());
}

TEST(RepeatBracketViews, EndsHookOnTheRightAndBisIsCentredBetweenTheEnds) {
    GlyphServices glyphs;
    ViewFixture f;
    const double mA = halfTextHeight("A");
    auto voltaEnd =
        placeRepeat<TOVRepeatVoltaEndView>(f, glyphs, TOVSymbolVoltaEnd, Rect(0, 0, 60, 20), "2.");
    platform::RecordingGraphicsContext end;
    draw(*voltaEnd, end);
    EXPECT_EQ(strokesOf(end), (std::vector<Points>{{{2, mA}, {58, mA}, {58, 18}}}));
    EXPECT_TRUE(end.callsOfKind(DrawingCall::Kind::Text).empty());

    for (double width : {60.0, 101.0}) {
        SCOPED_TRACE(width);
        auto bis =
            placeRepeat<TOVRepeatBisView>(f, glyphs, TOVSymbolBisBegin, Rect(0, 30, width, 20), "ignored");
        platform::RecordingGraphicsContext ctx;
        draw(*bis, ctx);
        const auto texts = ctx.callsOfKind(DrawingCall::Kind::Text);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, "bis");
        const double tw = texts[0].rect.width();
        const double x0 = texts[0].point.x;
        const double m = texts[0].rect.height() / 2;
        // The word's middle is the middle between the bracket ends at 2 and width − 2.
        EXPECT_NEAR(x0 + tw / 2, width / 2, 1e-9);
        EXPECT_EQ(strokesOf(ctx),
                  (std::vector<Points>{{{2, 18}, {2, m}, {x0 - 4, m}}, {{x0 + tw + 4, m}, {width - 2, m}}}));
    }

    auto bisEnd = placeRepeat<TOVRepeatBisEndView>(f, glyphs, TOVSymbolBisEnd, Rect(0, 60, 80, 20), "3x");
    platform::RecordingGraphicsContext withText;
    draw(*bisEnd, withText);
    const auto texts = withText.callsOfKind(DrawingCall::Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "3x");
    const double x0 = texts[0].point.x;
    const double tw = texts[0].rect.width();
    const double m = texts[0].rect.height() / 2;
    EXPECT_NEAR(x0 + tw / 2, 40, 1e-9);
    EXPECT_EQ(strokesOf(withText),
              (std::vector<Points>{{{2, m}, {x0 - 4, m}}, {{x0 + tw + 4, m}, {78, m}, {78, 18}}}));
    static_cast<SymbolRepeat*>(bisEnd->symbol())->setRepeatIDString("");
    platform::RecordingGraphicsContext without;
    draw(*bisEnd, without);
    EXPECT_EQ(strokesOf(without), (std::vector<Points>{{{2, mA}, {78, mA}, {78, 18}}}));
    EXPECT_TRUE(without.callsOfKind(DrawingCall::Kind::Text).empty());
}

TEST(RepeatSignViews, TheRepeatTimesGlyphIsChosenByTheCount) {
    GlyphServices glyphs;
    struct Case {
        const char* count;
        int glyph;
    };
    const Case cases[] = {{"5", 5}, {"3", 3}, {"12", 12}, {"2", 2}, {"1", 2}, {"13", 2}, {"", 2}, {"-4", 2}};
    const auto& library = *glyphs.objects->defaultLibrary();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        ViewFixture f;
        // A symbol of zero size keeps the glyph as it is, so that it can be compared.
        auto view =
            placeRepeat<TOVRepeatWithTimesView>(f, glyphs, TOVSymbolRepeatTimes, Rect(10, 10, 0, 0), c.count);
        const auto expected = library.repeatTimesPathWithTimes(static_cast<std::uint64_t>(c.glyph));
        ASSERT_TRUE(expected && view->bezierPath());
        EXPECT_EQ(*view->bezierPath(), *expected);
        EXPECT_EQ(view->symbol()->initialSize(), expected->bounds().size);
        EXPECT_EQ(view->defaultViewSize(), expected->bounds().size);
    }
    // The glyphs differ, so the choice shows.
    EXPECT_NE(*library.repeatTimesPathWithTimes(5), *library.repeatTimesPathWithTimes(2));

    // A new count shows once the view is updated.
    ViewFixture f;
    auto view = placeRepeat<TOVRepeatWithTimesView>(f, glyphs, TOVSymbolRepeatTimes, Rect(10, 10, 0, 0), "4");
    static_cast<SymbolRepeat*>(view->symbol())->setRepeatIDNumber(7);
    view->updateView();
    EXPECT_EQ(*view->bezierPath(), *library.repeatTimesPathWithTimes(7));
}

TEST(RepeatSignViews, PassNumbersFollowTheSignAndGrowItsNaturalSize) {
    GlyphServices glyphs;
    ViewFixture f;
    auto view = placeRepeat<TOVRepeatWithIdNumberView>(f, glyphs, TOVSymbolDaCapo, Rect(10, 10, 0, 0), "13");
    const TOVRepeatNumberStates onesAndThrees{1, 0, 1, 0, 0, 0, 0, 0};
    const auto expected =
        glyphs.objects->repeatIdNumberViewPathWithTypeStatesFontID(TOVSymbolDaCapo, onesAndThrees, "");
    ASSERT_TRUE(view->bezierPath());
    EXPECT_EQ(*view->bezierPath(), *expected);
    const platform::Size before = view->symbol()->initialSize();
    EXPECT_EQ(before, expected->bounds().size);

    static_cast<SymbolRepeat*>(view->symbol())->setRepeatNumberStates({1, 1, 1, 0, 0, 0, 0, 0});
    view->updateView();
    EXPECT_EQ(*view->bezierPath(), *glyphs.objects->repeatIdNumberViewPathWithTypeStatesFontID(
                                       TOVSymbolDaCapo, {1, 1, 1, 0, 0, 0, 0, 0}, ""));
    EXPECT_GT(view->symbol()->initialSize().width, before.width);
    EXPECT_EQ(view->defaultViewSize(), view->symbol()->initialSize());
}

TEST(RepeatSignViews, OnlyADoubleClickOnAViewWithASheetReportsIt) {
    GlyphServices glyphs;
    struct Case {
        int type;
        const std::type_info& cls;
        int sheet;
        const char* report;
    };
    const Case cases[] = {
        {TOVSymbolDaCapo, typeid(TOVRepeatWithIdNumberView), 1, "da capo sheet"},
        {TOVSymbolSegno, typeid(TOVRepeatWithIdNumberView), 1, "da capo sheet"},
        {TOVSymbolRepeatTimes, typeid(TOVRepeatWithTimesView), 2, "times sheet"},
        {TOVSymbolVoltaBegin, typeid(TOVRepeatVoltaView), 3, "volta sheet"},
        {TOVSymbolBisEnd, typeid(TOVRepeatBisEndView), 3, "volta sheet"},
        {TOVSymbolVoltaEnd, typeid(TOVRepeatVoltaEndView), 0, nullptr},
        {TOVSymbolBisBegin, typeid(TOVRepeatBisView), 0, nullptr},
        {TOVSymbolFine, typeid(TOVRepeatGeneralView), 0, nullptr},
        {TOVSymbolRepeatPrevBar1, typeid(TOVRepeatPrevBarView), 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.type);
        ViewFixture f;
        auto view = placeRepeat<TOVSelectableView>(f, glyphs, c.type, Rect(10, 10, 40, 20), "1");
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(typeid(*view), c.cls);
        EXPECT_EQ(typeid(*view->clone()), c.cls);
        EXPECT_EQ(view->editPropertiyType(), c.sheet);
        // Three presses in quick succession: counts 1, 2 and 3.
        const QPointF at(72, 54); // inside, away from every handle
        for (unsigned long t : {100000ul, 100050ul, 100100ul}) {
            f.input->press(at, Qt::LeftButton, t);
            f.input->release(at, Qt::LeftButton, t + 10);
        }
        Log expected{"select only"};
        if (c.report) {
            expected.push_back(c.report);
        }
        EXPECT_EQ(f.controller.log, expected);
    }
}

// A long rest in a bar view 130 × 80 at (50, 40) whose notes area runs from x 20 to x 120.
struct LongRestFixture : ViewFixture {
    GlyphServices glyphs;
    Bar* bar = nullptr;
    std::shared_ptr<TOVLongRestView> view;

    explicit LongRestFixture(std::uint64_t bars) {
        bar = tovtest::findBar(song.document, 0);
        bar->setLongRest(bars);
        barView->shownBar = bar;
        barView->notesArea = Rect(20, 0, 100, 80);
        view = std::dynamic_pointer_cast<TOVLongRestView>(
            glyphs.objects->symbolObjectViewWithSymbolTypeFontID(TOVSymbolLongRest, "Default"));
        editor->addSubview(view);
        view->setBarViewBelongTo(barView.get());
        view->updateView();
    }
};

TEST(LongRestView, SpansTheNotesAreaFromTheSecondToTheFourthStaffLine) {
    struct CountingFrames : TOVLongRestView {
        int frameSets = 0;
        void setFrame(const Rect& frame) override {
            ++frameSets;
            TOVLongRestView::setFrame(frame);
        }
    };
    LongRestFixture f(12);
    ASSERT_NE(f.view, nullptr);
    // The staff top of a bar 80 high is 28.2; the second line is one space lower.
    expectRectNear(f.view->frame(), Rect(70, 40 + 28.2 + TOVStaffSpace, 100, 11.8));
    EXPECT_EQ(f.view->symbolType(), TOVSymbolLongRest);
    EXPECT_EQ(f.view->editPropertiyType(), 4);

    auto counting = std::make_shared<CountingFrames>();
    f.editor->addSubview(counting);
    counting->setBarViewBelongTo(f.barView.get());
    counting->updateView();
    EXPECT_EQ(counting->frameSets, 1);
    counting->updateView(); // nothing changed: the frame is not set again
    EXPECT_EQ(counting->frameSets, 1);
    // The bar view grows: the view follows the next time it is updated.
    f.barView->setFrameSize({200, 100});
    f.barView->notesArea = Rect(20, 0, 170, 100);
    counting->updateView();
    EXPECT_EQ(counting->frameSets, 2);
    expectRectNear(counting->frame(), Rect(70, 40 + 38.2 + TOVStaffSpace, 170, 11.8));
    // Drawing never moves it.
    f.barView->notesArea = Rect(0, 0, 50, 100);
    platform::RecordingGraphicsContext ctx;
    counting->drawRect(counting->bounds(), ctx);
    EXPECT_EQ(counting->frameSets, 2);
}

TEST(LongRestView, DrawsTheCountInDoubledDigitsWithTheBarBrokenAroundIt) {
    struct Case {
        std::uint64_t bars;
        int state;
    };
    for (const Case c : {Case{12, 0}, Case{12, 1}, Case{7, 2}, Case{0, 0}}) {
        SCOPED_TRACE(testing::Message() << c.bars << " bars, state " << c.state);
        LongRestFixture f(c.bars);
        f.view->setState(c.state);
        const double w = 100;
        const double h = 11.8;
        platform::RecordingGraphicsContext ctx;
        draw(*f.view, ctx);

        platform::BezierPath digits =
            *f.glyphs.objects->bezierPathFromNumberDigitsCircleFontID(c.bars, false, "");
        digits.scale(2, 2);
        const Rect box = digits.isEmpty() ? Rect() : digits.bounds();
        const double dx = (w - box.width()) / 2;
        digits.translate(dx, (h - box.height()) / 2);

        const auto strokes = ctx.callsOfKind(DrawingCall::Kind::StrokePath);
        ASSERT_EQ(strokes.size(), 2u);
        EXPECT_EQ(pointsOf(strokes[0].path), (Points{{5, 0}, {5, h}, {95, 0}, {95, h}}));
        EXPECT_EQ(strokes[0].lineWidth, 2.0);
        EXPECT_EQ(strokes[0].path.lineCapStyle(), platform::LineCap::Round);
        EXPECT_EQ(pointsOf(strokes[1].path),
                  (Points{{5, h / 2}, {dx - 5, h / 2}, {dx + box.width() + 5, h / 2}, {95, h / 2}}));
        EXPECT_EQ(strokes[1].lineWidth, 4.0);
        EXPECT_EQ(strokes[1].path.lineCapStyle(), platform::LineCap::Butt);
        const platform::Color colour =
            c.state == 1 ? TOVUtils::objectSelectedColor() : TOVUtils::objectNormalColor();
        EXPECT_EQ(strokes[0].color, colour);

        const auto fills = ctx.callsOfKind(DrawingCall::Kind::FillPath);
        if (c.bars == 0) {
            EXPECT_TRUE(fills.empty());
            EXPECT_EQ(dx, 50); // a gap of 10 in the middle
            continue;
        }
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(fills[0].path, digits);
        EXPECT_EQ(fills[0].color, colour);
        // Twice the digit size: two digits placed 4.0 apart now stand 8.0 apart.
        const auto plain = *f.glyphs.objects->bezierPathFromNumberDigitsCircleFontID(c.bars, false, "");
        EXPECT_NEAR(box.height(), 2 * plain.bounds().height(), 1e-9);
    }
}

TEST(LongRestView, ABarTooNarrowForTheThickBarKeepsOnlyTheNumberAndTheEnds) {
    LongRestFixture f(12);
    f.barView->notesArea = Rect(20, 0, 24, 80);
    f.view->updateView();
    ASSERT_EQ(f.view->frame().width(), 24);
    platform::RecordingGraphicsContext ctx;
    draw(*f.view, ctx);
    // The halves of the thick bar would run backwards over the digits and the end strokes.
    const auto strokes = ctx.callsOfKind(DrawingCall::Kind::StrokePath);
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0].lineWidth, 2.0);
    EXPECT_EQ(ctx.callsOfKind(DrawingCall::Kind::FillPath).size(), 1u);
}

TEST(LongRestView, ADoubleClickAsksForTheCount) {
    LongRestFixture f(4);
    const QPointF at(100, 80);
    f.input->press(at, Qt::LeftButton, 100000);
    f.input->release(at, Qt::LeftButton, 100010);
    f.input->press(at, Qt::LeftButton, 100050);
    f.input->release(at, Qt::LeftButton, 100060);
    EXPECT_EQ(f.controller.log, (Log{"select only", "long rest sheet"}));
    EXPECT_EQ(f.view->state(), 1);
}

} // namespace
