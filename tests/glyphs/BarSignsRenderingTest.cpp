// A line of four bars holding every clef, key, time, chord, repeat, bracket and long-rest view kind, drawn
// from the real "Default" glyphs by a window, once as they stand and once selected. The picture is written
// to TOVRIN_BAR_SIGNS_OUT when that is set, else to the temporary folder, to be looked at.

#include "GlyphServices.h"
#include "ViewFixture.h"
#include "glyphs/TOVChordObjectView.h"
#include "glyphs/TOVLongRestView.h"
#include "model/Chord.h"
#include "model/SymbolRepeat.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "platform/graphics/GraphicsContext.h"
#include "support/ImageInk.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

using glyphtest::FakeBarView;
using glyphtest::FakeEditorView;
using glyphtest::GlyphServices;
using platform::Point;
using platform::Rect;

namespace {

using tovtest::inkIn;

class WhitePage : public FakeEditorView {
public:
    using FakeEditorView::FakeEditorView;
    void drawRect(const Rect& dirty, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{1, 1, 1, 1});
        ctx.fillRect(dirty);
    }
};

// A bar view that draws its staff and its right barline, as the score does around the signs.
class StaffBar : public FakeBarView {
public:
    using FakeBarView::FakeBarView;
    void drawRect(const Rect&, platform::GraphicsContext& ctx) override {
        const double top = posY5LinesTop();
        const double w = bounds().width();
        ctx.setFillColor(platform::Color{0, 0, 0, 1});
        for (int line = 0; line < 5; ++line) {
            ctx.fillRect(Rect(0, top + TOVStaffSpace * line - 0.3, w, 0.6));
        }
        ctx.fillRect(Rect(w - 1, top - 0.3, 1, 23.6 + 0.6));
        if (first) {
            ctx.fillRect(Rect(0, top - 0.3, 1, 23.6 + 0.6));
        }
    }
    bool first = false;
};

struct Scene {
    GlyphServices glyphs;
    tovtest::TestSong song;
    glyphtest::FakeObjectController controller;
    std::shared_ptr<WhitePage> page = std::make_shared<WhitePage>(Rect(0, 0, 780, 300));
    std::vector<std::shared_ptr<StaffBar>> bars;
    std::vector<std::shared_ptr<TOVObjectView>> views;

    Scene() { page->controller = &controller; }

    std::shared_ptr<StaffBar> addBar(double x, double y, double width, Bar* bar) {
        auto view = std::make_shared<StaffBar>(Rect(x, y, width, 110), page.get());
        view->shownBar = bar;
        page->addSubview(view);
        bars.push_back(view);
        return view;
    }

    void own(const std::shared_ptr<TOVObjectView>& view, StaffBar& bar) {
        page->addSubview(view);
        view->setBarViewBelongTo(&bar);
        views.push_back(view);
    }

    // Clef, key and time from the bar's left edge, as the bar view lines them up; answers where the notes
    // area begins.
    double addClefKeyTime(StaffBar& bar, std::initializer_list<int> types) {
        double x = 2.0;
        for (int type : types) {
            auto view = glyphs.objects->symbolObjectViewWithSymbolTypeFontID(type, "Default");
            own(view, bar);
            view->adjustSelfOrigin();
            view->setFrameOrigin(bar.convertPointToView({x, view->frame().y()}, page.get()));
            x += view->frame().width() + 1.0;
        }
        return x + 4.0;
    }

    // A repeat sign at its natural size (or, for a bracket, the given size) at a point of the bar.
    std::shared_ptr<TOVObjectView> addSign(StaffBar& bar, int type, Point at, const QString& id = QString(),
                                           platform::Size bracket = {}) {
        auto view = glyphs.objects->symbolObjectViewWithSymbolTypeFontID(type, "Default");
        const platform::Size size = bracket.width > 0 ? bracket : view->defaultViewSize();
        SymbolRepeat* symbol = bar.shownBar->createNewSymbolRepeatWithTypeFrame(type, Rect(at, size));
        if (!id.isNull()) {
            symbol->setRepeatIDString(id);
        }
        symbol->setInitialSize(view->defaultViewSize());
        own(view, bar);
        view->setSymbol(symbol);
        return view;
    }

    void addChord(StaffBar& bar, const TOVChordElems& elems, Point at) {
        Chord* chord = bar.shownBar->createNewChordWithElemsTiming(elems, 0);
        auto view = TOVChordObjectView::withChord(chord);
        chord->setFrame(Rect(at, view->defaultViewSize()));
        chord->setInitialSize(view->defaultViewSize());
        own(view, bar);
        view->setSymbol(chord);
    }

    void addLongRest(StaffBar& bar, std::uint64_t count, double notesX) {
        bar.shownBar->setLongRest(count);
        bar.notesArea = Rect(notesX, 0, bar.frame().width() - notesX - 4.0, bar.frame().height());
        auto view = glyphs.objects->symbolObjectViewWithSymbolTypeFontID(TOVSymbolLongRest, "Default");
        own(view, bar);
        view->updateView();
    }

    // The line of four bars with its top at y.
    void addLine(double y) {
        Bar* b[4];
        for (std::uint64_t i = 0; i < 4; ++i) {
            b[i] = tovtest::findBar(song.document, i + (y > 0 ? 4 : 0));
        }
        // Bar 1: G clef, D major, 4/4, a segno, the first-time bracket and a chord.
        auto first = addBar(10, y, 210, b[0]);
        first->first = true;
        const double notes = addClefKeyTime(*first, {TOVSymbolClefG, TOVSymbolKeySharp2, TOVSymbolTime4_4});
        addSign(*first, TOVSymbolSegno, {4, 16});
        addSign(*first, TOVSymbolVoltaBegin, {notes - 4, 0}, "1.", {210 - notes + 4, 44});
        addChord(*first, TOVChordElems::fromCodes(3, 6, 70, 17), {notes + 6, 28});
        // Bar 2: a rest of twelve bars, the end of the bracket, a D.C. for passes 1 and 3.
        auto second = addBar(220, y, 170, b[1]);
        addSign(*second, TOVSymbolVoltaEnd, {0, 0}, QString(), {60, 44});
        addLongRest(*second, 12, 10);
        addSign(*second, TOVSymbolDaCapo, {110, 80}, "13");
        // Bar 3: played twice (bis), repeat the bar before, four times, a coda.
        auto third = addBar(390, y, 180, b[2]);
        addSign(*third, TOVSymbolBisBegin, {4, 0}, QString(), {172, 44});
        addSign(*third, TOVSymbolRepeatPrevBar1, {78, 45});
        addSign(*third, TOVSymbolRepeatTimes, {150, 22}, "4");
        addSign(*third, TOVSymbolCoda, {6, 82});
        // Bar 4: the end of a repeated passage with its text, simile below the staff, and Fine.
        auto fourth = addBar(570, y, 200, b[3]);
        addSign(*fourth, TOVSymbolBisEnd, {0, 0}, "3x", {196, 44});
        addSign(*fourth, TOVSymbolSimile, {20, 84});
        addSign(*fourth, TOVSymbolFine, {150, 84});
    }
};

TEST(BarSignsRendering, EveryViewOfALineOfBarsShowsInkFromTheRealGlyphs) {
    Scene scene;
    scene.addLine(0);
    const std::size_t firstRow = scene.views.size();
    scene.addLine(140);
    for (std::size_t i = firstRow; i < scene.views.size(); ++i) {
        scene.controller.objectViewShouldBeSelectedAndClearOthers(scene.views[i].get(), false);
    }

    constexpr double kZoom = 3.0;
    scene.page->setFrame(Rect(0, 0, 780 * kZoom, 260 * kZoom));
    scene.page->setBoundsSize({780, 260});
    platform::ViewHost host;
    host.setRootView(scene.page);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage image = host.grab().toImage();
    const char* out = std::getenv("TOVRIN_BAR_SIGNS_OUT");
    const std::string file =
        out ? std::string(out) : (std::filesystem::temp_directory_path() / "tovrin-bar-signs.png").string();
    EXPECT_TRUE(image.save(QString::fromStdString(file)));

    for (const auto& view : scene.views) {
        SCOPED_TRACE(testing::Message() << std::hex << view->symbolType());
        const Rect f = view->frame();
        ASSERT_GT(f.width(), 0);
        ASSERT_GT(f.height(), 0);
        const QRect area(int(f.x() * kZoom), int(f.y() * kZoom), int(f.width() * kZoom),
                         int(f.height() * kZoom));
        EXPECT_GT(inkIn(image, area), 0);
    }
}

} // namespace
