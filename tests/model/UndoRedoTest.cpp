#include "document/TOVDocumentDump.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/ChordHistory.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolSnapShot.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"
#include "support/UndoRedoCheck.h"
#include "support/UndoRefreshRecorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace tovtest;

namespace {

// The objects an operation works on, made by the case's preparation.
struct Scene {
    Document* d = nullptr;
    platform::ManagedObjectContext* context = nullptr;
    std::map<std::string, platform::ManagedObject*> named;

    template <typename T>
    T* get(const std::string& name) {
        return dynamic_cast<T*>(named.at(name));
    }
};

enum class Start { SingleRow, DoubleRow, TwoPages };

struct OperationCase {
    const char* name;
    Start start;
    std::function<void(Scene&)> prepare; // runs without undo registration
    std::function<void(Scene&)> operation;
};

class UndoRedoTest : public ::testing::TestWithParam<OperationCase> {};

platform::AttributedString text(const char* s) {
    return platform::AttributedString(QString::fromUtf8(s));
}

// Every public operation that changes the song: undoing it gives back the song before it, redoing it the
// song after it, and the undo refresh buffer is left idle.
TEST_P(UndoRedoTest, UndoGivesTheSongBeforeAndRedoTheSongAfter) {
    const OperationCase& c = GetParam();
    auto context = makeSongContext();
    Scene scene;
    scene.context = context.get();
    switch (c.start) {
    case Start::SingleRow:
        scene.d = makeNewSong(*context, false);
        break;
    case Start::DoubleRow:
        scene.d = makeNewSong(*context, true);
        break;
    case Start::TwoPages: {
        LineSpec four{4, 4, false};
        scene.d = makeLayout(*context, {{10, {{0, 0}, four, four, {4, 4, true}}}, {10, {four, four}}});
        break;
    }
    }
    UndoRefreshHarness harness(scene.d);
    if (c.prepare) {
        context->undoManager().disableUndoRegistration();
        c.prepare(scene);
        context->processPendingChanges();
        context->undoManager().enableUndoRegistration();
    }
    const UndoRedoDumps dumps = runUndoRedo(scene.d, [&] { c.operation(scene); });
    EXPECT_NE(dumps.after, dumps.before) << "the operation changed nothing";
    EXPECT_EQ(dumps.undone, dumps.before);
    EXPECT_EQ(dumps.redone, dumps.after);
    EXPECT_EQ(dumps.after.find("!cache"), std::string::npos) << dumps.after;
    EXPECT_TRUE(harness.current().isEmpty());
    EXPECT_EQ(harness.refresher.drains.size(), 2u);
}

Bar* bar(Scene& s, std::uint64_t num, bool lower = false) {
    return findBar(s.d, num, lower);
}
Line* lineOf(Scene& s, std::uint64_t num, bool lower = false) {
    return bar(s, num, lower)->line();
}

void addSymbols(Scene& s) {
    Bar* b = bar(s, 5);
    s.named["symbol"] = b->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, {1, 2, 3, 4});
    s.named["text"] = b->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, {5, 6, 7, 8});
    s.named["repeat"] = b->createNewSymbolRepeatWithTypeFrame(TOVSymbolDaCapo, {0, 0, 10, 10});
    s.named["tempo"] = b->createNewSymbolTempoWithTypeFrame(TOVSymbolRit, {0, 0, 10, 10});
    s.named["tool"] = s.d->createNewSymbolToolsWithTypeFrame(TOVToolWave, {50, 60, 70, 80});
}

const OperationCase kDocumentCases[] = {
    {"DocumentBarNumberShow", Start::SingleRow, nullptr, [](Scene& s) { s.d->setBarNumberShow(2); }},
    {"DocumentFont", Start::SingleRow, nullptr,
     [](Scene& s) {
         s.d->setPlugInFontID("Jazz");
         s.d->setPlugInFontName("Jazz Font");
     }},
    {"DocumentNewPage", Start::SingleRow, nullptr, [](Scene& s) { s.d->createNewPageWithNumberAPage(1, 9); }},
    {"DocumentNewChordHistory", Start::SingleRow, nullptr,
     [](Scene& s) {
         s.d->createNewChordHistoryWithElemsIndex({5, 7, 3, 17, false}, 0);
     }},
    {"DocumentNewSong", Start::SingleRow, nullptr,
     [](Scene& s) { s.d->createNewSong()->setIsDoubleRow(true); }},
    {"DocumentNewTool", Start::SingleRow, nullptr,
     [](Scene& s) {
         s.d->createNewSymbolToolsWithTypeFrame(TOVToolArrow, {1, 2, 3, 4});
     }},
    {"DocumentNewText", Start::SingleRow, nullptr,
     [](Scene& s) {
         s.d->createNewSymbolTextWithTypeFrame(TOVToolFreeText, {1, 2, 3, 4})->setText(text("Coda"));
     }},
    {"DocumentRemovePage", Start::TwoPages, nullptr,
     [](Scene& s) { s.d->removePage(s.d->pageArray().front()); }},
    {"DocumentRemoveSymbol", Start::SingleRow, addSymbols,
     [](Scene& s) { s.d->removeSymbol(s.get<Symbol>("tool")); }},
    {"DocumentNormalizeWidths", Start::DoubleRow, [](Scene& s) { bar(s, 6)->justSetWidth(300); },
     [](Scene& s) { s.d->shouldNormalizeAllBarWidthInDocument(); }},
    {"DocumentRenumberPages", Start::TwoPages, nullptr,
     [](Scene& s) {
         s.d->incrementPageNumberOfPagesBehindWithLength(0, 4);
         s.d->decrementPageNumberOfPagesBehindWithLength(2, 1);
     }},
    {"SongTexts", Start::SingleRow, nullptr,
     [](Scene& s) {
         Song* song = s.d->song();
         song->setName(text("Blue Bossa"));
         song->setProducer(text("P"));
         song->setArranger(text("A"));
         song->setComposer(text("C"));
         song->setWriter(text("W"));
         song->setIsDoubleRow(true);
     }},
    {"SongTextCleared", Start::SingleRow, [](Scene& s) { s.d->song()->setName(text("Old")); },
     [](Scene& s) { s.d->song()->setName(std::nullopt); }},
    {"ChordHistorySetters", Start::SingleRow,
     [](Scene& s) {
         s.named["entry"] = s.d->createNewChordHistoryWithElemsIndex({0, 12, 70, 17, false}, 0);
     },
     [](Scene& s) {
         auto* entry = s.get<ChordHistory>("entry");
         entry->setChordElems({2, 1, 3, 9, true});
         entry->setIndex(9);
     }},
};

const OperationCase kPageLineCases[] = {
    {"PageNum", Start::TwoPages, nullptr, [](Scene& s) { s.d->lastPage()->setNum(5); }},
    {"PageFewerSlots", Start::SingleRow, nullptr, [](Scene& s) { s.d->pageArray().front()->setAPage(8); }},
    {"PageMoreSlotsPullLinesBack", Start::TwoPages, nullptr,
     [](Scene& s) { s.d->pageArray().front()->setAPage(12); }},
    {"PageNewLine", Start::SingleRow, nullptr,
     [](Scene& s) { s.d->lastPage()->createNewLineWithPartitionFirstBarlineType(3, TOVBarlineDotted); }},
    {"PageRemoveLine", Start::TwoPages, nullptr,
     [](Scene& s) { lineOf(s, 4)->page()->removeLine(lineOf(s, 4)); }},
    {"PageRemoveTheOnlyLine", Start::TwoPages, [](Scene& s) { s.d->lastPage()->removeLine(lineOf(s, 16)); },
     [](Scene& s) { s.d->lastPage()->removeLine(lineOf(s, 12)); }},
    {"PageMoveLastLines", Start::TwoPages, nullptr,
     [](Scene& s) { s.d->pageArray().front()->moveLastLinesToNextPage(3); }},
    {"PageMoveLastLinesToANewPage", Start::SingleRow, nullptr,
     [](Scene& s) { s.d->pageArray().front()->moveLastLinesToNextPage(2); }},
    {"PageMoveFirstLines", Start::TwoPages, nullptr,
     [](Scene& s) { s.d->lastPage()->moveFirstLinesToPreviousPage(2); }},
    {"PageAdjustLines", Start::TwoPages, [](Scene& s) { lineOf(s, 8)->setPage(s.d->lastPage()); },
     [](Scene& s) { s.d->pageArray().front()->adjustLines(); }},
    {"LinePartitionSmaller", Start::DoubleRow, nullptr,
     [](Scene& s) { lineOf(s, 4, true)->setPartition(3); }},
    {"LinePartitionLarger", Start::SingleRow, nullptr, [](Scene& s) { lineOf(s, 4)->setPartition(6); }},
    {"LineFirstBarLineType", Start::DoubleRow, nullptr,
     [](Scene& s) { lineOf(s, 4, true)->setFirstBarLineType(TOVBarlineDouble); }},
    {"LineJustSetters", Start::DoubleRow, nullptr,
     [](Scene& s) {
         lineOf(s, 4)->justSetPartition(7);
         lineOf(s, 8, true)->justSetFirstBarLineType(TOVBarlineRepeatForward);
     }},
    {"LineSetPage", Start::TwoPages, nullptr, [](Scene& s) { lineOf(s, 8, true)->setPage(s.d->lastPage()); }},
    {"LineNewBar", Start::SingleRow, nullptr,
     [](Scene& s) {
         lineOf(s, 35)->createNewBarWithNumberWidthBarlineType(36, 12.5, TOVBarlineGreatDouble);
     }},
    {"LineRemoveBarWithTwin", Start::DoubleRow, nullptr,
     [](Scene& s) { lineOf(s, 5)->removeBar(bar(s, 5)); }},
    {"LineRemoveTheLastBarOfAPage", Start::TwoPages,
     [](Scene& s) {
         s.d->lastPage()->removeLine(lineOf(s, 16));
         for (std::uint64_t n : {12, 13, 14}) {
             lineOf(s, n)->removeBar(bar(s, n));
         }
     },
     [](Scene& s) { lineOf(s, 15)->removeBar(bar(s, 15)); }},
    {"LineNewLowerLineWithBars", Start::SingleRow, nullptr,
     [](Scene& s) { lineOf(s, 8)->createLowerLineWithCreateEmptyBars(true); }},
    {"LineNewLowerLineWithoutBars", Start::SingleRow, nullptr,
     [](Scene& s) { lineOf(s, 8)->createLowerLineWithCreateEmptyBars(false); }},
    {"LineRemoveLowerLine", Start::DoubleRow, nullptr, [](Scene& s) { lineOf(s, 8)->removeLowerLine(); }},
    {"LineMoveLastBars", Start::DoubleRow, [](Scene& s) { lineOf(s, 4)->justSetPartition(2); },
     [](Scene& s) {
         Line* target = s.d->lastPage()->createNewLineWithPartitionFirstBarlineType(4, TOVBarlineSingle);
         lineOf(s, 4)->moveLastBarsToNextLine(target);
     }},
    {"LineMoveFirstBarsFromADoubleLine", Start::TwoPages, nullptr,
     [](Scene& s) { lineOf(s, 12)->moveFirstBarsToPreviousLine(lineOf(s, 8), 2); }},
    {"LineAdjustBarsSurplus", Start::SingleRow, [](Scene& s) { lineOf(s, 0)->justSetPartition(2); },
     [](Scene& s) { lineOf(s, 0)->adjustBars(); }},
    {"LineAdjustBarsPullFromADoubleLine", Start::TwoPages,
     [](Scene& s) { lineOf(s, 4)->removeBar(bar(s, 7)); }, [](Scene& s) { lineOf(s, 4)->adjustBars(); }},
    {"LineNormalizeWidths", Start::SingleRow, [](Scene& s) { bar(s, 1)->justSetWidth(10); },
     [](Scene& s) { lineOf(s, 1)->shouldNormalizeAllBarWidthInLine(); }},
};

const OperationCase kBarCases[] = {
    {"BarPairSetters", Start::DoubleRow, nullptr,
     [](Scene& s) {
         bar(s, 6, true)->setWidth(140.25);
         bar(s, 6, true)->setHeight(77);
         bar(s, 7)->setBarLineType(TOVBarlineRepeatBoth);
     }},
    {"BarNum", Start::DoubleRow, nullptr, [](Scene& s) { bar(s, 15, true)->setNum(40); }},
    {"BarPlainSetters", Start::DoubleRow, nullptr,
     [](Scene& s) {
         bar(s, 3)->setClefType(TOVSymbolClefF);
         bar(s, 3, true)->setKeyType(TOVSymbolKeySharp3);
         bar(s, 4)->setTimeType(TOVSymbolTime6_8);
         bar(s, 5)->setLongRest(3);
     }},
    {"BarJustSetters", Start::DoubleRow, nullptr,
     [](Scene& s) {
         bar(s, 2, true)->justSetNum(20);
         bar(s, 3, true)->justSetWidth(1);
         bar(s, 3, true)->justSetHeight(2);
         bar(s, 3, true)->justSetBarLineType(TOVBarlineDouble);
     }},
    {"BarMoveIntoTheNextLine", Start::SingleRow, nullptr, [](Scene& s) { bar(s, 3)->setLine(lineOf(s, 4)); }},
    {"BarMoveTheOnlyBarOutOfALine", Start::TwoPages,
     [](Scene& s) {
         for (std::uint64_t n : {17, 18, 19}) {
             lineOf(s, n)->removeBar(bar(s, n));
         }
     },
     [](Scene& s) { bar(s, 16)->setLine(lineOf(s, 0)); }},
    {"BarMoveSingleBarIntoADoubleLine", Start::TwoPages, nullptr,
     [](Scene& s) { bar(s, 12)->setLine(lineOf(s, 8)); }},
    {"BarMoveLowerBarIntoALowerLine", Start::DoubleRow, nullptr,
     [](Scene& s) { bar(s, 4, true)->setLine(lineOf(s, 0, true)); }},
    {"BarMovePairIntoASingleLine", Start::TwoPages, nullptr,
     [](Scene& s) { bar(s, 11)->setLine(lineOf(s, 12)); }},
    {"BarNewSymbols", Start::SingleRow, nullptr,
     [](Scene& s) {
         Bar* b = bar(s, 9);
         b->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFF, {1, 1, 1, 1});
         b->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, {2, 2, 2, 2})->setText(text("A"));
         b->createNewSymbolRepeatWithTypeFrame(TOVSymbolCoda, {3, 3, 3, 3})->setRepeatIDString("1.");
         b->createNewSymbolTempoWithTypeFrame(TOVSymbolTempoSpeed, {4, 4, 4, 4})->setSpeed(96);
     }},
    {"BarRemoveSymbol", Start::SingleRow, addSymbols,
     [](Scene& s) { bar(s, 5)->removeSymbol(s.get<Symbol>("text")); }},
    {"BarRemoveUnlinksFollowingTools", Start::SingleRow,
     [](Scene& s) {
         addSymbols(s);
         s.get<SymbolTools>("tool")->setBarFollowsTo(bar(s, 5));
     },
     [](Scene& s) { lineOf(s, 5)->removeBar(bar(s, 5)); }},
};

const OperationCase kSymbolCases[] = {
    {"SymbolSetters", Start::SingleRow, addSymbols,
     [](Scene& s) {
         auto* symbol = s.get<Symbol>("symbol");
         symbol->setType(TOVSymbolDynamicsF);
         symbol->setFrame({9, 9, 9, 9});
         symbol->setFlip(true);
         symbol->setAngle(33.3);
         symbol->setScale(1.7);
     }},
    {"SymbolScaleFromTheNaturalSize", Start::SingleRow, addSymbols,
     [](Scene& s) {
         s.get<Symbol>("symbol")->setInitialSize({2, 2});
     }},
    {"SymbolOwners", Start::SingleRow, addSymbols,
     [](Scene& s) {
         s.get<Symbol>("symbol")->setBar(bar(s, 6));
         s.get<Symbol>("tool")->setDocument(nullptr);
         s.get<Symbol>("tool")->setBar(bar(s, 7));
     }},
    {"SymbolRestoreFromSnapShot", Start::SingleRow, addSymbols,
     [](Scene& s) {
         auto snapshot = s.get<Symbol>("text")->createSnapShot();
         s.get<Symbol>("symbol")->restoreFromSnapShot(snapshot.get());
         auto* copy = s.context->insertNewObject<SymbolText>("SymbolText");
         copy->setBar(bar(s, 8));
         copy->restoreFromSnapShot(snapshot.get());
     }},
    {"ToolsSetters", Start::SingleRow, addSymbols,
     [](Scene& s) {
         auto* tool = s.get<SymbolTools>("tool");
         tool->setFrameRelativeToBar({1, 2, 3, 4});
         tool->setBarFollowsTo(bar(s, 12));
     }},
    {"TextSetter", Start::SingleRow, addSymbols,
     [](Scene& s) { s.get<SymbolText>("text")->setText(text("Fine")); }},
    {"RepeatSetters", Start::SingleRow, addSymbols,
     [](Scene& s) {
         auto* repeat = s.get<SymbolRepeat>("repeat");
         repeat->setRepeatIDString("x");
         repeat->setRepeatIDNumber(12);
         repeat->setRepeatNumberStates({{0, 1, 1, 0, 0, 0, 0, 0}});
     }},
    {"TempoSetter", Start::SingleRow, addSymbols,
     [](Scene& s) { s.get<SymbolTempo>("tempo")->setSpeed(144); }},
};

// Notes in bar 5 of a single-row song: a single note, a beamed pair, an eighth-span triplet and a note
// after them, all on level 1 (C), the first two tied; a sharp, an articulation and a rest in bar 6; two
// eighth slashes in bar 7.
void addNotes(Scene& s) {
    Bar* b = bar(s, 5);
    Note* melo = b->createNewSingleMeloFromLengthLevel(0, 240, 1);
    Note* beam = b->makeBeamOn({b->createNewSingleMeloFromLengthLevel(240, 120, 1),
                                b->createNewSingleMeloFromLengthLevel(360, 120, 1)});
    Note* triplet = b->createNewTripletFromLengthUnitsLevelKind(480, {80, 80, 80}, 1, 0);
    Note* last = b->createNewSingleMeloFromLengthLevel(720, 240, 1);
    s.named["melo"] = melo;
    s.named["unit"] = melo->firstUnit();
    s.named["tone"] = melo->firstUnit()->tones().front();
    s.named["beam"] = beam;
    s.named["triplet"] = triplet;
    s.named["last"] = last;
    s.named["lastTone"] = last->firstUnit()->tones().front();
    s.named["tie"] = s.get<NoteTone>("tone")->createNewTie();
    Note* other = bar(s, 6)->createNewSingleMeloFromLengthLevel(0, 240, 2);
    NoteTone* sharp = other->firstUnit()->tones().front();
    s.named["sharpTone"] = sharp;
    s.named["accidental"] = sharp->createNewAccidentalWithTypeFrame(TOVSymbolSharp, {1, 2, 3, 4});
    s.named["articulation"] = sharp->createNewArticulationWithTypeFrame(TOVSymbolStaccato, {5, 6, 7, 8});
    s.named["rest"] = bar(s, 6)->createNewSingleRestFromLength(240, 240);
    s.named["chord"] = b->createNewChordWithElemsTiming({0, 12, 70, 17, false}, 0);
    s.named["eighth1"] = bar(s, 7)->createNewSingleSlashFromLength(0, 120);
    s.named["eighth2"] = bar(s, 7)->createNewSingleSlashFromLength(120, 120);
}

NoteUnit* unitOf(Scene& s, const char* note, std::size_t i) {
    return s.get<Note>(note)->unitArray().at(i);
}

const OperationCase kNoteCases[] = {
    {"BarCreatesNotes", Start::SingleRow, nullptr,
     [](Scene& s) {
         Bar* b = bar(s, 3);
         b->createNewSingleMeloFromLengthLevel(0, 120, 2);
         b->createNewSingleRestFromLength(120, 120);
         b->createNewSingleSlashFromLength(240, 240);
         b->createNewBeatSlashFrom(480);
         b->createNewChordWithElemsTiming({5, 7, 3, 17, false}, 480);
         s.context->processPendingChanges();
     }},
    {"BarCreatesTuplets", Start::SingleRow, nullptr,
     [](Scene& s) {
         bar(s, 3)->createNewTripletFromLengthUnitsLevelKind(0, {80, 80, 80}, -1, 2);
         bar(s, 3)->createNewSextupletFromLengthUnitsLevelKind(240, {80, 80, 80, 80, 80, 80}, 3, 0);
     }},
    {"BarRemovesNotesAndChords", Start::SingleRow, addNotes,
     [](Scene& s) {
         bar(s, 5)->removeNote(s.get<Note>("beam"));
         bar(s, 5)->removeNote(s.get<Note>("melo"));
         bar(s, 5)->removeChord(s.get<Chord>("chord"));
     }},
    {"BarMakesABeam", Start::SingleRow, addNotes,
     [](Scene& s) {
         bar(s, 7)->makeBeamOn({s.get<Note>("eighth1"), s.get<Note>("eighth2")});
     }},
    {"BarSplitsABeam", Start::SingleRow, addNotes,
     [](Scene& s) { bar(s, 5)->makeBeamOff(s.get<Note>("beam")); }},
    {"BarSplitsABeamExceptAUnit", Start::SingleRow, addNotes,
     [](Scene& s) { bar(s, 5)->makeBeamOffExceptAnUnit(s.get<Note>("beam"), unitOf(s, "beam", 0)); }},
    {"NoteSetters", Start::SingleRow, addNotes,
     [](Scene& s) {
         s.get<Note>("melo")->setHeightLeft(20.3);
         s.get<Note>("melo")->setHeightRight(-4.1);
     }},
    {"NoteRemovesAUnitOfABeam", Start::SingleRow, addNotes,
     [](Scene& s) { s.get<Note>("beam")->removeUnit(unitOf(s, "beam", 1)); }},
    {"NoteRemovesASlot", Start::SingleRow, addNotes,
     [](Scene& s) { s.get<Note>("triplet")->removeUnit(unitOf(s, "triplet", 1)); }},
    {"NoteDividesATupletBeam", Start::SingleRow, addNotes,
     [](Scene& s) { s.get<Note>("triplet")->divideBeamOfTupletFromUnit(unitOf(s, "triplet", 1)); }},
    {"NoteUnitesSlots", Start::SingleRow, addNotes,
     [](Scene& s) {
         s.get<Note>("triplet")->makeUnitedOn({unitOf(s, "triplet", 0), unitOf(s, "triplet", 1)});
     }},
    {"NoteSplitsASlot", Start::SingleRow, addNotes,
     [](Scene& s) { s.get<Note>("triplet")->makeUnitedOff(unitOf(s, "triplet", 2)); }},
    {"NoteTupletBeamOffAndOn", Start::SingleRow, addNotes,
     [](Scene& s) {
         Note* triplet = s.get<Note>("triplet");
         triplet->makeBeamTupletOff(triplet->unitArray());
         triplet->makeBeamTupletOn({unitOf(s, "triplet", 1), unitOf(s, "triplet", 2)});
     }},
    {"NoteRestoreFromSnapShot", Start::SingleRow, addNotes,
     [](Scene& s) {
         auto snapshot = s.get<Note>("beam")->createSnapShot();
         auto* copy = s.context->insertNewObject<Note>("Note");
         copy->restoreFromSnapShot(snapshot.get());
         copy->setBar(bar(s, 9));
         s.context->processPendingChanges();
     }},
    {"UnitSetters", Start::SingleRow, addNotes,
     [](Scene& s) {
         NoteUnit* unit = s.get<NoteUnit>("unit");
         unit->setType(TOVUnitTypeOf(TOVUnitGroupNote, TOVLength8th));
         unit->setBeam(1);
         unit->setTiming(30);
         unit->setDuration(120);
     }},
    {"UnitTones", Start::SingleRow, addNotes,
     [](Scene& s) {
         NoteUnit* unit = s.get<NoteUnit>("unit");
         unit->createNewToneWithLevel(4);
         unit->createNewSlash();
         unit->removeTone(s.get<NoteTone>("tone"));
     }},
    {"UnitRemovesTheLastTone", Start::SingleRow, addNotes,
     [](Scene& s) { s.get<NoteUnit>("unit")->removeTone(s.get<NoteTone>("tone")); }},
    {"UnitMelodyToRestInABeam", Start::SingleRow, addNotes,
     [](Scene& s) { unitOf(s, "beam", 0)->convertMeloToRest(); }},
    {"UnitSlotToRestAndBack", Start::SingleRow, addNotes,
     [](Scene& s) {
         unitOf(s, "triplet", 0)->convertMeloToRest();
         unitOf(s, "triplet", 2)->convertSlashToRest();
         unitOf(s, "triplet", 0)->convertRestToSlash();
     }},
    {"UnitRestToMelody", Start::SingleRow, addNotes,
     [](Scene& s) { s.get<Note>("rest")->firstUnit()->convertRestToMelo(); }},
    {"UnitRestoreFromSnapShot", Start::SingleRow, addNotes,
     [](Scene& s) {
         auto snapshot = unitOf(s, "triplet", 0)->createSnapShot();
         s.get<Note>("rest")->firstUnit()->restoreFromSnapShot(snapshot.get());
     }},
    {"ToneSetters", Start::SingleRow, addNotes,
     [](Scene& s) {
         NoteTone* tone = s.get<NoteTone>("tone");
         tone->setLevel(-3);
         tone->setSlash(true);
         tone->setHead(2);
     }},
    {"ToneRemovesTies", Start::SingleRow, addNotes, [](Scene& s) { s.get<NoteTone>("tone")->removeTies(); }},
    {"ToneRemovesTheTieArrivingAtIt", Start::SingleRow, addNotes,
     [](Scene& s) { s.get<Tie>("tie")->toneRight()->removeTieLeft(); }},
    {"ToneReAimsItsTie", Start::SingleRow, addNotes,
     [](Scene& s) {
         s.get<Tie>("tie")->toneRight()->setLevel(3);
         s.get<NoteTone>("tone")->updateRightToneOfTie();
     }},
    {"ToneMakesATie", Start::SingleRow, addNotes,
     [](Scene& s) { unitOf(s, "beam", 1)->tones().front()->createNewTie(); }},
    {"ToneArticulations", Start::SingleRow, addNotes,
     [](Scene& s) {
         s.get<NoteTone>("tone")->createNewArticulationWithTypeFrame(TOVSymbolAccento, {1, 1, 1, 1});
         s.get<NoteTone>("sharpTone")->removeArticulation(s.get<SymbolInNote>("articulation"));
     }},
    {"ToneAccidentals", Start::SingleRow, addNotes,
     [](Scene& s) {
         s.get<NoteTone>("tone")->createNewAccidentalWithTypeFrame(TOVSymbolFlat, {1, 1, 1, 1});
         s.get<NoteTone>("sharpTone")->removeAccidental();
     }},
    {"ToneAccidentalSteps", Start::SingleRow, addNotes,
     [](Scene& s) {
         s.get<NoteTone>("tone")->accidentalUp();
         s.get<NoteTone>("sharpTone")->accidentalDown();
         s.get<NoteTone>("lastTone")->accidentalDown();
         s.get<NoteTone>("lastTone")->setThisAccidentalType(3);
     }},
    {"ToneRestatesItsAccidental", Start::SingleRow, addNotes,
     [](Scene& s) { s.get<NoteTone>("sharpTone")->updateAccidentalModeWithKey(0, 0); }},
    {"ToneEnharmonicMoves", Start::SingleRow, addNotes,
     [](Scene& s) {
         s.get<NoteTone>("lastTone")->enharmonicDown();
         s.get<NoteTone>("sharpTone")->enharmonicUp();
     }},
    {"ToneRestoreFromSnapShot", Start::SingleRow, addNotes,
     [](Scene& s) {
         auto snapshot = s.get<NoteTone>("sharpTone")->createSnapShot();
         s.get<NoteUnit>("unit")->createNewToneWithLevel(0)->restoreFromSnapShot(snapshot.get());
     }},
    {"TieSetters", Start::SingleRow, addNotes,
     [](Scene& s) {
         Tie* tie = s.get<Tie>("tie");
         tie->setToneRight(s.get<NoteTone>("lastTone"));
         tie->setToneLeft(s.get<NoteTone>("sharpTone"));
     }},
    {"AccidentalMovesToAnotherTone", Start::SingleRow, addNotes,
     [](Scene& s) { s.get<SymbolAccidental>("accidental")->setNoteTone(s.get<NoteTone>("lastTone")); }},
    {"AccidentalAndArticulationSetters", Start::SingleRow, addNotes,
     [](Scene& s) {
         s.get<SymbolAccidental>("accidental")->setFrame({9, 9, 9, 9});
         s.get<SymbolInNote>("articulation")->setAngle(12.5);
         s.get<SymbolInNote>("articulation")->setNoteTone(s.get<NoteTone>("tone"));
     }},
};

auto caseName = [](const auto& info) { return std::string(info.param.name); };

INSTANTIATE_TEST_SUITE_P(Document, UndoRedoTest, ::testing::ValuesIn(kDocumentCases), caseName);
INSTANTIATE_TEST_SUITE_P(PageLine, UndoRedoTest, ::testing::ValuesIn(kPageLineCases), caseName);
INSTANTIATE_TEST_SUITE_P(Bar, UndoRedoTest, ::testing::ValuesIn(kBarCases), caseName);
INSTANTIATE_TEST_SUITE_P(Symbol, UndoRedoTest, ::testing::ValuesIn(kSymbolCases), caseName);
INSTANTIATE_TEST_SUITE_P(Note, UndoRedoTest, ::testing::ValuesIn(kNoteCases), caseName);

} // namespace
