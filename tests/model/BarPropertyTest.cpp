#include "model/Bar.h"
#include "model/BarSnapShot.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/data/MemoryPasteboard.h"
#include "support/DocumentDump.h"
#include "support/SongBuilder.h"
#include "support/StructureCheck.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

using namespace tovtest;

namespace {

// Random sequences of the song's public operations, each in an undo group of its own. Each step is undone
// and redone against the songs recorded around it, then the whole history is undone to the start and redone
// to the end; the structure holds after every step.
//
// With `dropHistory`, the main loop turns between steps (deleted objects that nothing can reach any more
// are destroyed there), and now and then the undo stack is cleared or a few steps are undone before the
// next one drops them from redo: what is left of the history must undo and redo as exactly as before.
class Walker {
public:
    explicit Walker(unsigned seed) : random_(seed), song_(seed % 2 == 0) {}

    void run(int steps, bool dropHistory = false) {
        Document* d = song_.document;
        platform::ManagedObjectContext& context = *song_.context;
        UndoEnabled recording(context);
        platform::UndoManager& undo = context.undoManager();
        std::vector<std::string> history{dumpDocument(d)};
        ASSERT_EQ(structureFaults(d), "");
        for (int step = 0; step < steps; ++step) {
            if (dropHistory) {
                QCoreApplication::processEvents();
                const std::uint64_t roll = below(6);
                if (roll == 0) {
                    undo.removeAllActions();
                    history = {history.back()};
                } else if (roll == 1) {
                    for (std::uint64_t n = 1 + below(3); n > 0 && history.size() > 1; --n) {
                        history.pop_back();
                        std::string now = dumpDocument(d);
                        while (now != history.back() && undo.canUndo()) {
                            undo.undo();
                            now = dumpDocument(d);
                        }
                        ASSERT_EQ(now, history.back()) << "undoing before step " << step;
                    }
                    QCoreApplication::processEvents(); // redo still reaches what the undo took out
                }
            }
            undo.beginUndoGrouping();
            const std::string name = randomOperation();
            undo.endUndoGrouping();
            SCOPED_TRACE("step " + std::to_string(step) + ": " + name);
            const std::string after = dumpDocument(d);
            ASSERT_EQ(structureFaults(d), "");
            if (after == history.back()) {
                // Nothing changed; the empty group may or may not be kept, so it is not undone here.
                continue;
            }
            undo.undo();
            ASSERT_EQ(dumpDocument(d), history.back());
            ASSERT_EQ(structureFaults(d), "");
            undo.redo();
            ASSERT_EQ(dumpDocument(d), after);
            history.push_back(after);
        }
        for (std::size_t i = history.size() - 1; i > 0; --i) {
            std::string now = dumpDocument(d);
            while (now != history[i - 1] && undo.canUndo()) {
                undo.undo();
                now = dumpDocument(d);
                if (now != history[i - 1] && now != history[i]) {
                    break;
                }
            }
            ASSERT_EQ(now, history[i - 1]) << "undoing to step " << i - 1;
            ASSERT_EQ(structureFaults(d), "");
        }
        for (std::size_t i = 1; i < history.size(); ++i) {
            std::string now = dumpDocument(d);
            while (now != history[i] && undo.canRedo()) {
                undo.redo();
                now = dumpDocument(d);
                if (now != history[i] && now != history[i - 1]) {
                    break;
                }
            }
            ASSERT_EQ(now, history[i]) << "redoing to step " << i;
            ASSERT_EQ(structureFaults(d), "");
        }
        if (dropHistory) {
            // Nothing can be undone any more: every object left in memory is one in the song.
            undo.removeAllActions();
            QCoreApplication::processEvents();
            EXPECT_EQ(context.heldObjectCount(), context.allObjects().size());
        }
    }

private:
    std::uint64_t below(std::uint64_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<std::uint64_t>(0, n - 1)(random_);
    }

    Bar* anyBar(bool lowerToo = true) {
        const std::vector<Bar*> bars = song_.document->allBarsInWalkOrder();
        std::vector<Bar*> pool;
        for (Bar* bar : bars) {
            if (lowerToo || !bar->line()->isLowerOfDoublePart()) {
                pool.push_back(bar);
            }
        }
        return pool.empty() ? nullptr : pool[below(pool.size())];
    }

    std::string randomOperation() {
        Document* d = song_.document;
        const std::uint64_t maxBar = d->maxBarNumber();
        Bar* bar = anyBar();
        switch (below(10)) {
        case 0: {
            const std::uint64_t count = 1 + below(9);
            d->createNewBarsBehindBarLength(bar, count);
            return "insert " + std::to_string(count) + " behind " + std::to_string(bar->num());
        }
        case 1: {
            if (maxBar < 8) {
                return "nothing";
            }
            const std::uint64_t from = below(maxBar);
            const std::uint64_t to = std::min(maxBar - 1, from + below(6));
            d->deleteBarsFromTo(d->barFromNumberLower(from, false), d->barFromNumberLower(to, false));
            return "delete " + std::to_string(from) + ".." + std::to_string(to);
        }
        case 2: {
            const std::uint64_t from = bar->num();
            const std::uint64_t to = std::min(maxBar, from + below(4));
            d->copyBarsIntoPasteBoardFromTo(bar, d->barFromNumberLower(to, false), pasteboard_);
            Bar* target = anyBar();
            const std::uint64_t times = 1 + below(2);
            const bool chord = below(3) != 0;
            const bool note = below(3) != 0;
            d->pasteBarsFromPasteBoardAtBarCountChordNote(target, times, chord, note, pasteboard_);
            return "copy " + std::to_string(from) + ".." + std::to_string(to) + ", paste at " +
                   std::to_string(target->num()) + " x" + std::to_string(times);
        }
        case 3: {
            const std::uint64_t from = 240 * below(4);
            bar->createNewSingleMeloFromLengthLevel(from, 240 * (1 + below(2)),
                                                    static_cast<std::int64_t>(below(9)) - 4);
            bar->createNewChordWithElemsTiming({static_cast<int>(below(17)), 12, 70, 17, false}, from);
            song_.context->processPendingChanges();
            return "note and chord in " + std::to_string(bar->num());
        }
        case 4: {
            const std::int64_t width = static_cast<std::int64_t>(below(23)) - 11;
            d->updateClefKeyTimeStateForAllBars();
            const std::vector<Bar*> bars = d->allBarsInWalkOrder();
            for (Bar* b : bars) {
                b->willStartTranspose();
            }
            for (Bar* b : bars) {
                b->doTranspose(width);
            }
            for (Bar* b : bars) {
                b->doTransposeKeySignatureFirstBar(width, b->num() == 0);
            }
            d->updateClefKeyTimeStateForAllBars();
            for (Bar* b : bars) {
                b->didFinishTranspose();
            }
            return "transpose by " + std::to_string(width);
        }
        case 5:
            if (below(2) == 0) {
                bar->doTransposeOctaveUp();
            } else {
                bar->doTransposeOctaveDown();
            }
            return "octave in " + std::to_string(bar->num());
        case 6: {
            const int time = 768 + static_cast<int>(below(13));
            bar->setTimeType(time);
            d->updateClefKeyTimeStateForAllBars();
            d->truncateDataByTimeSignature();
            return "time " + std::to_string(time) + " in " + std::to_string(bar->num());
        }
        case 7: {
            Bar* source = anyBar();
            const auto snap = source->createSnapShot();
            bar->restoreFromSnapShotChordNoteNum(static_cast<const BarSnapShot*>(snap.get()), below(2) != 0,
                                                 below(2) != 0, bar->num());
            bar->didFinishPasting();
            song_.context->processPendingChanges();
            return "restore " + std::to_string(source->num()) + " into " + std::to_string(bar->num());
        }
        case 8:
            bar->clearData();
            return "clear " + std::to_string(bar->num());
        default: {
            // The last bar of a line moves to the front of the next line, upper or lower part.
            Line* line = bar->line();
            Line* upper = line->isLowerOfDoublePart() ? line->upper() : line;
            Line* next = upper->nextLine();
            const std::vector<Bar*> bars = line->barArray();
            if (!next || bars.size() < 2) {
                return "nothing";
            }
            Line* into = next->lower() && below(2) == 0 ? next->lower() : next;
            bars.back()->setLine(into);
            d->shouldNormalizeAllBarWidthInDocument();
            return "move the last bar of a line on";
        }
        }
    }

    std::mt19937 random_;
    TestSong song_;
    platform::MemoryPasteboard pasteboard_;
};

TEST(BarPropertyTest, RandomOperationSequencesUndoAndRedoExactly) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Walker walker(seed);
        walker.run(25);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST(BarPropertyTest, RandomSequencesWithDroppedHistoryUndoAndRedoExactly) {
    for (unsigned seed = 119; seed <= 142; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Walker walker(seed);
        walker.run(30, true);
        if (HasFatalFailure()) {
            return;
        }
    }
}

} // namespace
