// One bar of a lead sheet with an octave line above and below, hairpins, a dynamic, a metronome mark,
// a tempo change, rehearsal marks and the four drawing tools, made by the factory from the real
// "Default" glyphs and painted by a window at three times the size. Set TOVRIN_BAR_OUT to a file name
// to keep the picture.

#include "ViewFixture.h"
#include "glyphs/TOVMarkView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "glyphs/TOVTempoSpeedView.h"
#include "glyphs/TOVToolTextView.h"
#include "glyphs/TOVToolWaveView.h"
#include "model/Document.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ViewHost.h"
#include "support/ImageInk.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

constexpr double kZoom = 3.0;

class WhitePage : public glyphtest::FakeEditorView {
public:
    using FakeEditorView::FakeEditorView;
    void drawRect(const Rect& dirty, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{1, 1, 1, 1});
        ctx.fillRect(dirty);
    }
};

// A bar view that draws its staff: five lines centred in its height and a barline at each end.
class StaffBar : public glyphtest::FakeBarView {
public:
    using FakeBarView::FakeBarView;
    double staffTop() const { return (bounds().height() - 4 * TOVStaffSpace) / 2; }
    void drawRect(const Rect&, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{0, 0, 0, 1});
        const double w = bounds().width();
        for (int i = 0; i < 5; ++i) {
            ctx.fillRect(Rect(0, staffTop() + i * TOVStaffSpace - 0.25, w, 0.5));
        }
        ctx.fillRect(Rect(0, staffTop(), 1, 4 * TOVStaffSpace));
        ctx.fillRect(Rect(w - 1, staffTop(), 1, 4 * TOVStaffSpace));
    }
};

// The ink in an area given in sheet points.
int inkIn(const QImage& image, const Rect& area) {
    return tovtest::inkIn(image, QRect(int(area.x() * kZoom), int(area.y() * kZoom),
                                       int(area.width() * kZoom) + 1, int(area.height() * kZoom) + 1));
}

TEST(SymbolBarRender, ABarWithEachLineTempoMarkAndToolViewReadsAsMusic) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVObjectViewFactory factory;
    factory.installPluginFontID("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);
    TOVUtils::Services services;
    services.objectViewFactory = [&factory] { return &factory; };
    TOVUtils::registerServices(services);

    tovtest::TestSong song;
    glyphtest::FakeObjectController controller;
    auto page = std::make_shared<WhitePage>(Rect(0, 0, 330, 190));
    page->controller = &controller;
    auto bar = std::make_shared<StaffBar>(Rect(20, 30, 290, 100), page.get());
    page->addSubview(bar);
    Bar* model = tovtest::findBar(song.document, 0);
    const double top = bar->staffTop();
    const double bottom = top + 4 * TOVStaffSpace;

    struct Placed {
        const char* name;
        std::shared_ptr<TOVObjectView> view;
    };
    std::vector<Placed> placed;
    // A view of the type for the symbol, placed at its frame in the bar, or at its natural size there.
    auto place = [&](const char* name, int type, Symbol* symbol, Point origin, Size size = {}) {
        auto view = factory.symbolObjectViewWithSymbolTypeFontID(type, "Default");
        EXPECT_NE(view, nullptr) << name;
        if (!view) {
            return view;
        }
        symbol->setFrame(Rect(origin, size.width > 0 ? size : view->defaultViewSize()));
        page->addSubview(view);
        if (symbol->bar()) {
            view->setBarViewBelongTo(bar.get());
        } else {
            view->setEditorViewBelongTo(page.get());
        }
        if (auto* text = dynamic_cast<SymbolText*>(symbol); text && !text->text()) {
            if (auto* mark = dynamic_cast<TOVMarkView*>(view.get())) {
                text->setText(mark->attributedStringValue());
            } else if (auto* free = dynamic_cast<TOVToolTextView*>(view.get())) {
                text->setText(free->attributedStringValue());
            }
        }
        symbol->setInitialSize(view->defaultViewSize());
        view->setSymbol(symbol);
        placed.push_back({name, view});
        return view;
    };
    auto inBar = [&](int type) { return model->createNewSymbolWithTypeFrame(type, Rect()); };

    // Above the staff: rehearsal mark, metronome, 8va over the first half, rit. over the second.
    place("mark A", TOVSymbolMarkA, model->createNewSymbolTextWithTypeFrame(TOVSymbolMarkA, Rect()), {2, 0});
    SymbolTempo* tempo = model->createNewSymbolTempoWithTypeFrame(TOVSymbolTempoSpeed, Rect());
    tempo->setSpeed(120);
    place("metronome", TOVSymbolTempoSpeed, tempo, {28, 2});
    place("8va", TOVSymbolOctave8va, inBar(TOVSymbolOctave8va), {80, top - 17}, {110, 15});
    place("rit.", TOVSymbolRit, inBar(TOVSymbolRit), {205, top - 14});
    // Below the staff: 8va bassa under the first half, hairpins and a dynamic.
    place("8vb", TOVSymbolOctave8vaBassa, inBar(TOVSymbolOctave8vaBassa), {10, bottom + 4}, {120, 15});
    place("mf", TOVSymbolDynamicsMF, inBar(TOVSymbolDynamicsMF), {140, bottom + 8});
    place("crescendo", TOVSymbolCrescendo, inBar(TOVSymbolCrescendo), {160, bottom + 10}, {55, 8});
    place("decrescendo", TOVSymbolDecrescendo, inBar(TOVSymbolDecrescendo), {222, bottom + 10}, {55, 8});
    place("mark Intro", TOVSymbolMarkIntro,
          model->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, Rect()), {120, 0});

    // The drawing tools on the page under the bar.
    Document* document = song.document;
    place("free text", TOVToolFreeText, document->createNewSymbolTextWithTypeFrame(TOVToolFreeText, Rect()),
          {20, 150});
    place("arrow", TOVToolArrow, document->createNewSymbolToolsWithTypeFrame(TOVToolArrow, Rect()),
          {90, 150});
    place("line", TOVToolLine, document->createNewSymbolToolsWithTypeFrame(TOVToolLine, Rect()), {160, 150});
    auto wave = place("wave", TOVToolWave, document->createNewSymbolToolsWithTypeFrame(TOVToolWave, Rect()),
                      {230, 145});
    auto flipped = place("wave flipped", TOVToolWave,
                         document->createNewSymbolToolsWithTypeFrame(TOVToolWave, Rect()), {280, 145});
    std::static_pointer_cast<TOVToolWaveView>(flipped)->doFlip();
    SymbolTools* turned = document->createNewSymbolToolsWithTypeFrame(TOVToolArrow, Rect());
    turned->setAngle(-15);
    place("arrow turned", TOVToolArrow, turned, {150, 180});
    // One selected view shows the selection colour and its handles.
    for (const auto& p : placed) {
        if (std::string(p.name) == "crescendo") {
            controller.objectViewShouldBeSelectedAndClearOthers(p.view.get(), true);
        }
    }

    page->setFrame(Rect(0, 0, 330 * kZoom, 190 * kZoom));
    page->setBoundsSize({330, 190});
    platform::ViewHost host;
    host.setRootView(page);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage image = host.grab().toImage();
    if (const char* out = std::getenv("TOVRIN_BAR_OUT")) {
        image.save(QString::fromLocal8Bit(out));
    }
    TOVUtils::registerServices({});

    for (const auto& p : placed) {
        EXPECT_GT(inkIn(image, p.view->frame()), 10) << p.name;
    }
    // The metronome mark shows its speed after the glyph: ink right of the note.
    const auto& metronome = *std::find_if(placed.begin(), placed.end(),
                                          [](const Placed& p) { return std::string(p.name) == "metronome"; });
    const Rect m = metronome.view->frame();
    EXPECT_GT(inkIn(image, Rect(m.x() + m.width() * 0.6, m.y(), m.width() * 0.4, m.height())), 10);
}

} // namespace
