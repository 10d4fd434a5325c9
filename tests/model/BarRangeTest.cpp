#include "document/TOVDocumentDump.h"
#include "model/Bar.h"
#include "model/BarSnapShot.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/SymbolToolsSnapShot.h"
#include "model/TOVPboardBars.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/data/MemoryPasteboard.h"
#include "platform/foundation/KeyedArchiver.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"
#include "support/StructureCheck.h"
#include "support/UndoRedoCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

using namespace tovtest;
using namespace TOVDocumentDump;

namespace {

// A song whose bars are told apart by a chord at the tick of their original number.
struct Scene {
    explicit Scene(const std::vector<PageSpec>& layout) : context(makeSongContext()) {
        d = makeLayout(*context, layout);
        for (Bar* bar : d->allBarsInWalkOrder()) {
            const bool lower = bar->line()->isLowerOfDoublePart();
            bar->createNewChordWithElemsTiming({lower ? 9 : 5, 7, 3, 17, false}, bar->num());
        }
        context->processPendingChanges();
    }
    std::unique_ptr<platform::ManagedObjectContext> context;
    Document* d = nullptr;
    platform::MemoryPasteboard pasteboard;

    Bar* bar(std::uint64_t num, bool lower = false) const { return d->barFromNumberLower(num, lower); }
};

// The original number of each bar of single and upper lines, and the partition of each line, in walk order.
std::string marks(const Document* d) {
    std::string out;
    for (Page* page : d->pageArray()) {
        for (Line* line : page->lineArray()) {
            if (line->bars().empty()) {
                continue;
            }
            out += "[" + std::to_string(line->partition()) + (line->lower() ? "D" : "") + ":";
            for (Bar* bar : line->barArray()) {
                const auto chords = bar->chordArray();
                out += " " + (chords.empty() ? std::string("_") : std::to_string(chords.front()->timing()));
            }
            out += "]";
        }
    }
    return out;
}

PageSpec singles(int lines) {
    PageSpec page{10, {{0, 0, false}}};
    for (int i = 0; i < lines; ++i) {
        page.lines.push_back({4, 4, false});
    }
    return page;
}

struct RangeCase {
    const char* name;
    std::vector<PageSpec> layout;
    std::function<void(Scene&)> operation;
    std::string after;
};

void runCases(const std::vector<RangeCase>& cases) {
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s(c.layout);
        ASSERT_EQ(structureFaults(s.d), "");
        const UndoRedoDumps dumps = runUndoRedo(s.d, [&] { c.operation(s); });
        EXPECT_EQ(marks(s.d), c.after);
        EXPECT_EQ(structureFaults(s.d), "");
        EXPECT_EQ(dumps.undone, dumps.before);
        EXPECT_EQ(dumps.redone, dumps.after);
        EXPECT_EQ(dumps.after.find("!cache"), std::string::npos);
    }
}

TEST(BarRangeTest, InsertingEmptyBars) {
    runCases({
        {"2 behind bar 1, more lines follow",
         {singles(2)},
         [](Scene& s) { s.d->createNewBarsBehindBarLength(s.bar(1), 2); },
         "[4: 0 1 _ _][2: 2 3][4: 4 5 6 7]"},
        {"2 behind bar 1 of the last line",
         {singles(1)},
         [](Scene& s) { s.d->createNewBarsBehindBarLength(s.bar(1), 2); },
         "[4: 0 1 _ _][4: 2 3]"},
        {"8 at the end of a full line",
         {singles(1)},
         [](Scene& s) { s.d->createNewBarsBehindBarLength(s.bar(3), 8); },
         "[4: 0 1 2 3][4: _ _ _ _][4: _ _ _ _]"},
        {"into a double line",
         {PageSpec{10, {{0, 0, false}, {4, 4, true}}}},
         [](Scene& s) { s.d->createNewBarsBehindBarLength(s.bar(0, true), 1); },
         "[4D: 0 _ 1 2][4D: 3]"},
        // Moving the last bar of a line on can leave the next line holding more bars than its partition; the
        // bars up to the one inserted behind keep their places before the new ones.
        {"behind the last bar of an over-full line",
         {PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 5, false}, {4, 4, false}}}},
         [](Scene& s) { s.d->createNewBarsBehindBarLength(s.bar(8), 8); },
         "[4: 0 1 2 3][4: 4 5 6 7][4: 8 _ _ _][4: _ _ _ _][1: _][4: 9 10 11 12]"},
        {"behind a middle bar of an over-full line",
         {PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 7, false}, {4, 4, false}}}},
         [](Scene& s) { s.d->createNewBarsBehindBarLength(s.bar(8), 5); },
         "[4: 0 1 2 3][4: 4 5 6 7][4: 8 _ _ _][4: _ _ 9 10][4: 11 12 13 14]"},
        {"nothing for count 0",
         {singles(1)},
         [](Scene& s) { s.d->createNewBarsBehindBarLength(s.bar(1), 0); },
         "[4: 0 1 2 3]"},
    });
}

TEST(BarRangeTest, DeletingRanges) {
    runCases({
        {"across two lines",
         {singles(3)},
         [](Scene& s) { s.d->deleteBarsFromTo(s.bar(2), s.bar(5)); },
         "[4: 0 1 6 7][4: 8 9 10 11]"},
        {"in the wrong order",
         {singles(3)},
         [](Scene& s) { s.d->deleteBarsFromTo(s.bar(5), s.bar(2)); },
         "[4: 0 1 6 7][4: 8 9 10 11]"},
        {"from a single into a double line",
         {PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 4, true}}}},
         [](Scene& s) { s.d->deleteBarsFromTo(s.bar(2), s.bar(5)); },
         "[2: 0 1][4D: 6 7]"},
        {"the last bars of the song",
         {singles(2)},
         [](Scene& s) { s.d->deleteBarsFromTo(s.bar(6), s.bar(7)); },
         "[4: 0 1 2 3][4: 4 5]"},
        {"a whole middle line",
         {singles(3)},
         [](Scene& s) { s.d->deleteBarsFromTo(s.bar(4), s.bar(7)); },
         "[4: 0 1 2 3][4: 8 9 10 11]"},
        {"a lower bar takes its pair",
         {PageSpec{10, {{0, 0, false}, {4, 4, true}}}},
         [](Scene& s) { s.d->deleteBarsFromTo(s.bar(1, true), s.bar(1, true)); },
         "[4D: 0 2 3]"},
        {"the first bars of the song",
         {singles(2)},
         [](Scene& s) { s.d->deleteBarsFromTo(s.bar(1), s.bar(0)); },
         "[2: 2 3][4: 4 5 6 7]"},
        {"the whole first line",
         {PageSpec{10, {{0, 0, false}, {4, 4, true}, {4, 4, true}}}},
         [](Scene& s) { s.d->deleteBarsFromTo(s.bar(0), s.bar(3)); },
         "[4D: 4 5 6 7]"},
    });
}

// Renumbering behind a bar never takes a number below zero: bars the shift would carry past it get 0, and
// twins keep the number of their upper bar.
TEST(BarRangeTest, BarNumbersShiftedDownStopAtZero) {
    Scene s({PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 4, true}, {4, 4, false}}}});
    std::vector<Bar*> bars;
    std::vector<Bar*> twins;
    for (std::uint64_t n = 0; n < 12; ++n) {
        bars.push_back(s.bar(n));
        if (Bar* twin = s.bar(n, true)) {
            twins.push_back(twin);
        }
    }
    ASSERT_EQ(twins.size(), 4u);
    s.d->decrementBarNumberOfBarsBehindWithLength(2, 5);
    s.context->processPendingChanges();
    // The bars by their number before, upper and lower.
    std::vector<std::uint64_t> upper;
    std::vector<std::uint64_t> lower;
    for (std::uint64_t n = 0; n < 12; ++n) {
        upper.push_back(bars[n]->num());
        if (n >= 4 && n < 8) {
            lower.push_back(twins[n - 4]->num());
        }
    }
    EXPECT_EQ(upper, (std::vector<std::uint64_t>{0, 1, 2, 0, 0, 0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(lower, (std::vector<std::uint64_t>{0, 0, 1, 2}));
}

TEST(BarRangeTest, CopyAndPaste) {
    runCases({
        {"3 bars twice at bar 10",
         {singles(5)},
         [](Scene& s) {
             s.d->copyBarsIntoPasteBoardFromTo(s.bar(1), s.bar(3), s.pasteboard);
             EXPECT_EQ(s.d->pasteBarsFromPasteBoardAtBarCountChordNote(s.bar(10), 2, true, true, s.pasteboard)
                           .size(),
                       6u);
         },
         "[4: 0 1 2 3][4: 4 5 6 7][4: 8 9 1 2][4: 3 1 2 3][4: 16 17 18 19]"},
        {"past the end of a single line",
         {singles(1)},
         [](Scene& s) {
             s.d->copyBarsIntoPasteBoardFromTo(s.bar(1), s.bar(2), s.pasteboard);
             s.d->pasteBarsFromPasteBoardAtBarCountChordNote(s.bar(3), 1, true, true, s.pasteboard);
         },
         "[4: 0 1 2 1][4: 2]"},
        {"a double copy past the end makes the line double",
         {PageSpec{10, {{0, 0, false}, {4, 4, true}, {4, 3, false}}}},
         [](Scene& s) {
             s.d->copyBarsIntoPasteBoardFromTo(s.bar(0), s.bar(0), s.pasteboard);
             s.d->pasteBarsFromPasteBoardAtBarCountChordNote(s.bar(6), 2, true, true, s.pasteboard);
             EXPECT_EQ(s.bar(7, true)->chordArray().front()->chordElems().elemStep1, 9);
         },
         "[4D: 0 1 2 3][4D: 4 5 0 0]"},
        {"from a lower line into a single line",
         {PageSpec{10, {{0, 0, false}, {4, 4, true}, {4, 4, false}}}},
         [](Scene& s) {
             s.d->copyBarsIntoPasteBoardFromTo(s.bar(1, true), s.bar(1, true), s.pasteboard);
             s.d->pasteBarsFromPasteBoardAtBarCountChordNote(s.bar(5), 1, true, true, s.pasteboard);
             EXPECT_EQ(s.bar(5)->chordArray().front()->chordElems().elemStep1, 9);
         },
         "[4D: 0 1 2 3][4: 4 1 6 7]"},
        {"past the end of an over-full line",
         {PageSpec{10, {{0, 0, false}, {4, 4, false}, {2, 3, false}}}},
         [](Scene& s) {
             s.d->copyBarsIntoPasteBoardFromTo(s.bar(1), s.bar(2), s.pasteboard);
             s.d->pasteBarsFromPasteBoardAtBarCountChordNote(s.bar(6), 1, true, true, s.pasteboard);
         },
         "[4: 0 1 2 3][2: 4 5 1][4: 2]"},
        {"chords off",
         {singles(2)},
         [](Scene& s) {
             s.d->copyBarsIntoPasteBoardFromTo(s.bar(0), s.bar(0), s.pasteboard);
             s.d->pasteBarsFromPasteBoardAtBarCountChordNote(s.bar(5), 1, false, true, s.pasteboard);
         },
         "[4: 0 1 2 3][4: 4 _ 6 7]"},
    });
}

// A bar moved from the end of one line to the front of the next keeps the pairs whole, whatever the kinds
// of the two lines, and whether it is the upper or the lower bar that is moved.
TEST(BarRangeTest, MovingABarKeepsPairsWhole) {
    enum Source { UpperWithPartner, UpperWithout, Lower };
    enum Target { Single, Upper, LowerTarget };
    for (Source source : {UpperWithPartner, UpperWithout, Lower}) {
        for (Target target : {Single, Upper, LowerTarget}) {
            SCOPED_TRACE("source " + std::to_string(source) + ", target " + std::to_string(target));
            const bool sourceDouble = source != UpperWithout;
            const bool targetDouble = target != Single;
            runCases({{"move",
                       {PageSpec{10, {{0, 0, false}, {4, 4, sourceDouble}, {4, 4, targetDouble}}}},
                       [=](Scene& s) {
                           Line* into = s.bar(4)->line();
                           s.bar(3, source == Lower)->setLine(target == LowerTarget ? into->lower() : into);
                       },
                       std::string("[4") + (sourceDouble ? "D" : "") + ": 0 1 2][4" +
                           (sourceDouble || targetDouble ? "D" : "") + ": 3 4 5 6 7]"}});
        }
    }
}

// A bar taken out of its line, from either part of a pair, takes its partner with it; a line left without
// bars goes, and its lower line with it.
TEST(BarRangeTest, ABarTakenOutOfItsLineTakesItsPartner) {
    for (bool lower : {false, true}) {
        SCOPED_TRACE(lower ? "the lower bar" : "the upper bar");
        runCases({{"the last of two",
                   {PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 2, true}}}},
                   [=](Scene& s) {
                       Bar* bar = s.bar(5, lower);
                       Bar* partner = bar->alternativeBarInDoubleLine();
                       ASSERT_NE(partner, nullptr);
                       bar->setLine(nullptr);
                       EXPECT_EQ(bar->line(), nullptr);
                       EXPECT_EQ(partner->line(), nullptr);
                   },
                   "[4: 0 1 2 3][4D: 4]"},
                  {"the only one",
                   {PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 1, true}}}},
                   [=](Scene& s) {
                       Bar* bar = s.bar(4, lower);
                       Bar* partner = bar->alternativeBarInDoubleLine();
                       ASSERT_NE(partner, nullptr);
                       bar->setLine(nullptr);
                       EXPECT_EQ(partner->line(), nullptr);
                       EXPECT_EQ(s.context->fetchObjects("Line").size(), 2u);
                   },
                   "[4: 0 1 2 3]"}});
    }
}

TEST(BarRangeTest, LowerLinesTakeNoLineUnderThemAndRemoveBarsInPairs) {
    runCases({{"remove a lower bar",
               {PageSpec{10, {{0, 0, false}, {4, 4, true}}}},
               [](Scene& s) {
                   Line* lower = s.bar(0)->line()->lower();
                   lower->removeBar(s.bar(3, true));
                   EXPECT_EQ(lower->createLowerLineWithCreateEmptyBars(true), nullptr);
               },
               "[4D: 0 1 2]"}});
}

// Every bar operation is one undo step: undone to the song before it, redone to the song after it.
TEST(BarRangeTest, BarOperationsUndoAndRedoAsOneStep) {
    struct Case {
        const char* name;
        std::function<void(Scene&)> operation;
    };
    const std::vector<Case> cases = {
        {"restore from a snapshot",
         [](Scene& s) {
             const auto snap = s.bar(1)->createSnapShot();
             s.bar(6)->restoreFromSnapShotChordNoteNum(static_cast<const BarSnapShot*>(snap.get()), true,
                                                       true, 6);
             s.bar(6)->didFinishPasting();
         }},
        {"clear a bar", [](Scene& s) { s.bar(1)->clearData(); }},
        {"fit every bar to 3/4",
         [](Scene& s) {
             s.bar(0)->setTimeType(TOVSymbolTime3_4);
             s.d->updateClefKeyTimeStateForAllBars();
             s.d->truncateDataByTimeSignature();
         }},
        {"complete ties",
         [](Scene& s) {
             NoteTone* from = s.bar(2)->noteArray().back()->lastUnit()->toneArray().front();
             s.bar(3)->noteArray().front()->firstUnit()->toneArray().front()->setLevel(from->level());
             from->setNeedCreateTie(true);
             s.d->completeTie();
             EXPECT_NE(from->tieRight(), nullptr);
             EXPECT_FALSE(from->needCreateTie());
         }},
        {"octave up", [](Scene& s) { s.bar(1)->doTransposeOctaveUp(); }},
        {"octave down", [](Scene& s) { s.bar(1)->doTransposeOctaveDown(); }},
        {"transpose by 5",
         [](Scene& s) {
             for (Bar* bar : s.d->allBarsInWalkOrder()) {
                 bar->willStartTranspose();
             }
             for (Bar* bar : s.d->allBarsInWalkOrder()) {
                 bar->doTranspose(5);
             }
             for (Bar* bar : s.d->allBarsInWalkOrder()) {
                 bar->doTransposeKeySignatureFirstBar(5, bar->num() == 0);
             }
             for (Bar* bar : s.d->allBarsInWalkOrder()) {
                 bar->didFinishTranspose();
             }
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s({PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 4, true}}}});
        // Four quarter notes in every bar, the last one's tone continuing into the next bar.
        for (Bar* bar : s.d->allBarsInWalkOrder()) {
            for (std::uint64_t t : {0, 240, 480, 720}) {
                bar->createNewSingleMeloFromLengthLevel(t, 240, static_cast<std::int64_t>(t / 240) - 2);
            }
        }
        s.context->processPendingChanges();
        s.d->updateClefKeyTimeStateForAllBars();
        const UndoRedoDumps dumps = runUndoRedo(s.d, [&] { c.operation(s); });
        EXPECT_NE(dumps.after, dumps.before);
        EXPECT_EQ(dumps.undone, dumps.before);
        EXPECT_EQ(dumps.redone, dumps.after);
        EXPECT_EQ(structureFaults(s.d), "");
    }
}

TEST(BarRangeTest, PasteOfForeignOrDamagedDataChangesNothing) {
    Scene source({singles(2)});
    source.d->copyBarsIntoPasteBoardFromTo(source.bar(0), source.bar(3), source.pasteboard);
    const platform::Bytes good = *source.pasteboard.dataForType(Document::CopiedBarsDataType);
    platform::Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    platform::Bytes flipped = good;
    for (std::size_t i = 10; i < flipped.size(); i += 7) {
        flipped[i] ^= 0x5A;
    }
    const std::vector<std::pair<std::string, std::function<void(platform::MemoryPasteboard&)>>> cases = {
        {"no declared type", [&](platform::MemoryPasteboard& p) { p.setDataForType(good, "copiedBars"); }},
        {"declared type without data",
         [](platform::MemoryPasteboard& p) { p.addTypes({"TOVCopiedBarDataVer2"}); }},
        {"truncated",
         [&](platform::MemoryPasteboard& p) {
             p.addTypes({"TOVCopiedBarDataVer2"});
             p.setDataForType(truncated, "copiedBars");
         }},
        {"damaged",
         [&](platform::MemoryPasteboard& p) {
             p.addTypes({"TOVCopiedBarDataVer2"});
             p.setDataForType(flipped, "copiedBars");
         }},
        {"a bar that cannot be laid out, behind a good one",
         [](platform::MemoryPasteboard& p) {
             TOVPboardBars::Bars bars;
             bars.push_back(std::make_unique<BarSnapShot>());
             bars.push_back(std::make_unique<BarSnapShot>());
             bars.back()->setWidth(-50);
             TOVPboardBars container;
             container.setUpperBars(std::move(bars));
             p.addTypes({"TOVCopiedBarDataVer2"});
             p.setDataForType(platform::KeyedArchiver::archivedDataWithRootObject(container), "copiedBars");
         }},
        {"a symbol whose frame is not a number",
         [](platform::MemoryPasteboard& p) {
             TOVPboardBars::Bars bars;
             bars.push_back(std::make_unique<BarSnapShot>());
             BarSnapShot::SnapShots symbols;
             symbols.push_back(std::make_unique<SymbolToolsSnapShot>());
             static_cast<SymbolToolsSnapShot&>(*symbols.back())
                 .setFrameRelativeToBarRect(platform::Rect(0, std::nan(""), 10, 10));
             bars.back()->setSymbolArray(std::move(symbols));
             TOVPboardBars container;
             container.setUpperBars(std::move(bars));
             p.addTypes({"TOVCopiedBarDataVer2"});
             p.setDataForType(platform::KeyedArchiver::archivedDataWithRootObject(container), "copiedBars");
         }},
        {"a number instead of bars",
         [](platform::MemoryPasteboard& p) {
             p.addTypes({"TOVCopiedBarDataVer2"});
             p.setDataForType(platform::KeyedArchiver::archivedDataWithRootNumber(7), "copiedBars");
         }},
    };
    for (const auto& [name, fill] : cases) {
        SCOPED_TRACE(name);
        Scene s({singles(2)});
        fill(s.pasteboard);
        const std::string before = dumpDocument(s.d);
        {
            UndoEnabled undo(*s.context);
            EXPECT_TRUE(s.d->pasteBarsFromPasteBoardAtBarCountChordNote(s.bar(2), 1, true, true, s.pasteboard)
                            .empty());
        }
        EXPECT_EQ(dumpDocument(s.d), before);
        EXPECT_FALSE(s.context->undoManager().canUndo());
    }
}

} // namespace
