// A sheet of note cells drawn with the real "Default" glyphs by a window's paint cycle: chords with
// seconds, ledger lines, dotted notes, rests, slashes, a tie and accidentals, each row on a staff. Set
// TOVRIN_SHEET_OUT to a file name to keep the picture.

#include "CellFixture.h"
#include "StaffPage.h"
#include "support/ImageInk.h"

#include "model/SymbolAccidental.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteTieView.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ViewHost.h"

#include <QImage>
#include <QTest>

#include <cstdlib>

using namespace notationtest;
using platform::Rect;

namespace {

using tovtest::inkIn;

constexpr double kZoom = 3.0;
constexpr double kPageWidth = 420;
constexpr double kRowHeight = 100;
constexpr double kMiddle = 50; // the middle line's y in a row and in each note view

class CellSheet : public ::testing::Test {
protected:
    void SetUp() override {
        TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
        factory = std::make_unique<TOVNoteViewFactory>();
        factory->installPluginFontID("Default");
        TOVUtils::overrideResourceDirectory(std::nullopt);
        TOVUtils::Services services;
        services.noteViewFactory = [this] { return factory.get(); };
        TOVUtils::registerServices(services);
        page = std::make_shared<StaffPage>(Rect{0, 0, kPageWidth, 100});
        page->rowHeight = kRowHeight;
        page->middle = kMiddle;
        page->staffLeft = 6;
        page->staffWidth = kPageWidth - 12;
        delegate.barView = page.get();
    }
    void TearDown() override { TOVUtils::registerServices({}); }

    // A note of its own bar (the song has bars enough), drawn in a note view at column x of the row.
    Note* place(Note* note, int row, double x, bool stemDown = false, double stem = 20) {
        note->setFlip(stemDown);
        auto view = std::make_shared<FakeNoteView>(Rect{x, row * kRowHeight, 44, kRowHeight});
        view->flip = stemDown;
        view->middleLine = kMiddle;
        view->setNoteViewDelegate(&delegate);
        view->setBarViewBelongTo(page.get());
        page->addSubview(view);
        view->buildCells(note, stem);
        views.push_back(view);
        return note;
    }
    // Room for a value of the length in the song's bars, one after the other.
    std::pair<Bar*, std::uint64_t> nextSlot(std::uint64_t length) {
        if (tick + length > 960) {
            ++barNumber;
            tick = 0;
        }
        const std::uint64_t from = tick;
        tick += length;
        Bar* bar = tovtest::findBar(song.document, barNumber);
        EXPECT_NE(bar, nullptr);
        return {bar, from};
    }
    Note* melo(std::vector<std::int64_t> levels, std::uint64_t length) {
        const auto [bar, from] = nextSlot(length);
        Note* note = bar->createNewSingleMeloFromLengthLevel(from, length, levels.front());
        context.processPendingChanges();
        for (std::size_t i = 1; i < levels.size(); ++i) {
            note->firstUnit()->createNewToneWithLevel(levels[i]);
        }
        context.processPendingChanges();
        return note;
    }
    Note* rest(std::uint64_t length) {
        const auto [bar, from] = nextSlot(length);
        Note* note = bar->createNewSingleRestFromLength(from, length);
        context.processPendingChanges();
        return note;
    }
    Note* slash(std::uint64_t length) {
        const auto [bar, from] = nextSlot(length);
        Note* note = bar->createNewSingleSlashFromLength(from, length);
        context.processPendingChanges();
        return note;
    }

    std::unique_ptr<TOVNoteViewFactory> factory;
    tovtest::TestSong song{false};
    platform::ManagedObjectContext& context = *song.context;
    std::uint64_t barNumber = 0;
    std::uint64_t tick = 0;
    std::shared_ptr<StaffPage> page;
    FakeNoteViewDelegate delegate;
    std::vector<std::shared_ptr<FakeNoteView>> views;
};

TEST_F(CellSheet, AMusicianReadsEveryCell) {
    // Row 0: seconds and clusters, stems up and down.
    place(melo({0, 1}, 240), 0, 10);
    place(melo({0, 1}, 240), 0, 50, true);
    place(melo({-1, 0, 1}, 240), 0, 90);
    place(melo({-1, 0, 1}, 240), 0, 130, true);
    place(melo({-4, -2, 0, 1, 3}, 480), 0, 170);
    place(melo({2, 3, 6, 7}, 480), 0, 210, true);
    place(melo({-3, -2}, 960), 0, 250, false, 0);
    // Row 1: ledger lines above and below.
    double x = 10;
    for (std::int64_t level : {6, 7, 8, 9, 10, -6, -7, -8, -9, -10}) {
        place(melo({level}, 240), 1, x, level > 0, 18);
        x += 30;
    }
    place(melo({9, -9}, 960), 1, x, false, 0);
    // Row 2: dotted notes.
    place(melo({0}, 360), 2, 10);
    place(melo({1}, 360), 2, 50);
    place(melo({0, 1}, 360), 2, 90);
    place(melo({0, 1}, 720), 2, 140, true);
    place(melo({-3}, 840), 2, 190);
    place(melo({4}, 180), 2, 240, true);
    place(melo({-2, 0, 2}, 420), 2, 290);
    // Row 3: rests, plain and dotted, from the thirty-second to the whole.
    x = 10;
    for (std::uint64_t length : {30, 60, 120, 240, 480, 960, 90, 180, 360, 720}) {
        place(rest(length), 3, x, false, 0);
        x += 38;
    }
    // Row 4: slashes, an X head, accidentals and a tie.
    place(slash(240), 4, 10);
    place(slash(480), 4, 50);
    place(slash(960), 4, 90, false, 0);
    Note* cross = melo({3}, 240);
    cross->firstUnit()->tones().front()->setHead(1);
    place(cross, 4, 130);
    Note* sharp = melo({1}, 240);
    NoteTone* tone = sharp->firstUnit()->tones().front();
    tone->createNewAccidentalWithTypeFrame(TOVSymbolSharp, {-4.8, -6.2, 0, 0});
    Note* flat = melo({-3}, 240);
    NoteTone* flatTone = flat->firstUnit()->tones().front();
    flatTone->createNewAccidentalWithTypeFrame(TOVSymbolFlat, {-5.0, -7.8, 0, 0});
    context.processPendingChanges();
    place(sharp, 4, 180);
    place(flat, 4, 220);
    const auto [tied, from] = nextSlot(480);
    Note* left = tied->createNewSingleMeloFromLengthLevel(from, 240, -1);
    Note* right = tied->createNewSingleMeloFromLengthLevel(from + 240, 240, -1);
    context.processPendingChanges();
    left->firstUnit()->tones().front()->createNewTie();
    context.processPendingChanges();
    place(left, 4, 280);
    place(right, 4, 340);
    views[views.size() - 2]->next = views.back().get();
    page->rows = 5;

    for (const auto& view : views) {
        for (const auto& unit : view->unitCells) {
            unit->updateSymbolViews();
            unit->updateTie();
        }
    }
    const auto& tieCell = views[views.size() - 2]->unitCells.front()->topToneCell();
    ASSERT_NE(tieCell->tieView(), nullptr);
    ASSERT_NE(views[views.size() - 4]->unitCells.front()->topToneCell()->accidentalView(), nullptr);

    const double height = page->rows * kRowHeight;
    page->setFrame(Rect{0, 0, kPageWidth * kZoom, height * kZoom});
    page->setBoundsSize({kPageWidth, height});
    platform::ViewHost host;
    host.setRootView(page);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage image = host.grab().toImage();
    const char* out = std::getenv("TOVRIN_SHEET_OUT");
    if (out) {
        image.save(QString::fromLocal8Bit(out));
    }
    // Every note view shows ink beyond the staff lines it covers.
    for (const auto& view : views) {
        const Rect f = view->frame();
        const QRect area(static_cast<int>(f.x() * kZoom), static_cast<int>(f.y() * kZoom),
                         static_cast<int>(f.width() * kZoom), static_cast<int>(f.height() * kZoom));
        EXPECT_GT(inkIn(image, area), static_cast<int>(5 * f.width() * kZoom))
            << "note view at " << f.x() << ", " << f.y();
    }
}

} // namespace
