// Three staves of quarter notes painted by a window at three times the size: ties below and above pairs
// of notes at several distances, slurs over and under a group, accidentals before the heads and
// articulations on them. The heads are the built-in glyphs; the tie and slur views draw themselves and
// the accidental and articulation views their built-in glyphs, each placed from its stored frame through
// its tone cell. Set TOVRIN_NOTATION_OUT to a file name to keep the picture.

#include "FakeToneCell.h"
#include "glyphs/ViewFixture.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNoteArticulationView.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVSlurView.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ViewHost.h"
#include "support/ImageInk.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <string>

using platform::Point;
using platform::Rect;

namespace {

constexpr double kZoom = 3.0;
constexpr double kStem = 3.5 * TOVStaffSpace;

std::string resource(const char* name) {
    return std::string(TOVRIN_TEST_RESOURCES) + "/" + name + ".svg";
}

class WhitePage : public glyphtest::FakeEditorView {
public:
    using FakeEditorView::FakeEditorView;
    void drawRect(const Rect& dirty, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{1, 1, 1, 1});
        ctx.fillRect(dirty);
    }
};

// A bar view that draws its staff (five lines centred in its height, a barline at each end) and the
// stems of the notes standing on it.
class StaffBar : public glyphtest::FakeBarView {
public:
    using FakeBarView::FakeBarView;
    std::vector<Rect> stems;
    double middle() const { return posY5LinesTop() + 2 * TOVStaffSpace; }
    void drawRect(const Rect&, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{0, 0, 0, 1});
        const double w = bounds().width();
        for (int i = 0; i < 5; ++i) {
            ctx.fillRect(Rect(0, posY5LinesTop() + i * TOVStaffSpace - 0.25, w, 0.5));
        }
        ctx.fillRect(Rect(0, posY5LinesTop(), 1, 4 * TOVStaffSpace));
        ctx.fillRect(Rect(w - 1, posY5LinesTop(), 1, 4 * TOVStaffSpace));
        for (const auto& stem : stems) {
            ctx.fillRect(stem);
        }
    }
};

// The ink in an area given in sheet points.
int inkIn(const QImage& image, const Rect& area) {
    return tovtest::inkIn(image,
                          QRect(int(area.x() * kZoom), int(area.y() * kZoom), int(area.width() * kZoom) + 1,
                                int(area.height() * kZoom) + 1),
                          160);
}

struct Score {
    tovtest::TestSong song;
    glyphtest::FakeObjectController controller;
    std::shared_ptr<WhitePage> page = std::make_shared<WhitePage>(Rect(0, 0, 330, 230));
    std::vector<std::shared_ptr<StaffBar>> staves;
    std::deque<notationtest::FakeToneCell> cells;
    Bar* bar = nullptr;

    struct Head {
        std::shared_ptr<TOVObjectView> view;
        notationtest::FakeToneCell* cell;
        NoteTone* tone;
        StaffBar* staff;
    };

    Score() {
        page->controller = &controller;
        bar = tovtest::findBar(song.document, 0);
        for (int i = 0; i < 3; ++i) {
            auto staff = std::make_shared<StaffBar>(Rect(10, 10 + 72.0 * i, 310, 70), page.get());
            page->addSubview(staff);
            staves.push_back(staff);
        }
    }

    // A quarter note on the staff at x (staff coordinates) and the level; the stem up unless down. The
    // head's tone cell has its data origin at the head's left edge, level with its centre.
    Head note(int staffIndex, double x, int level, bool stemDown) {
        StaffBar& staff = *staves[staffIndex];
        auto head = TOVObjectView::makeWithFrameSVGFile<TOVObjectView>(Rect(), resource("OnpuTamaKuro"));
        const platform::Size size = head->frame().size;
        const double centreY = staff.middle() - level * TOVStaffSpace / 2;
        head->setFrameOrigin(staff.convertPointToView({x, centreY - size.height / 2}, page.get()));
        page->addSubview(head);
        staff.stems.push_back(stemDown ? Rect(x, centreY + 0.6, 0.8, kStem)
                                       : Rect(x + size.width - 0.8, centreY - kStem - 0.6, 0.8, kStem));
        cells.emplace_back(head.get(), Point{0, size.height / 2});
        Note* model = bar->createNewSingleMeloFromLengthLevel(0, 240, level);
        return {head, &cells.back(), model->firstUnit()->toneArray().front(), &staff};
    }

    // A tie between the heads as the tone cell lays it: from the bottom (top when flipped) centre of one
    // head to the same point of the other, a quarter of its width high within 2.0 and 5.9.
    std::shared_ptr<TOVNoteTieView> tie(const Head& from, const Head& to, bool flip) {
        const Rect a = from.view->frame();
        const Rect b = to.view->frame();
        const double width = (b.x() + b.width() / 2) - (a.x() + a.width() / 2);
        const double height = std::clamp(width * 0.25, 2.0, TOVStaffSpace);
        const double y = flip ? a.y() : a.y() + a.height();
        auto view = std::make_shared<TOVNoteTieView>(Rect());
        view->setFlip(flip);
        view->setFrame(Rect(a.x() + a.width() / 2, flip ? y - height : y, width, height));
        page->addSubview(view);
        return view;
    }

    template <typename T>
    std::shared_ptr<T> attach(const Head& head, const char* glyph, SymbolInNote* symbol) {
        auto view = glyph ? TOVObjectView::makeWithFrameSVGFile<T>(Rect(), resource(glyph))
                          : std::make_shared<T>(Rect());
        page->addSubview(view);
        view->setBarViewBelongTo(head.staff);
        view->setToneCellBelongTo(head.cell);
        if (glyph) {
            symbol->setFrame(Rect(symbol->frame().origin, view->defaultViewSize()));
        }
        view->setSymbol(symbol);
        return view;
    }

    std::shared_ptr<TOVNoteAccidentalView> accidental(const Head& head, const char* glyph, int type,
                                                      Point at) {
        return attach<TOVNoteAccidentalView>(head, glyph,
                                             head.tone->createNewAccidentalWithTypeFrame(type, Rect(at, {})));
    }
    std::shared_ptr<TOVNoteArticulationView> articulation(const Head& head, const char* glyph, int type,
                                                          Point at) {
        return attach<TOVNoteArticulationView>(
            head, glyph, head.tone->createNewArticulationWithTypeFrame(type, Rect(at, {})));
    }
    std::shared_ptr<TOVSlurView> slur(const Head& head, const Rect& frame, bool flip) {
        SymbolInNote* symbol = head.tone->createNewArticulationWithTypeFrame(TOVSymbolSlur, frame);
        symbol->setFlip(flip);
        return attach<TOVSlurView>(head, nullptr, symbol);
    }
};

TEST(NoteSymbolRender, TiesSlursAccidentalsAndArticulationsReadAsMusic) {
    Score s;
    struct Drawn {
        std::string name;
        std::shared_ptr<TOVObjectView> view;
    };
    std::vector<Drawn> drawn;
    std::vector<std::pair<std::shared_ptr<TOVNoteTieView>, bool>> ties;

    // Staff 1: stems up, ties below the heads; staff 2: stems down, ties above. Pairs 10, 22, 40 and 70
    // apart give ties 2.5, 5.5, 5.9 and 5.9 high.
    const double gaps[] = {10, 22, 40, 70};
    for (int staff = 0; staff < 2; ++staff) {
        const bool down = staff == 1;
        double x = 14;
        int level = down ? 3 : -3;
        for (double gap : gaps) {
            auto a = s.note(staff, x, level, down);
            auto b = s.note(staff, x + gap, level, down);
            auto t = s.tie(a, b, down);
            ties.emplace_back(t, down);
            drawn.push_back({"tie " + std::to_string(int(gap)) + (down ? " above" : " below"), t});
            x += gap + 24;
            level += down ? -2 : 2;
        }
    }

    // Staff 3: a phrase under a slur above (stems down) and one over a slur below (stems up), then one
    // note of each accidental and articulation.
    {
        auto first = s.note(2, 12, 4, true);
        s.note(2, 26, 3, true);
        s.note(2, 40, 5, true);
        s.note(2, 54, 4, true);
        drawn.push_back({"slur above", s.slur(first, Rect(2.0, -16.0, 52, 10), true)});
        auto low = s.note(2, 76, -4, false);
        s.note(2, 90, -3, false);
        s.note(2, 104, -5, false);
        drawn.push_back({"slur below", s.slur(low, Rect(2.0, 5.0, 40, 8), false)});
    }
    struct Sign {
        const char* name;
        const char* glyph;
        int type;
        Point at; // the default place of the accidental's type, relative to the tone
    };
    const Sign accidentals[] = {{"sharp", "HenkaSharpX1", TOVSymbolSharp, {-4.8, -6.2}},
                                {"double sharp", "HenkaSharpX2", TOVSymbolDoubleSharp, {-5.5, -2.2}},
                                {"flat", "HenkaFlatX1", TOVSymbolFlat, {-5.0, -7.8}},
                                {"double flat", "HenkaFlatX2", TOVSymbolDoubleFlat, {-9.0, -7.8}},
                                {"natural", "HenkaNatural", TOVSymbolNatural, {-4.2, -6.8}}};
    double x = 128;
    for (const auto& sign : accidentals) {
        auto head = s.note(2, x, -1, false);
        auto view = s.accidental(head, sign.glyph, sign.type, sign.at);
        drawn.push_back({sign.name, view});
        x += 18;
    }
    // Staccato and tenuto centred 5.9 below the head of a stem-up note; accent, marcato and fermata above
    // the staff, their bottoms 4.0 over the top line.
    const struct {
        const char* name;
        const char* glyph;
        int type;
        bool aboveStaff;
    } articulations[] = {{"staccato", "ArticulationStaccato", TOVSymbolStaccato, false},
                         {"tenuto", "ArticulationTenuto", TOVSymbolTenuto, false},
                         {"accent", "ArticulationAccento", TOVSymbolAccento, true},
                         {"marcato", "ArticulationMarcato", TOVSymbolMarcato, true},
                         {"fermata", "ArticulationFermata", TOVSymbolFermata, true}};
    for (const auto& a : articulations) {
        auto head = s.note(2, x, 0, false);
        auto view = s.articulation(head, a.glyph, a.type, {});
        const platform::Size g = view->defaultViewSize();
        const double headWidth = head.view->frame().width();
        const double headCentreInStaff = head.staff->middle();
        const double y = a.aboveStaff ? head.staff->posY5LinesTop() - g.height - 4.0 - headCentreInStaff
                                      : TOVStaffSpace - g.height * 0.5;
        view->symbol()->setFrame(Rect((headWidth - g.width) * 0.5, y, g.width, g.height));
        view->updateView();
        drawn.push_back({a.name, view});
        x += 18;
    }

    s.page->setFrame(Rect(0, 0, 330 * kZoom, 230 * kZoom));
    s.page->setBoundsSize({330, 230});
    platform::ViewHost host;
    host.setRootView(s.page);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage image = host.grab().toImage();
    if (const char* out = std::getenv("TOVRIN_NOTATION_OUT")) {
        image.save(QString::fromLocal8Bit(out));
    }

    for (const auto& d : drawn) {
        EXPECT_GT(inkIn(image, d.view->frame()), 10) << d.name;
    }
    // The page again without the ties, to tell their ink from the staff lines'.
    for (const auto& [t, above] : ties) {
        t->removeFromSuperview();
    }
    host.repaint();
    const QImage bare = host.grab().toImage();
    // Each tie is thickest in its middle on the side it curves to, and open on the side of its ends.
    for (const auto& [t, above] : ties) {
        SCOPED_TRACE(t->frame().width());
        const Rect f = t->frame();
        const double mid = f.x() + f.width() / 2;
        const Rect curve(mid - 0.5, above ? f.y() + 0.1 : f.y() + f.height() - 0.9, 1, 0.8);
        const Rect open(mid - 0.5, above ? f.y() + f.height() - 0.9 : f.y() + 0.1, 1, 0.8);
        EXPECT_GT(inkIn(image, curve), inkIn(bare, curve));
        EXPECT_EQ(inkIn(image, open), inkIn(bare, open));
    }
}

} // namespace
