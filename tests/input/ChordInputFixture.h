#pragma once

#include "glyphs/GlyphServices.h"
#include "input/TOVChordInputEditor.h"
#include "input/TOVChordWindowController.h"
#include "model/Bar.h"
#include "model/ChordHistory.h"
#include "model/Document.h"
#include "model/TOVChordUtils.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/UndoManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowEvents.h"
#include "support/SongBuilder.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace inputtest {

// An editor of a small song as the chord window sees it: chords by bar and timing, a chord input position
// that steps by what it is asked and stays, answering NO, where a step would leave the last bar, the
// document's real chord history, and the song's undo manager, into which each written chord registers its
// undo.
class FakeChordEditor : public TOVChordInputEditor {
public:
    using Position = std::pair<std::size_t, std::uint64_t>; // bar index, timing

    FakeChordEditor() : bars(song.document->allBarsInWalkOrder()) {}

    void chordWindowWillStart() override { ++started; }
    void chordWindowDidClose() override { ++closed; }
    TOVChordElems selectedChord() const override {
        const auto found = chords.find(position);
        return found != chords.end() ? found->second : TOVChordUtils::zeroChord();
    }
    void insertChordAtCursor(const TOVChordElems& chord) override {
        inserted.push_back(chord);
        write(position,
              chord == TOVChordUtils::zeroChord() ? std::nullopt : std::optional<TOVChordElems>(chord));
    }
    bool progressChordTiming(std::uint64_t step, bool shouldFollowRhythm) override {
        steps.emplace_back(step, shouldFollowRhythm);
        Position next{position.first, position.second + step};
        if (next.second >= bars[next.first]->totalRhythmLength()) {
            if (next.first + 1 >= bars.size()) {
                return false;
            }
            next = {next.first + 1, 0};
        }
        position = next;
        return true;
    }
    bool gobackChordIndex() override {
        ++gobacks;
        for (auto it = chords.rbegin(); it != chords.rend(); ++it) {
            if (it->first < position) {
                position = it->first;
                return true;
            }
        }
        return false;
    }
    std::vector<ChordHistory*> chordHistoryArray() const override {
        return song.document->chordHistoryArray();
    }
    void addChordHistory(const TOVChordElems& chord) override {
        for (const ChordHistory* entry : song.document->chordHistoryArray()) {
            if (entry->chordElems() == TOVChordElems::fromCodes(chord.elemStep1, chord.elemStep2,
                                                                chord.elemStep3, chord.elemStepBase)) {
                return;
            }
        }
        song.document->createNewChordHistoryWithElemsIndex(chord, 0);
    }
    Bar* currentBar() const override { return bars.empty() ? nullptr : bars[position.first]; }
    platform::UndoManager* undoManager() const override { return &song.context->undoManager(); }

    platform::UndoManager& undo() const { return song.context->undoManager(); }
    // The number of undo steps, counted by undoing them all and redoing them again.
    int undoSteps() const {
        int count = 0;
        while (undo().canUndo()) {
            undo().undo();
            ++count;
        }
        for (int i = 0; i < count; ++i) {
            undo().redo();
        }
        return count;
    }

    tovtest::TestSong song;
    std::vector<Bar*> bars;
    Position position{0, 0};
    std::map<Position, TOVChordElems> chords;
    std::vector<TOVChordElems> inserted;
    std::vector<std::pair<std::uint64_t, bool>> steps;
    int started = 0;
    int closed = 0;
    int gobacks = 0;

private:
    // Writes or removes the chord and registers the way back, which registers its own way back in turn.
    void write(const Position& at, const std::optional<TOVChordElems>& chord) {
        const auto found = chords.find(at);
        const std::optional<TOVChordElems> before =
            found != chords.end() ? std::optional<TOVChordElems>(found->second) : std::nullopt;
        undoManager()->registerUndo([this, at, before] { write(at, before); });
        if (chord) {
            chords[at] = *chord;
        } else {
            chords.erase(at);
        }
    }
};

// The application, the real chord glyphs, an editor of a new song and one chord window.
class ChordWindowFixture : public ::testing::Test {
protected:
    ChordWindowFixture() { renew(); }

    // A new editor and a new window, for the next case of a table.
    void renew() {
        controller_.reset();
        undoOn_.reset();
        editor_ = std::make_unique<FakeChordEditor>();
        undoOn_ = std::make_unique<tovtest::UndoEnabled>(*editor_->song.context);
        controller_ = std::make_unique<TOVChordWindowController>();
    }
    FakeChordEditor& editor() { return *editor_; }
    // Changes the song as its set-up, outside the undo history.
    void setUp(const std::function<void()>& change) {
        editor().undo().disableUndoRegistration();
        change();
        editor().undo().enableUndoRegistration();
    }
    TOVChordWindowController& controller() { return *controller_; }

    // Runs the window for the editor as the document window does (undo grouped by the window's commits
    // only, every group closed after the run) and calls `inside` within the modal run, once the window
    // shows; the window is closed afterwards if `inside` left it open.
    void runWindow(int mode, const std::function<void()>& inside) {
        platform::UndoManager& undo = editor().undo();
        undo.setGroupsByEvent(false);
        bool called = false;
        QTimer::singleShot(0, [&] {
            called = true;
            EXPECT_TRUE(controller().running());
            (void)QTest::qWaitForWindowExposed(window());
            inside();
            if (controller().running()) {
                controller().window()->close();
            }
        });
        controller().showCustomDialog(&editor(), mode);
        EXPECT_TRUE(called);
        EXPECT_FALSE(controller().running());
        for (int open = undo.groupingLevel(); open > 0; --open) {
            undo.endUndoGrouping();
        }
        undo.setGroupsByEvent(true);
    }

    QWindow* window() { return controller().window()->windowHandle(); }

    // A click of the left button through the window system, on the widget's point (its centre when none).
    void click(QWidget* widget, std::optional<QPoint> at = std::nullopt) {
        ASSERT_NE(widget, nullptr);
        uitest::WindowEvents events(*widget);
        clockMs_ += 2000;
        events.click(at.value_or(widget->rect().center()), clockMs_);
    }
    void doubleClick(QWidget* widget, std::optional<QPoint> at = std::nullopt) {
        ASSERT_NE(widget, nullptr);
        uitest::WindowEvents events(*widget);
        clockMs_ += 2000;
        events.click(at.value_or(widget->rect().center()), clockMs_);
        events.click(at.value_or(widget->rect().center()), clockMs_ + 50);
    }
    void key(Qt::Key key) { QTest::keyClick(window(), key); }

    glyphtest::GlyphServices glyphs;
    platform::Application application;

private:
    std::unique_ptr<FakeChordEditor> editor_;
    std::unique_ptr<tovtest::UndoEnabled> undoOn_;
    std::unique_ptr<TOVChordWindowController> controller_;
    ulong clockMs_ = 10000;
};

} // namespace inputtest
