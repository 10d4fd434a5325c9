#include "model/TOVCoreDataController.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/SymbolInNote.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"
#include "support/UndoRefreshRecorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace tovtest;

namespace {

// A double-row song with a few named objects to report.
struct Fixture {
    TestSong song{true};
    Document* d = song.document;
    Page* P = d->pageArray().front();
    Bar* b0 = findBar(d, 0);
    Bar* b1 = findBar(d, 1);
    Bar* b5 = findBar(d, 5);
    Bar* b1lower = findBar(d, 1, true);
    Line* L1 = b0->line();
    Line* L1lower = L1->lower();
    Line* L2 = b5->line();
    Symbol* s = b1->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, {});
    SymbolTools* t = d->createNewSymbolToolsWithTypeFrame(TOVToolFreeText, {});
    Chord* c = chordIn(b1);
    Chord* c2 = chordIn(b5);
    Note* n = noteIn(b1);
    SymbolTempo* tempo = b5->createNewSymbolTempoWithTypeFrame(TOVSymbolRit, {});
    SymbolText* text = b5->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, {});
    SymbolRepeat* repeat = b5->createNewSymbolRepeatWithTypeFrame(TOVSymbolDaCapo, {});
    Note* m = b5->createNewSingleMeloFromLengthLevel(0, 240, 1);
    NoteTone* tone = firstToneOf(m);
    SymbolInNote* articulation = tone->createNewArticulationWithTypeFrame(TOVSymbolStaccato, {});

    static NoteTone* firstToneOf(Note* note) {
        note->managedObjectContext()->processPendingChanges();
        return note->firstUnit()->tones().front();
    }

    Chord* chordIn(Bar* bar) {
        auto* chord = song.context->insertNewObject<Chord>("Chord");
        chord->setBar(bar);
        return chord;
    }
    Note* noteIn(Bar* bar) {
        auto* note = song.context->insertNewObject<Note>("Note");
        note->setBar(bar);
        return note;
    }

    // The record as text, objects by their names above.
    std::string describe(const RecordedRefresh& r) const {
        const std::map<const void*, std::string> names = {
            {P, "P"},           {b0, "b0"},       {b1, "b1"}, {b5, "b5"},       {b1lower, "b1'"},
            {L1, "L1"},         {L1lower, "L1'"}, {L2, "L2"}, {s, "s"},         {t, "t"},
            {c, "c"},           {c2, "c2"},       {n, "n"},   {tempo, "tempo"}, {text, "text"},
            {repeat, "repeat"}, {m, "m"}};
        std::string out;
        auto flag = [&](bool on, const char* name) {
            if (on) {
                out += std::string(out.empty() ? "" : " ") + name;
            }
        };
        flag(r.documentAllRefresh, "all");
        flag(r.documentSymbolsRefresh, "docsymbols");
        flag(r.clefStatesRefresh, "clef");
        flag(r.barNumberRefresh, "barnumber");
        auto list = [&](const char* label, const auto& objects) {
            if (objects.empty()) {
                return;
            }
            out += std::string(out.empty() ? "" : " ") + label + "[";
            bool first = true;
            for (const auto* o : objects) {
                auto it = names.find(o);
                out += (first ? "" : " ") + (it == names.end() ? std::string("?") : it->second);
                first = false;
            }
            out += "]";
        };
        list("pages", r.pages);
        list("lines", r.lines);
        list("bars", r.bars);
        list("symbols", r.symbols);
        list("chords", r.chords);
        list("notes", r.notes);
        return out;
    }
};

struct ReportCase {
    const char* name;
    std::function<void(Fixture&, TOVCoreDataController&)> reports;
    const char* recorded;
};

class ReportSequenceTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportSequenceTest, RecordsDuringUndoAndRedoOnly) {
    const ReportCase& c = GetParam();
    for (const char* mode : {"undo", "redo", "neither"}) {
        Fixture f;
        TOVCoreDataController buffer;
        RecordingRefresher refresher;
        buffer.setEditorViewController(&refresher);
        if (std::string(mode) == "undo") {
            buffer.willUndo();
        } else if (std::string(mode) == "redo") {
            buffer.willRedo();
        }
        c.reports(f, buffer);
        // Drain as the end of the undo or redo does; what was recorded reaches the editor once.
        if (std::string(mode) == "undo") {
            buffer.didUndo();
        } else if (std::string(mode) == "redo") {
            buffer.didRedo();
        } else {
            buffer.drainBuffer();
        }
        ASSERT_EQ(refresher.drains.size(), 1u) << mode;
        EXPECT_EQ(f.describe(refresher.drains[0]), std::string(mode) == "neither" ? "" : c.recorded) << mode;
        EXPECT_EQ(refresher.drains[0].undoing, std::string(mode) == "undo");
        EXPECT_EQ(refresher.drains[0].redoing, std::string(mode) == "redo");
        // After the drain the buffer is idle and empty again.
        EXPECT_FALSE(buffer.isUndoing());
        EXPECT_FALSE(buffer.isRedoing());
        EXPECT_TRUE(buffer.pagesRefresh().empty() && buffer.barsRefresh().empty() &&
                    !buffer.documentAllRefresh());
    }
}

using F = Fixture;
using B = TOVCoreDataController;

INSTANTIATE_TEST_SUITE_P(
    Reports, ReportSequenceTest,
    ::testing::Values(
        ReportCase{"DocumentAndPages",
                   [](F& f, B& b) {
                       b.documentDidUpdateDocument(f.d);
                       b.documentDidUpdatePages(f.d);
                   },
                   "all"},
        ReportCase{"DocumentSymbols", [](F& f, B& b) { b.documentDidUpdateSymbols(f.d); }, "docsymbols"},
        ReportCase{"ChordHistoryAndPageNumberRecordNothing",
                   [](F& f, B& b) {
                       b.documentDidUpdateChordHistory(f.d);
                       b.pageDidUpdateNum(f.P);
                   },
                   ""},
        ReportCase{"PagesOnce",
                   [](F& f, B& b) {
                       b.pageDidUpdateLines(f.P);
                       b.pageDidUpdateAPage(f.P);
                   },
                   "pages[P]"},
        ReportCase{"LinesRecordTheirPage",
                   [](F& f, B& b) {
                       b.lineDidUpdateBars(f.L2);
                       b.lineDidUpdateLower(f.L1);
                       b.lineDidUpdateFirstBarlineType(f.L1lower);
                       b.lineDidUpdatePartition(f.L2);
                   },
                   "pages[P]"},
        ReportCase{"BarsInTheOrderOfTheirFirstReport",
                   [](F& f, B& b) {
                       b.barDidUpdateChords(f.b5);
                       b.barDidUpdateNotes(f.b1);
                       b.barDidUpdateSymbols(f.b5);
                       b.barDidUpdateNum(f.b0);
                       b.barDidUpdateHeight(f.b1);
                   },
                   "bars[b5 b1 b0]"},
        ReportCase{"BarlineAndWidthRecordTheBarsLine",
                   [](F& f, B& b) {
                       b.barDidUpdateBarlineType(f.b1lower);
                       b.barDidUpdateWidth(f.b0);
                       b.barDidUpdateWidth(f.b1);
                   },
                   "lines[L1' L1]"},
        ReportCase{"ClefAndKey",
                   [](F& f, B& b) {
                       b.barDidUpdateClefType(f.b0);
                       b.barDidUpdateKeyType(f.b1);
                       b.barDidUpdateKeyType(f.b0);
                   },
                   "clef bars[b0 b1]"},
        ReportCase{"TimeRebuildsEverything", [](F& f, B& b) { b.barDidUpdateTimeType(f.b5); }, "all clef"},
        ReportCase{"LongRest", [](F& f, B& b) { b.barDidUpdateLongRest(f.b5); }, "barnumber bars[b5]"},
        ReportCase{"ASymbolBeforeItsBarStays",
                   [](F& f, B& b) {
                       b.symbolDidUpdateAttribute(f.s);
                       b.barDidUpdateSymbols(f.b1);
                       b.symbolDidUpdateAttribute(f.s);
                   },
                   "bars[b1] symbols[s]"},
        ReportCase{"ASymbolAfterItsBarIsCoveredByIt",
                   [](F& f, B& b) {
                       b.barDidUpdateSymbols(f.b1);
                       b.symbolDidUpdateAttribute(f.s);
                   },
                   "bars[b1]"},
        ReportCase{"ADocumentLevelSymbolIsAlwaysRecorded",
                   [](F& f, B& b) {
                       b.barDidUpdateSymbols(f.b1);
                       b.symbolDidUpdateAttribute(f.t);
                       b.symbolDidUpdateAttribute(f.t);
                   },
                   "bars[b1] symbols[t]"},
        ReportCase{"ChordsOutsideRecordedBars",
                   [](F& f, B& b) {
                       b.barDidUpdateChords(f.b1);
                       b.chordDidUpdateAttribute(f.c);
                       b.chordDidUpdateAttribute(f.c2);
                       b.chordDidUpdateAttribute(f.c2);
                   },
                   "bars[b1] chords[c2]"},
        ReportCase{"NotesAndTheirUnits",
                   [](F& f, B& b) {
                       b.noteDidUpdateAttribute(f.n);
                       b.noteDidUpdateAttribute(f.n);
                       b.noteDidUpdateUnits(f.n);
                       b.noteDidUpdateAttribute(f.n);
                   },
                   "bars[b1] notes[n]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TOVCoreDataControllerTest, PassesViewRefreshesOnAtAnyTime) {
    Fixture f;
    TOVCoreDataController buffer;
    buffer.objectShouldUpdateView(f.s); // no editor: nothing happens
    RecordingRefresher refresher;
    buffer.setEditorViewController(&refresher);
    buffer.objectShouldUpdateView(f.s);
    buffer.willUndo();
    buffer.objectShouldUpdateView(f.c);
    EXPECT_EQ(refresher.updatedViews, (std::vector<TOVManagedObject*>{f.s, f.c}));
}

// ---- What the entities report while a real undo runs ------------------------------------------------------

struct UndoneOperationCase {
    const char* name;
    std::function<void(Fixture&)> operation;
    const char* recordedOnUndo;
};

class UndoneOperationTest : public ::testing::TestWithParam<UndoneOperationCase> {};

TEST_P(UndoneOperationTest, RecordsWhatTheUndoChanged) {
    const UndoneOperationCase& c = GetParam();
    Fixture f;
    UndoRefreshHarness harness(f.d);
    UndoEnabled recording(*f.song.context);
    platform::UndoManager& undo = f.song.context->undoManager();
    undo.beginUndoGrouping();
    c.operation(f);
    undo.endUndoGrouping();
    // Normal editing records nothing.
    EXPECT_TRUE(harness.current().isEmpty());
    EXPECT_TRUE(harness.refresher.drains.empty());
    undo.undo();
    ASSERT_EQ(harness.refresher.drains.size(), 1u);
    EXPECT_EQ(f.describe(harness.refresher.drains[0]), c.recordedOnUndo);
    EXPECT_TRUE(harness.current().isEmpty());
    undo.redo();
    ASSERT_EQ(harness.refresher.drains.size(), 2u);
    EXPECT_TRUE(harness.refresher.drains[1].redoing);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, UndoneOperationTest,
    ::testing::Values(
        UndoneOperationCase{"WidthRebuildsTheLines", [](F& f) { f.b1->setWidth(90); }, "lines[L1' L1]"},
        UndoneOperationCase{"TimeRebuildsEverything", [](F& f) { f.b5->setTimeType(TOVSymbolTime3_4); },
                            "all clef"},
        UndoneOperationCase{"KeyRebuildsTheBar", [](F& f) { f.b5->setKeyType(TOVSymbolKeySharp2); },
                            "clef bars[b5]"},
        UndoneOperationCase{"LongRestRedrawsBarNumbers", [](F& f) { f.b5->setLongRest(8); },
                            "barnumber bars[b5]"},
        UndoneOperationCase{"ASymbolAttributeRefreshesTheSymbol", [](F& f) { f.s->setAngle(15); },
                            "symbols[s]"},
        UndoneOperationCase{"ANewSymbolRebuildsItsBar",
                            [](F& f) { f.b5->createNewSymbolWithTypeFrame(TOVSymbolMarkIntro, {}); },
                            "bars[b5]"},
        UndoneOperationCase{"ChordHistoryRecordsNothing",
                            [](F& f) { f.d->createNewChordHistoryWithElemsIndex({}, 0); }, ""},
        UndoneOperationCase{"PageSlotsRebuildThePage", [](F& f) { f.P->setAPage(12); }, "pages[P]"},
        UndoneOperationCase{"AFirstBarlineRebuildsThePage",
                            [](F& f) { f.L2->setFirstBarLineType(TOVBarlineDotted); }, "pages[P]"},
        // A line's first barline and partition are reported only when the restored value is not 0.
        UndoneOperationCase{"RestoringFirstBarlineZeroRecordsNothing",
                            [](F& f) { f.d->firstDummyLine()->setFirstBarLineType(TOVBarlineDotted); }, ""},
        UndoneOperationCase{"RestoringPartitionZeroRecordsNothing",
                            [](F& f) { f.d->firstDummyLine()->setPartition(3); }, ""},
        UndoneOperationCase{"DocumentLevelTool",
                            [](F& f) { f.d->createNewSymbolToolsWithTypeFrame(TOVToolFreeText, {}); },
                            "docsymbols"},
        UndoneOperationCase{"BarlineTypeRedrawsThePair", [](F& f) { f.b1->setBarLineType(TOVBarlineDouble); },
                            "lines[L1' L1]"},
        UndoneOperationCase{"ClefRebuildsTheBarAndTheClefStates",
                            [](F& f) { f.b5->setClefType(TOVSymbolClefF); }, "clef bars[b5]"},
        // A bar does not observe its own height.
        UndoneOperationCase{"HeightRecordsNothing", [](F& f) { f.b1->setHeight(40); }, ""},
        UndoneOperationCase{"ALowerLineRebuildsThePage", [](F& f) { f.L2->removeLowerLine(); }, "pages[P]"},
        UndoneOperationCase{"SpeedRefreshesTheTempo", [](F& f) { f.tempo->setSpeed(144); }, "symbols[tempo]"},
        UndoneOperationCase{"TextRefreshesTheText",
                            [](F& f) { f.text->setText(platform::AttributedString(QString("Fine"))); },
                            "symbols[text]"},
        UndoneOperationCase{"RepeatTextRefreshesTheRepeat", [](F& f) { f.repeat->setRepeatIDString("1."); },
                            "symbols[repeat]"},
        UndoneOperationCase{"FrameRelativeToBarRefreshesTheTool",
                            [](F& f) {
                                f.t->setFrameRelativeToBar({1, 2, 3, 4});
                            },
                            "symbols[t]"},
        UndoneOperationCase{"ANoteHeightRefreshesTheNote", [](F& f) { f.m->setHeightLeft(3); }, "notes[m]"},
        UndoneOperationCase{"AUnitChangeRefreshesItsNote", [](F& f) { f.m->firstUnit()->setTiming(10); },
                            "notes[m]"},
        UndoneOperationCase{"AToneChangeRefreshesItsNote", [](F& f) { f.tone->setLevel(4); }, "notes[m]"},
        UndoneOperationCase{"AnAccidentalRefreshesItsNote",
                            [](F& f) { f.tone->createNewAccidentalWithTypeFrame(TOVSymbolSharp, {}); },
                            "notes[m]"},
        UndoneOperationCase{"AnArticulationChangeRefreshesItsNote",
                            [](F& f) { f.tone->createNewArticulationWithTypeFrame(TOVSymbolTenuto, {}); },
                            "notes[m]"},
        UndoneOperationCase{"AnArticulationsOwnChangeRefreshesItsNote",
                            [](F& f) { f.articulation->setAngle(30); }, "notes[m]"},
        UndoneOperationCase{"ANewToneRefreshesItsNote",
                            [](F& f) { f.m->firstUnit()->createNewToneWithLevel(5); }, "notes[m]"},
        UndoneOperationCase{"ANewNoteRebuildsItsBar",
                            [](F& f) {
                                f.b1->createNewSingleRestFromLength(0, 240);
                                f.song.context->processPendingChanges();
                            },
                            "bars[b1]"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
