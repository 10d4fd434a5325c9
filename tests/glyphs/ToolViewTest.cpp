// The arrow, line, wave and free-text drawing tools: their figures, their placement from the symbol and
// the editor, and the wave's flip.

#include "ViewFixture.h"
#include "glyphs/TOVToolArrowView.h"
#include "glyphs/TOVToolLineView.h"
#include "glyphs/TOVToolTextView.h"
#include "glyphs/TOVToolWaveView.h"
#include "model/Document.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/RecordingGraphicsContext.h"

#include <gtest/gtest.h>

#include <functional>

using glyphtest::ViewFixture;
using platform::BezierPath;
using platform::DrawingCall;
using platform::PathElementType;
using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

std::vector<DrawingCall> callsOf(platform::View& view, DrawingCall::Kind kind) {
    platform::RecordingGraphicsContext ctx;
    view.drawRect(view.bounds(), ctx);
    return ctx.callsOfKind(kind);
}

std::vector<platform::PathElement> elementsOf(const BezierPath& path) {
    return path.elements();
}

platform::PathElement move(double x, double y) {
    return {PathElementType::MoveTo, {Point{x, y}}};
}
platform::PathElement line(double x, double y) {
    return {PathElementType::LineTo, {Point{x, y}}};
}
platform::PathElement closing() {
    return {PathElementType::ClosePath, {}};
}

TEST(ToolView, ArrowAndLineRunAlongTheMiddleInTheStateColour) {
    TOVToolArrowView arrow(Rect(0, 0, 50, 10));
    TOVToolLineView straight(Rect(0, 0, 50, 10));
    for (int state : {0, 1, 2}) {
        SCOPED_TRACE(state);
        const platform::Color colour =
            state == 1 ? TOVUtils::objectSelectedColor() : TOVUtils::objectNormalColor();
        arrow.setState(state);
        straight.setState(state);

        // The shaft, then the head 10.0 long, closed back to the shaft's start; filled, then stroked.
        const auto fills = callsOf(arrow, DrawingCall::Kind::FillPath);
        const auto arrowStrokes = callsOf(arrow, DrawingCall::Kind::StrokePath);
        ASSERT_FALSE(fills.empty());
        ASSERT_FALSE(arrowStrokes.empty());
        const std::vector<platform::PathElement> head = {move(0.5, 5),  line(49.5, 5), line(40, 0.5),
                                                         line(40, 9.5), line(49.5, 5), closing()};
        EXPECT_EQ(elementsOf(fills[0].path), head);
        EXPECT_EQ(elementsOf(arrowStrokes[0].path), head);
        EXPECT_EQ(fills[0].path.lineJoinStyle(), platform::LineJoin::Round);
        EXPECT_EQ(fills[0].color, colour);
        EXPECT_EQ(arrowStrokes[0].color, colour);

        const auto lineStrokes = callsOf(straight, DrawingCall::Kind::StrokePath);
        ASSERT_FALSE(lineStrokes.empty());
        EXPECT_EQ(elementsOf(lineStrokes[0].path),
                  (std::vector<platform::PathElement>{move(0.5, 5), line(49.5, 5)}));
        EXPECT_EQ(lineStrokes[0].path.lineCapStyle(), platform::LineCap::Round);
        EXPECT_EQ(lineStrokes[0].color, colour);
    }
    // A view without extent draws its figure on one point without failing.
    TOVToolArrowView empty;
    EXPECT_FALSE(callsOf(empty, DrawingCall::Kind::FillPath).empty());
}

TEST(ToolView, TheWaveIsOnePeriodInsideTheViewAndFlipsInPlace) {
    const BezierPath wave = TOVToolWaveView::wavePathForSize(Size{40, 10}, false);
    EXPECT_EQ(wave.lineWidth(), 0.5);
    ASSERT_EQ(wave.elementCount(), 721u);
    EXPECT_EQ(wave.elementAt(0).endPoint(), (Point{2, 5}));
    // The first half bottoms out at 8.0 near x 11 (y grows downward), the second half tops out at 2.0
    // near x 29.
    EXPECT_NEAR(wave.elementAt(181).endPoint().x, 11, 1e-4);
    EXPECT_NEAR(wave.elementAt(181).endPoint().y, 8, 1e-4);
    EXPECT_NEAR(wave.elementAt(541).endPoint().x, 29, 1e-4);
    EXPECT_NEAR(wave.elementAt(541).endPoint().y, 2, 1e-4);
    const Rect box = wave.bounds();
    EXPECT_GE(box.x(), 2);
    EXPECT_LE(box.maxX(), 38);
    EXPECT_NEAR(box.y(), 2, 1e-4);
    EXPECT_NEAR(box.maxY(), 8, 1e-4);

    const BezierPath flipped = TOVToolWaveView::wavePathForSize(Size{40, 10}, true);
    EXPECT_NEAR(flipped.elementAt(181).endPoint().y, 2, 1e-4);
    EXPECT_NEAR(flipped.elementAt(541).endPoint().y, 8, 1e-4);
    EXPECT_NEAR(flipped.bounds().y(), box.y(), 1e-6);
    EXPECT_NEAR(flipped.bounds().maxY(), box.maxY(), 1e-6);
}

TEST(ToolView, DoFlipTogglesTheSymbolsWaveAndTwiceIsNoChange) {
    ViewFixture f;
    auto view = std::make_shared<TOVToolWaveView>(Rect(0, 0, 40, 10));
    SymbolTools* symbol =
        f.song.document->createNewSymbolToolsWithTypeFrame(TOVToolWave, Rect(100, 100, 40, 10));
    f.editor->addSubview(view);
    view->setEditorViewBelongTo(f.editor.get());
    view->setSymbol(symbol);
    auto drawnWave = [&] { return callsOf(*view, DrawingCall::Kind::StrokePath).at(0).path; };
    const BezierPath before = drawnWave();
    EXPECT_EQ(before, TOVToolWaveView::wavePathForSize(Size{40, 10}, false));

    view->doFlip();
    EXPECT_TRUE(symbol->flip());
    EXPECT_EQ(drawnWave(), TOVToolWaveView::wavePathForSize(Size{40, 10}, true));
    view->doFlip();
    EXPECT_FALSE(symbol->flip());
    EXPECT_EQ(drawnWave(), before);
}

TEST(ToolView, UpdateTurnsToTheSymbolsAngleAndGoesWhereTheEditorPlacesTheTool) {
    struct Case {
        const char* name;
        int type;
        std::function<std::shared_ptr<TOVObjectView>()> make;
    };
    const Case cases[] = {
        {"arrow", TOVToolArrow, [] { return std::make_shared<TOVToolArrowView>(Rect(0, 0, 50, 10)); }},
        {"wave", TOVToolWave, [] { return std::make_shared<TOVToolWaveView>(Rect(0, 0, 40, 10)); }},
        {"line", TOVToolLine, [] { return std::make_shared<TOVToolLineView>(Rect(0, 0, 50, 10)); }},
        {"text", TOVToolFreeText,
         [] { return std::make_shared<TOVToolTextView>(QStringLiteral("Free Text")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ViewFixture f;
        // Made after the song, so that it goes before its symbol does.
        const auto view = c.make();
        const Size size = view->frame().size;
        Symbol* symbol =
            c.type == TOVToolFreeText
                ? f.song.document->createNewSymbolTextWithTypeFrame(c.type, Rect(Point{20, 30}, size))
                : f.song.document->createNewSymbolToolsWithTypeFrame(c.type, Rect(Point{20, 30}, size));
        // Without a delegate the tool stands at its symbol's frame.
        f.editor->addSubview(view);
        view->setSymbol(symbol);
        EXPECT_EQ(view->frame().origin, (Point{20, 30}));

        // The editor places a tool that follows a bar.
        view->setEditorViewBelongTo(f.editor.get());
        f.controller.toolOrigin = Point{150, 80};
        symbol->setAngle(30);
        view->updateView();
        EXPECT_EQ(view->frame().origin, (Point{150, 80}));
        EXPECT_EQ(f.controller.log.back(), "inquire origin");
        EXPECT_EQ(view->frameRotation(), c.type == TOVToolFreeText ? 0.0 : 30.0);
    }
}

TEST(ToolView, TheFreeTextIsAsLargeAsItsTextAndCopiesHaveTheirOwn) {
    ViewFixture f;
    TOVToolTextView prototype(QStringLiteral("Free Text"));
    const platform::Font font = platform::Font::namedOrUserFont("Lucida Grande", 10);
    const Size text = font.sizeOfString("Free Text");
    EXPECT_EQ(prototype.frame().size, (Size{text.width + 5, text.height}));
    EXPECT_EQ(prototype.defaultViewSize(), prototype.frame().size);
    EXPECT_EQ(prototype.textView()->frame(), Rect(Point{}, prototype.frame().size));

    auto copy = std::static_pointer_cast<TOVToolTextView>(prototype.clone());
    ASSERT_NE(copy->textView(), nullptr);
    EXPECT_NE(copy->textView(), prototype.textView());
    EXPECT_EQ(copy->textView()->textViewDelegate(), copy.get());
    EXPECT_EQ(copy->textView()->superview(), copy.get());
    EXPECT_EQ(copy->attributedStringValue(), prototype.attributedStringValue());

    // The symbol's text replaces the prototype's, and its changes show in the copy alone.
    SymbolText* symbol =
        f.song.document->createNewSymbolTextWithTypeFrame(TOVToolFreeText, Rect(10, 10, 1, 1));
    symbol->setText(
        platform::AttributedString("Fine", prototype.attributedStringValue().runs()[0].attributes));
    f.editor->addSubview(copy);
    copy->setSymbol(symbol);
    EXPECT_EQ(copy->attributedStringValue().string(), "Fine");
    EXPECT_EQ(copy->frame().size, (Size{font.sizeOfString("Fine").width + 5, text.height}));
    symbol->setText(platform::AttributedString("D.S. al Fine", symbol->text()->runs()[0].attributes));
    EXPECT_EQ(copy->frame().size, (Size{font.sizeOfString("D.S. al Fine").width + 5, text.height}));
    EXPECT_EQ(prototype.attributedStringValue().string(), "Free Text");
}

} // namespace
