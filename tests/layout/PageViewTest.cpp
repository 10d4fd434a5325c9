#include "FakeLayoutController.h"

#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using layouttest::FakeLayoutController;
using platform::DrawingCall;
using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

constexpr LineSpec kHeader{0, 0, false};
constexpr LineSpec kSingle{4, 4, false};
constexpr LineSpec kDouble{4, 4, true};

// Page views of a document, in an editor view with the fake controller.
class PageViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        controller.editor = editor.get();
        editor->setDelegate(&controller);
    }
    void TearDown() override {
        editor->setDocData(nullptr);
        platform::UserDefaults::standard().removeObjectForKey("pageBackgroundColor");
    }
    void bind(const std::vector<PageSpec>& pages, const QString& songName = QString()) {
        document = tovtest::makeLayout(*context, pages);
        if (!songName.isEmpty()) {
            document->createNewSong()->setName(platform::AttributedString(songName));
        }
        editor->setDocData(document);
    }
    TOVEditorPageView* pageView(std::uint64_t num) const {
        for (const auto& view : editor->pageViewArray()) {
            if (view->page()->num() == num) {
                return view.get();
            }
        }
        return nullptr;
    }
    // What the page draws into a recording context, the whole sheet or only the dirty rectangle.
    std::vector<DrawingCall> draw(TOVEditorPageView* page, bool toScreen, const Rect& dirty) {
        platform::RecordingGraphicsContext ctx(toScreen);
        page->drawTree(dirty, ctx);
        return ctx.calls();
    }

    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    FakeLayoutController controller;
    std::shared_ptr<TOVEditorView> editor = std::make_shared<TOVEditorView>(Rect(0, 0, 595, 6000));
    Document* document = nullptr;
};

// The grid lines among the calls: solid or dashed, vertical at x or horizontal at y.
struct GridLines {
    std::vector<double> solidX, solidY, dashedX, dashedY;
};

GridLines gridLines(const std::vector<DrawingCall>& calls) {
    GridLines lines;
    for (const auto& call : calls) {
        if (call.kind != DrawingCall::Kind::StrokePath || call.path.elementCount() != 2) {
            continue;
        }
        const Point from = call.path.elementAt(0).points[0];
        const Point to = call.path.elementAt(1).points[0];
        const bool dashed = !call.path.lineDashPattern().empty();
        EXPECT_EQ(call.path.lineWidth(), 0.1);
        EXPECT_EQ(call.color, platform::Color::gray());
        if (dashed) {
            EXPECT_EQ(call.path.lineDashPattern(), (std::vector<double>{0.5, 0.5}));
        }
        if (from.x == to.x) {
            EXPECT_EQ(from.y, 1);
            EXPECT_EQ(to.y, 841);
            (dashed ? lines.dashedX : lines.solidX).push_back(from.x);
        } else {
            EXPECT_EQ(from.x, 1);
            EXPECT_EQ(to.x, 594);
            (dashed ? lines.dashedY : lines.solidY).push_back(from.y);
        }
    }
    return lines;
}

std::vector<DrawingCall> fills(const std::vector<DrawingCall>& calls) {
    std::vector<DrawingCall> out;
    for (const auto& call : calls) {
        if (call.kind == DrawingCall::Kind::FillRect || call.kind == DrawingCall::Kind::FillPath) {
            out.push_back(call);
        }
    }
    return out;
}

TEST_F(PageViewTest, LineSlotsDivideTheSheetInWholePoints) {
    const std::map<std::uint64_t, double> cases{{10, 76}, {7, 108}, {4, 190}, {1, 762}, {762, 1}, {763, 0}};
    std::vector<PageSpec> pages;
    for (const auto& [slotCount, height] : cases) {
        pages.push_back(PageSpec{slotCount, {kSingle}});
    }
    bind(pages);
    std::uint64_t num = 0;
    for (const auto& [slotCount, height] : cases) {
        TOVEditorPageView* page = pageView(num++);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->lineHeight(), height) << slotCount;
        ASSERT_EQ(page->lineViewArray().size(), 1u);
        EXPECT_EQ(page->lineViewArray().front()->frame(), Rect(0, 40, 595, height));
    }
}

TEST_F(PageViewTest, LinesStackWithLowerStavesRightBelowTheirUpperOnes) {
    // Page 1: A single, B double (B' below it), C single, D single.
    bind({PageSpec{10, {kHeader, kSingle}}, PageSpec{10, {kSingle, kDouble, kSingle, kSingle}}});
    TOVEditorPageView* page = pageView(1);
    ASSERT_EQ(page->lineViewArray().size(), 5u);
    const auto& views = page->lineViewArray();
    TOVEditorLineView *a = views[0].get(), *b = views[1].get(), *b2 = views[2].get(), *c = views[3].get(),
                      *d = views[4].get();
    EXPECT_TRUE(b2->isLowerPart());
    EXPECT_EQ(b2->line(), b->line()->lower());
    for (std::size_t i = 0; i < views.size(); ++i) {
        EXPECT_EQ(views[i]->frame().y(), 40 + 76.0 * static_cast<double>(i));
        EXPECT_EQ(page->indexOfLine(views[i]->line()), i);
    }
    EXPECT_EQ(page->indexOfLine(pageView(0)->lineViewArray()[1]->line()), 5u); // not on this page
    EXPECT_EQ(page->alternativeLineViewOf(b), b2);
    EXPECT_EQ(page->alternativeLineViewOf(b2), b);
    EXPECT_EQ(page->alternativeLineViewOf(a), nullptr);
    EXPECT_EQ(page->numberOfValidLines(), 4u);
    EXPECT_EQ(page->numberOfBars(), 20u);

    struct Step {
        TOVEditorLineView* from;
        TOVEditorLineView* next;
        bool nextStop;
        TOVEditorLineView* previous;
        bool previousStop;
    };
    const Step steps[] = {
        {a, b, false, nullptr, false}, {b, c, false, a, false},       {b2, nullptr, true, nullptr, true},
        {c, d, false, b, false},       {d, nullptr, false, c, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(page->indexOfLine(s.from->line()));
        bool stop = !s.nextStop;
        EXPECT_EQ(page->nextLineViewOfStop(s.from, stop), s.next);
        EXPECT_EQ(stop, s.nextStop);
        stop = !s.previousStop;
        EXPECT_EQ(page->previousLineViewOfStop(s.from, stop), s.previous);
        EXPECT_EQ(stop, s.previousStop);
    }
    // Without D the lower staff B' reaches the end of the page without a single line after it.
    page->removeLineView(d->line());
    bool stop = true;
    EXPECT_EQ(page->nextLineViewOfStop(b2, stop), nullptr);
    EXPECT_FALSE(stop);

    EXPECT_EQ(page->firstLineViewOfLower(false), a);
    EXPECT_EQ(page->lastLineViewOfLower(false), c);
    EXPECT_EQ(page->lastLineViewOfLower(true), nullptr);
}

TEST_F(PageViewTest, TheSongHeaderTakesTheFirstSlotOfTheFirstPage) {
    bind({PageSpec{10, {kHeader, kDouble}}, PageSpec{10, {kHeader}}, PageSpec{10, {kSingle}}});
    TOVEditorPageView* first = pageView(0);
    EXPECT_EQ(editor->songSettingAreaLineView(), first->lineViewArray()[0].get());
    EXPECT_EQ(first->firstLineViewOfLower(false), first->lineViewArray()[1].get());
    EXPECT_EQ(first->firstLineViewOfLower(true), first->lineViewArray()[2].get());
    EXPECT_EQ(first->lastLineViewOfLower(true), first->lineViewArray()[2].get());
    EXPECT_EQ(first->lastLineViewOfLower(false), first->lineViewArray()[1].get());
    // On any other page the first line is a staff, even one without bars.
    EXPECT_EQ(pageView(1)->firstLineViewOfLower(false), pageView(1)->lineViewArray()[0].get());
    EXPECT_EQ(pageView(1)->firstBarViewOfLower(false), nullptr);
    EXPECT_EQ(first->nextPageView(), pageView(1));
    EXPECT_EQ(pageView(2)->previousPageView(), pageView(1));
    EXPECT_EQ(pageView(2)->nextPageView(), nullptr);

    editor->setDocData(nullptr);
    context = tovtest::makeSongContext();
    bind({PageSpec{10, {kHeader}}});
    EXPECT_EQ(pageView(0)->firstLineViewOfLower(false), nullptr);
}

TEST_F(PageViewTest, TheFooterNamesTheSongAndCountsEveryPage) {
    // Page 3 has no slots and so no view, but is counted all the same.
    bind({PageSpec{10, {kHeader, kSingle}}, PageSpec{10, {kSingle}}, PageSpec{10, {kSingle}}, PageSpec{0, {}},
          PageSpec{10, {kSingle}}},
         "Name");
    TOVEditorPageView* page = pageView(2);
    EXPECT_EQ(page->footerText(), "Name  3 / 5");
    EXPECT_EQ(pageView(4)->footerText(), "Name  5 / 5");

    for (bool toScreen : {true, false}) {
        SCOPED_TRACE(toScreen);
        const auto calls = draw(page, toScreen, page->bounds());
        std::vector<DrawingCall> texts;
        for (const auto& call : calls) {
            if (call.kind == DrawingCall::Kind::Text) {
                texts.push_back(call);
            }
        }
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, "Name  3 / 5");
        ASSERT_TRUE(texts[0].font.has_value());
        EXPECT_EQ(texts[0].font->pointSize(), 8);
        EXPECT_EQ(texts[0].font->fontName(), "LucidaGrande");
        // Centred, its box 20 above the sheet's bottom edge.
        const platform::Size size = texts[0].font->sizeOfString("Name  3 / 5");
        EXPECT_NEAR(texts[0].point.x, (595 - size.width) / 2, 1e-9);
        EXPECT_NEAR(texts[0].point.y, 842 - size.height - 20, 1e-9);
        EXPECT_GT(texts[0].point.x, 250);
        EXPECT_LT(texts[0].point.x + size.width, 345);
    }
    // Without a song name the footer keeps the numbers.
    editor->setDocData(nullptr);
    context = tovtest::makeSongContext();
    bind({PageSpec{10, {kHeader}}});
    EXPECT_EQ(pageView(0)->footerText(), "  1 / 1");
}

TEST_F(PageViewTest, OnScreenTheSheetTakesTheBackgroundColourAndTheGridOnPaperOnlyWhite) {
    const platform::Color cream = platform::Color::fromRGB(1.0, 0.97, 0.88);
    platform::UserDefaults::standard().setData("pageBackgroundColor",
                                               platform::KeyedArchiver::archivedDataWithRootColor(cream));
    bind({PageSpec{10, {kHeader}}}, "Song");
    controller.showGrid = true;
    controller.scale = {4, 4};
    TOVEditorPageView* page = pageView(0);

    // The song header's line has no bars: its staff lines have no length and hide nothing.
    auto sheetFills = [](const std::vector<DrawingCall>& calls) {
        std::vector<DrawingCall> out;
        for (const auto& call : fills(calls)) {
            if (call.kind != DrawingCall::Kind::FillPath || call.path.bounds().width() > 0) {
                out.push_back(call);
            }
        }
        return out;
    };
    const auto screen = draw(page, true, page->bounds());
    const auto screenFills = sheetFills(screen);
    ASSERT_EQ(screenFills.size(), 1u);
    EXPECT_EQ(screenFills[0].rect, Rect(0, 0, 595, 842));
    EXPECT_EQ(screenFills[0].color, cream);
    EXPECT_FALSE(gridLines(screen).solidX.empty());

    const auto paper = draw(page, false, page->bounds());
    const auto paperFills = sheetFills(paper);
    ASSERT_EQ(paperFills.size(), 1u);
    EXPECT_EQ(paperFills[0].rect, Rect(0, 0, 595, 842));
    EXPECT_EQ(paperFills[0].color, platform::Color::white());
    for (const auto& call : paper) {
        EXPECT_NE(call.kind, DrawingCall::Kind::StrokePath);
    }
}

TEST_F(PageViewTest, TheGridFollowsTheZoomAndDashesOnlyWhereTheSheetIsRedrawn) {
    bind({PageSpec{10, {kHeader, kSingle}}});
    TOVEditorPageView* page = pageView(0);
    controller.showGrid = true;

    std::vector<double> solidX, solidY;
    for (double x = 10; x < 595; x += 10) {
        solidX.push_back(x);
    }
    for (double y = 10; y < 842; y += 10) {
        solidY.push_back(y);
    }
    struct Case {
        double zoom;
        Rect dirty;
        std::vector<double> dashedX, dashedY;
    };
    const Case cases[] = {
        {1.0, Rect(0, 0, 30, 20), {}, {}},
        {1.99, Rect(0, 0, 595, 842), {}, {}},
        {3.0, Rect(0, 0, 30, 20), {5, 15, 25}, {5, 15}},
        // Both edges of the dirty rectangle count.
        {3.0, Rect(15, 100, 10, 10), {15, 25}, {105}},
        {4.0,
         Rect(0, 0, 30, 20),
         {2.5, 5, 7.5, 12.5, 15, 17.5, 22.5, 25, 27.5},
         {2.5, 5, 7.5, 12.5, 15, 17.5}},
        {6.0, Rect(590, 835, 5, 7), {592.5, 595}, {835, 837.5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zoom);
        controller.scale = {c.zoom, c.zoom};
        const GridLines lines = gridLines(draw(page, true, c.dirty));
        // The solid lines are drawn over the whole sheet whatever is redrawn.
        EXPECT_EQ(lines.solidX, solidX);
        EXPECT_EQ(lines.solidY, solidY);
        EXPECT_EQ(lines.dashedX, c.dashedX);
        EXPECT_EQ(lines.dashedY, c.dashedY);
    }
    controller.showGrid = false;
    const GridLines none = gridLines(draw(page, true, page->bounds()));
    EXPECT_TRUE(none.solidX.empty() && none.dashedX.empty());
}

} // namespace
