#pragma once

#include "glyphs/FakeLayout.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNoteArticulationView.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewDelegate.h"
#include "notation/TOVNoteViewFactory.h"
#include "notation/TOVNoteViewLibrary.h"
#include "notation/TOVSlurView.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace notationtest {

// A note view as far as the cells need one: a flip flag, the unit cells of its note, and the next note
// view in the bar.
class FakeNoteView : public TOVNoteView {
public:
    using TOVNoteView::TOVNoteView;

    bool flip = false;
    FakeNoteView* next = nullptr;
    double middleLine = 30.0;
    std::vector<std::unique_ptr<TOVNoteUnitCell>> unitCells;

    bool isNoteFlip() const override { return flip; }
    TOVNoteToneCell* toneCellOfData(const NoteTone* tone) const override {
        for (const auto& cell : unitCells) {
            if (TOVNoteToneCell* found = cell->toneCellOfData(tone)) {
                return found;
            }
        }
        return nullptr;
    }
    TOVNoteView* nextContinuousNoteView() const override { return next; }

    // One unit cell per unit of the note, side by side from x 0, in the note view's order: placed
    // horizontally, given its stem, then moved so that its middle line lies at y middleLine.
    void buildCells(Note* note, double poleHeight = 0) {
        unitCells.clear();
        double x = 0;
        for (NoteUnit* unit : note->unitArray()) {
            auto cell = std::make_unique<TOVNoteUnitCell>(unit, this);
            cell->moveXByYBy(x - cell->frame().x(), 0);
            cell->setPoleHeight(poleHeight);
            cell->moveXByYBy(0, middleLine - (cell->frame().y() + cell->offsetY()));
            x += cell->frame().width() + 4.0;
            unitCells.push_back(std::move(cell));
        }
    }
    void drawRect(const platform::Rect&, platform::GraphicsContext& ctx) override {
        for (const auto& cell : unitCells) {
            cell->drawWithNormalColor(platform::Color::black(), ctx);
        }
    }
};

// The staff of a bar view: middle line at y 40, lines 5.9 apart.
class FakeNoteViewDelegate : public TOVNoteViewDelegate {
public:
    platform::View* barView = nullptr;
    double level0 = 40.0;
    platform::Rect noteViewInquireRectangleNotesArea(TOVNoteView*) override { return {0, 0, 200, 80}; }
    double noteViewInquirePosYLevel0(TOVNoteView*) override { return level0; }
    double noteViewInquire5LinesPitch(TOVNoteView*) override { return TOVStaffSpace; }
    platform::View* noteViewInquireBarView(TOVNoteView*) override { return barView; }
};

// Note glyphs of known sizes (width x height in points): black and hollow heads 7 x 6, the whole head
// 9 x 6, slash heads 8 x 12, rests of their own sizes, accidentals and articulations likewise; the dots
// of the real factory (2 x 2, the second 4.0 further right).
class FakeGlyphs {
public:
    static constexpr double kHeadWidth = 7.0;
    static constexpr double kHeadHeight = 6.0;

    FakeGlyphs() {
        // The tie template comes from the application's own files.
        TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
        factory = std::make_unique<TOVNoteViewFactory>();
        TOVUtils::overrideResourceDirectory(std::nullopt);
        auto library = std::make_shared<TOVNoteViewLibrary>();
        TOVNoteViewLibrary::ViewDictionary general;
        const std::map<std::string, platform::Size> sizes{
            {"OnpuTamaKuro", {7, 6}},   {"OnpuTama2", {7, 6}},       {"OnpuTamaZen", {9, 6}},
            {"SlashTamaKuro", {8, 12}}, {"SlashTamaShiro", {8, 12}}, {"SlashTamaZen", {10, 12}},
            {"Kyuuhu32", {7, 18}},      {"Kyuuhu16", {6, 14}},       {"Kyuuhu8", {5, 10}},
            {"Kyuuhu4", {6, 18}},       {"Kyuuhu2", {7, 3}},         {"KyuuhuZen", {7, 3}},
        };
        for (const auto& [key, size] : sizes) {
            general[key] = glyphView<TOVObjectView>(size);
        }
        library->setDictViewGeneral(general);
        TOVNoteViewLibrary::AccidentalDictionary accidentals;
        accidentals["HenkaSharpX1"] = glyphView<TOVNoteAccidentalView>({5, 14});
        accidentals["HenkaFlatX1"] = glyphView<TOVNoteAccidentalView>({4, 13});
        accidentals["HenkaNatural"] = glyphView<TOVNoteAccidentalView>({3, 15});
        library->setDictViewAccidental(accidentals);
        TOVNoteViewLibrary::ViewDictionary articulations;
        articulations["ArticulationTenuto"] = glyphView<TOVNoteArticulationView>({6, 1});
        articulations["ArticulationStaccato"] = glyphView<TOVNoteArticulationView>({2, 2});
        articulations["ArticulationFermata"] = glyphView<TOVNoteArticulationView>({10, 6});
        articulations["ArticulationAccento"] = glyphView<TOVNoteArticulationView>({7, 4});
        articulations["ArticulationMarcato"] = glyphView<TOVNoteArticulationView>({5, 6});
        articulations["ArticulationS"] = glyphView<TOVNoteArticulationView>({4, 20});
        articulations["ArticulationSlur"] = std::make_shared<TOVSlurView>(platform::Rect());
        library->setDictViewArticulation(articulations);
        factory->setDefaultLibrary(library);
        TOVUtils::Services services;
        services.noteViewFactory = [this] { return factory.get(); };
        TOVUtils::registerServices(services);
    }
    ~FakeGlyphs() { TOVUtils::registerServices({}); }
    FakeGlyphs(const FakeGlyphs&) = delete;
    FakeGlyphs& operator=(const FakeGlyphs&) = delete;

    std::unique_ptr<TOVNoteViewFactory> factory;

private:
    template <typename T>
    static std::shared_ptr<T> glyphView(platform::Size size) {
        auto view = std::make_shared<T>(platform::Rect{platform::Point{}, size});
        view->setBezierPath(platform::BezierPath::withRect(platform::Rect{platform::Point{}, size}));
        return view;
    }
};

// A song, an editor view with a bar view at (50, 100) 200 x 80 in it, and note views placed in the editor
// view, as the bar view places them.
class CellTest : public ::testing::Test {
protected:
    void SetUp() override {
        editor = std::make_shared<glyphtest::FakeEditorView>(platform::Rect{0, 0, 800, 600});
        editor->controller = &controller;
        barView = std::make_shared<glyphtest::FakeBarView>(platform::Rect{50, 100, 200, 80}, editor.get());
        editor->addSubview(barView);
        delegate.barView = barView.get();
    }

    Bar* bar(std::uint64_t num = 1) { return tovtest::findBar(song.document, num); }
    Note* melo(std::vector<std::int64_t> levels, std::uint64_t length = 240, std::uint64_t from = 0,
               Bar* in = nullptr) {
        Bar* b = in ? in : bar();
        Note* note = b->createNewSingleMeloFromLengthLevel(from, length, levels.front());
        context.processPendingChanges();
        for (std::size_t i = 1; i < levels.size(); ++i) {
            note->firstUnit()->createNewToneWithLevel(levels[i]);
        }
        context.processPendingChanges();
        return note;
    }
    Note* rest(std::uint64_t length, std::uint64_t from = 0) {
        Note* note = bar()->createNewSingleRestFromLength(from, length);
        context.processPendingChanges();
        return note;
    }
    Note* slash(std::uint64_t length, std::uint64_t from = 0) {
        Note* note = bar()->createNewSingleSlashFromLength(from, length);
        context.processPendingChanges();
        return note;
    }
    // A note view of the note at the origin in the editor view, its cells built.
    std::shared_ptr<FakeNoteView> noteViewOf(Note* note, bool flip = false,
                                             platform::Point origin = {60, 110}) {
        auto view = std::make_shared<FakeNoteView>(platform::Rect{origin, platform::Size{60, 60}});
        view->flip = flip;
        view->setNoteViewDelegate(&delegate);
        view->setBarViewBelongTo(barView.get());
        editor->addSubview(view);
        view->buildCells(note);
        return view;
    }

    FakeGlyphs glyphs;
    tovtest::TestSong song{false};
    platform::ManagedObjectContext& context = *song.context;
    glyphtest::FakeObjectController controller;
    std::shared_ptr<glyphtest::FakeEditorView> editor;
    std::shared_ptr<glyphtest::FakeBarView> barView;
    FakeNoteViewDelegate delegate;
};

} // namespace notationtest
