// The octave lines, hairpins, metronome mark and rehearsal mark: their geometry as drawn, their rebuild
// from the model, and the clicks they report.

#include "GlyphTestFiles.h"
#include "ViewFixture.h"
#include "glyphs/TOVDynamicsCrescendoView.h"
#include "glyphs/TOVDynamicsDecrescendoView.h"
#include "glyphs/TOVMarkView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "glyphs/TOVOctaveBassaView.h"
#include "glyphs/TOVOctaveGeneralView.h"
#include "glyphs/TOVTempoSpeedView.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/RecordingGraphicsContext.h"

#include <gtest/gtest.h>

using glyphtest::ViewFixture;
using platform::BezierPath;
using platform::DrawingCall;
using platform::Point;
using platform::Rect;
using platform::Size;
using Log = std::vector<std::string>;

namespace {

constexpr double kScale = 0.59;

// The points a path moves and draws to, in order (a close adds none).
std::vector<Point> pointsOf(const BezierPath& path) {
    std::vector<Point> points;
    for (const auto& element : path.elements()) {
        if (element.type != platform::PathElementType::ClosePath) {
            points.push_back(element.endPoint());
        }
    }
    return points;
}

void expectPoints(const BezierPath& path, const std::vector<Point>& expected, double tolerance = 1e-4) {
    const auto points = pointsOf(path);
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(points[i].x, expected[i].x, tolerance) << "point " << i;
        EXPECT_NEAR(points[i].y, expected[i].y, tolerance) << "point " << i;
    }
}

std::vector<DrawingCall> drawn(platform::View& view) {
    platform::RecordingGraphicsContext ctx;
    view.drawRect(view.bounds(), ctx);
    return ctx.calls();
}

std::vector<DrawingCall> strokes(platform::View& view) {
    std::vector<DrawingCall> result;
    for (const auto& call : drawn(view)) {
        if (call.kind == DrawingCall::Kind::StrokePath) {
            result.push_back(call);
        }
    }
    return result;
}

// A glyph file that reads as a w × h rectangle at the symbol scale.
std::string glyphOfDrawnSize(const TempDir& dir, const std::string& name, double w, double h) {
    return dir.write(name + ".svg", glyphtest::rectangleGlyph(w / kScale, h / kScale)).string();
}

TEST(OctaveView, TheEightVaLineRunsFromTheGlyphAndHooksDownAndOnlyTheLineStretches) {
    TempDir dir;
    auto view =
        TOVOctaveGeneralView::makeWithFrameSVGFile(Rect(0, 0, 120, 15), glyphOfDrawnSize(dir, "g", 10, 6));
    EXPECT_EQ(view->frame().size, (Size{120, 15}));
    EXPECT_EQ(view->defaultViewSize(), (Size{120, 15}));

    const auto calls = drawn(*view);
    ASSERT_GE(calls.size(), 2u);
    // The line first, then the glyph over it.
    EXPECT_EQ(calls[0].kind, DrawingCall::Kind::StrokePath);
    expectPoints(calls[0].path, {{12, 3}, {118, 3}, {118, 13}});
    EXPECT_EQ(calls[0].path.lineWidth(), 1.0);
    EXPECT_EQ(calls[0].path.lineCapStyle(), platform::LineCap::Round);
    EXPECT_EQ(calls[1].kind, DrawingCall::Kind::FillPath);
    EXPECT_NEAR(calls[1].path.bounds().width(), 10, 1e-4);

    view->temporallyResizeWithDiffXDiffYMoveXMoveY(80, 0, false, false);
    EXPECT_EQ(view->frame().size, (Size{200, 15}));
    expectPoints(strokes(*view).at(0).path, {{12, 3}, {198, 3}, {198, 13}});
    EXPECT_NEAR(view->bezierPath()->bounds().width(), 10, 1e-4);
    EXPECT_NEAR(view->bezierPath()->bounds().height(), 6, 1e-4);
}

TEST(OctaveView, TheBassaGlyphStaysAtTheBottomThroughResizesAndCopies) {
    TempDir dir;
    auto view =
        TOVOctaveBassaView::makeWithFrameSVGFile(Rect(0, 0, 120, 15), glyphOfDrawnSize(dir, "g", 10, 6));
    EXPECT_EQ(view->frame().size, (Size{120, 15}));
    EXPECT_NEAR(view->bezierPath()->bounds().y(), 9, 1e-4);
    EXPECT_NEAR(view->bezierPath()->bounds().maxY(), 15, 1e-4);
    expectPoints(strokes(*view).at(0).path, {{12, 12}, {118, 12}, {118, 2}});

    view->temporallyResizeWithDiffXDiffYMoveXMoveY(0, 10, false, false);
    EXPECT_EQ(view->frame().size, (Size{120, 25}));
    EXPECT_NEAR(view->bezierPath()->bounds().y(), 19, 1e-4);
    EXPECT_NEAR(view->bezierPath()->bounds().height(), 6, 1e-4);
    expectPoints(strokes(*view).at(0).path, {{12, 22}, {118, 22}, {118, 2}});

    // A copy of the resized view keeps the glyph where it is, and follows its own resizes.
    auto copy = std::static_pointer_cast<TOVOctaveBassaView>(view->clone());
    EXPECT_NEAR(copy->bezierPath()->bounds().y(), 19, 1e-4);
    copy->setFrame(Rect(5, 5, 120, 20));
    EXPECT_NEAR(copy->bezierPath()->bounds().y(), 14, 1e-4);
    EXPECT_NEAR(view->bezierPath()->bounds().y(), 19, 1e-4);
}

TEST(HairpinView, TheLinesOpenTowardsTheLoudEnd) {
    struct Case {
        const char* name;
        std::shared_ptr<TOVObjectView> view;
        std::vector<Point> points;
    };
    const Case cases[] = {
        {"crescendo",
         std::make_shared<TOVDynamicsCrescendoView>(Rect(0, 0, 120, 8)),
         {{2, 4}, {118, 2}, {2, 4}, {118, 6}}},
        {"decrescendo",
         std::make_shared<TOVDynamicsDecrescendoView>(Rect(0, 0, 120, 8)),
         {{118, 4}, {2, 2}, {118, 4}, {2, 6}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto lines = strokes(*c.view);
        ASSERT_EQ(lines.size(), 1u);
        expectPoints(lines[0].path, c.points);
        // Stretching the view moves the open end with it.
        auto copy = c.view->clone();
        copy->setFrameSize({200, 8});
        EXPECT_NEAR(pointsOf(strokes(*copy).at(0).path)[1].x, c.points[1].x == 2 ? 2 : 198, 1e-9);
    }
}

TEST(SymbolLineView, LinesTakeTheSelectedColourOnlyWhenSelected) {
    TempDir dir;
    const std::string glyph = glyphOfDrawnSize(dir, "g", 10, 6);
    const std::shared_ptr<TOVObjectView> views[] = {
        TOVOctaveGeneralView::makeWithFrameSVGFile(Rect(0, 0, 120, 15), glyph),
        TOVOctaveBassaView::makeWithFrameSVGFile(Rect(0, 0, 120, 15), glyph),
        std::make_shared<TOVDynamicsCrescendoView>(Rect(0, 0, 120, 8)),
        std::make_shared<TOVDynamicsDecrescendoView>(Rect(0, 0, 120, 8)),
    };
    for (const auto& view : views) {
        for (int state : {0, 1, 2}) {
            view->setState(state);
            const auto lines = strokes(*view);
            ASSERT_FALSE(lines.empty());
            // The hairpin's lines come last, the octave line first.
            const auto& line = dynamic_cast<TOVOctaveGeneralView*>(view.get()) ? lines.front() : lines.back();
            EXPECT_EQ(line.color,
                      state == 1 ? TOVUtils::objectSelectedColor() : TOVUtils::objectNormalColor())
                << "state " << state;
        }
    }
}

// A font folder with the metronome glyph (20 × 10 drawn) and digits 0 to 9 (3 + d wide, 5 high), and a
// factory on it that the views reach through the utilities.
class TempoSpeedTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.write("resources/tempoSpeed.svg", glyphtest::rectangleGlyph(20 / kScale, 10 / kScale));
        for (int d = 0; d <= 9; ++d) {
            folder_.write("resources/generalNumber" + std::to_string(d) + ".svg",
                          glyphtest::rectangleGlyph((3 + d) / kScale, 5 / kScale));
        }
        TOVUtils::overrideResourceDirectory((folder_.path() / "resources").string());
        factory_.installPluginFontID("Default");
        TOVUtils::Services services;
        services.objectViewFactory = [this] { return &factory_; };
        TOVUtils::registerServices(services);
    }
    void TearDown() override {
        TOVUtils::registerServices({});
        TOVUtils::overrideResourceDirectory(std::nullopt);
    }

    // A metronome view from the library for a tempo symbol of bar 0, at its natural size.
    std::shared_ptr<TOVTempoSpeedView> place(ViewFixture& f, std::uint64_t speed) {
        auto view = std::dynamic_pointer_cast<TOVTempoSpeedView>(
            factory_.symbolObjectViewWithSymbolTypeFontID(TOVSymbolTempoSpeed, "Default"));
        EXPECT_NE(view, nullptr);
        const Size natural = factory_.tempoSpeedPathWithSpeedFontID(speed, "Default")->bounds().size;
        symbol_ = tovtest::findBar(f.song.document, 0)
                      ->createNewSymbolTempoWithTypeFrame(TOVSymbolTempoSpeed, Rect(Point{10, 5}, natural));
        symbol_->setSpeed(speed);
        f.editor->addSubview(view);
        view->setBarViewBelongTo(f.barView.get());
        view->setSymbol(symbol_);
        return view;
    }

    TempDir folder_;
    TOVObjectViewFactory factory_;
    SymbolTempo* symbol_ = nullptr;
};

TEST_F(TempoSpeedTest, TheMarkIsRebuiltFromTheSymbolsSpeed) {
    ViewFixture f;
    auto view = place(f, 120);
    EXPECT_EQ(view->editPropertiyType(), 5);
    ASSERT_TRUE(view->bezierPath());
    EXPECT_EQ(*view->bezierPath(), *factory_.tempoSpeedPathWithSpeedFontID(120, "Default"));
    // Glyph, then 1, 2 and 0 from 2.0 after it, 8.0 below its top.
    const auto parts = glyphtest::subpathBounds(*view->bezierPath());
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_NEAR(parts[1].x(), 22, 1e-4);
    EXPECT_NEAR(parts[1].width(), 4, 1e-4);
    EXPECT_NEAR(parts[2].width(), 5, 1e-4);
    EXPECT_NEAR(parts[3].width(), 3, 1e-4);
    EXPECT_NEAR(parts[3].y(), 8, 1e-4);
    EXPECT_EQ(view->frame(), Rect(Point{60, 45}, view->defaultViewSize()));
    EXPECT_EQ(view->speed(), std::numeric_limits<std::uint64_t>::max()); // the field is not what it shows

    symbol_->setSpeed(8);
    view->updateView();
    const BezierPath eight = *factory_.tempoSpeedPathWithSpeedFontID(8, "Default");
    EXPECT_EQ(*view->bezierPath(), eight);
    EXPECT_EQ(symbol_->initialSize(), eight.bounds().size);
    EXPECT_EQ(view->defaultViewSize(), eight.bounds().size);
    EXPECT_EQ(view->frame().size, eight.bounds().size); // at the symbol's scale of 1
}

TEST_F(TempoSpeedTest, ASpeedAbove999ShowsAs999) {
    ViewFixture f;
    auto view = place(f, 999);
    const BezierPath largest = *view->bezierPath();
    for (std::uint64_t speed : {1000ULL, 5000ULL, ~0ULL}) {
        symbol_->setSpeed(speed);
        view->updateView();
        ASSERT_TRUE(view->bezierPath()) << speed;
        EXPECT_EQ(*view->bezierPath(), largest) << speed;
    }
}

TEST_F(TempoSpeedTest, OnlyADoubleClickAsksForANewSpeed) {
    struct Case {
        int clicks;
        Log log;
    };
    const Case cases[] = {{1, {"select only"}},
                          {2, {"select only", "tempo double click"}},
                          {3, {"select only", "tempo double click"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clicks);
        ViewFixture f;
        auto view = place(f, 120);
        const Point inside{view->frame().x() + 5, view->frame().y() + 3};
        for (int i = 0; i < c.clicks; ++i) {
            f.input->press({inside.x, inside.y}, Qt::LeftButton, 100000 + 20 * i);
            f.input->release({inside.x, inside.y}, Qt::LeftButton, 100010 + 20 * i);
        }
        EXPECT_EQ(f.controller.log, c.log);
    }
}

platform::Font markFont() {
    return platform::Font::namedOrUserFont("Lucida Grande", 14);
}

TEST(MarkView, TheMarkIsSizedToItsTextAndFramedOnceItHasASymbol) {
    ViewFixture f;
    TOVMarkView prototype(QStringLiteral("Intro"));
    const Size text = markFont().sizeOfString("Intro");
    const Size field{text.width + 5, text.height};
    // The prototype is as large as its text view.
    EXPECT_EQ(prototype.frame().size, field);
    EXPECT_EQ(prototype.defaultViewSize(), field);
    EXPECT_EQ(prototype.attributedStringValue().string(), "Intro");

    auto view = std::static_pointer_cast<TOVMarkView>(prototype.clone());
    SymbolText* symbol = tovtest::findBar(f.song.document, 0)
                             ->createNewSymbolTextWithTypeFrame(
                                 TOVSymbolMarkIntro, Rect(Point{10, 5}, prototype.defaultViewSize()));
    symbol->setText(view->attributedStringValue());
    f.editor->addSubview(view);
    view->setBarViewBelongTo(f.barView.get());
    view->setSymbol(symbol);
    EXPECT_EQ(view->frame(), Rect(60, 45, field.width + 8, field.height + 2));
    EXPECT_EQ(view->textView()->frame(), Rect(Point{4, 0.2}, field));

    // The text is drawn by the text view, inset in the frame.
    platform::RecordingGraphicsContext tree;
    view->drawTree(view->bounds(), tree);
    const auto texts = tree.callsOfKind(DrawingCall::Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "Intro");
    EXPECT_EQ(texts[0].devicePoint, (Point{4, 0.2}));
    EXPECT_EQ(texts[0].font->pointSize(), 14);

    const Size size = view->bounds().size;
    for (int state : {0, 1, 2}) {
        SCOPED_TRACE(state);
        view->setState(state);
        std::vector<DrawingCall> frames;
        for (const auto& call : strokes(*view)) {
            if (call.path.lineWidth() == 1.5) {
                frames.push_back(call);
            }
        }
        if (state == 2) {
            EXPECT_TRUE(frames.empty());
            continue;
        }
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].path.bounds(), Rect(0.75, 0.75, size.width - 1.5, size.height - 1.5));
        EXPECT_EQ(frames[0].color,
                  state == 1 ? TOVUtils::objectSelectedColor() : TOVUtils::objectNormalColor());
    }

    // The mark follows its symbol's text.
    symbol->setText(platform::AttributedString("Chorus", symbol->text()->runs()[0].attributes));
    EXPECT_EQ(view->attributedStringValue().string(), "Chorus");
    EXPECT_DOUBLE_EQ(view->frame().width(), markFont().sizeOfString("Chorus").width + 5 + 8);
    EXPECT_EQ(prototype.attributedStringValue().string(), "Intro");
}

} // namespace
