#include "ChordInputFixture.h"

#include "input/TOVChord1StepViewController.h"
#include "input/TOVChord1stStepViewController.h"
#include "input/TOVChord3StepsViewController.h"
#include "input/TOVChordDiatonicViewController.h"
#include "input/TOVChordElemGridViewController.h"
#include "input/TOVChordHistoryViewController.h"
#include "input/TOVChordPreviewView.h"

#include <string>

namespace {

constexpr TOVChordElems Empty{};

// The reports of the pages, in order.
class RecordingDelegate : public TOVChordViewDelegate {
public:
    void doubleClicked(QObject* sender) override { heard.push_back("double " + name(sender)); }
    void selectionChanged(QObject* sender, std::ptrdiff_t index) override {
        heard.push_back("select " + name(sender) + " " +
                        (index == NotFound ? "none" : std::to_string(index)));
    }
    std::string name(QObject* sender) const {
        const auto found = names.find(sender);
        return found != names.end() ? found->second : "?";
    }
    std::map<QObject*, std::string> names;
    std::vector<std::string> heard;
};

class ChordPagesTest : public ::testing::Test {
protected:
    void click(QWidget* widget, QPoint at, ulong time) {
        uitest::WindowEvents events(*widget);
        events.click(at, time);
    }
    void clickCell(TOVChordCollectionView* grid, std::size_t index, ulong time) {
        click(grid->viewport(), grid->viewportCenterOfItem(index), time);
    }
    ChordHistory* entry(const TOVChordElems& chord) {
        return song.document->createNewChordHistoryWithElemsIndex(chord, 0);
    }

    glyphtest::GlyphServices glyphs;
    tovtest::TestSong song;
};

} // namespace

TEST_F(ChordPagesTest, HistoryCellsFollowTheEntriesInOrder) {
    TOVChordHistoryViewController history;
    history.setHistory(song.document->chordHistoryArray());
    EXPECT_TRUE(history.items().empty()) << "a new song has no history";
    EXPECT_EQ(history.chord(), Empty);

    entry({0, 12, 70, 17, false});
    entry({7, 12, 70, 10, false}); // F/G, added from a value without its slash flag
    entry(Empty);
    history.setHistory(song.document->chordHistoryArray());
    ASSERT_EQ(history.items().size(), 3u);
    EXPECT_EQ(history.items()[1].chord, (TOVChordElems{7, 12, 70, 10, true}));
    EXPECT_TRUE(history.items()[0].bezierPath.has_value());
    EXPECT_FALSE(history.items()[2].bezierPath.has_value()) << "an entry that is no chord draws nothing";

    history.collectionView()->setSelectionIndexes({1});
    EXPECT_EQ(history.chord(), (TOVChordElems{7, 12, 70, 10, true}));
    history.collectionView()->setSelectionIndexes({2});
    EXPECT_EQ(history.chord(), Empty);
    history.refreshAllItems();
    EXPECT_TRUE(history.collectionView()->selectionIndexes().empty());
    EXPECT_FALSE(history.items()[2].bezierPath.has_value());
}

TEST_F(ChordPagesTest, TheOneStepPageTakesTheLastGridClickedAndIgnoresBlankHistoryCells) {
    TOVChord1StepViewController page;
    RecordingDelegate window;
    page.setChordDelegate(&window);
    entry(Empty);
    entry({13, 1, 70, 17, false});
    page.setHistory(song.document->chordHistoryArray());
    page.view()->resize(page.view()->sizeHint());
    TOVChordCollectionView* diatonic = page.diatonicViewController()->collectionView();
    TOVChordCollectionView* history = page.historyViewController()->collectionView();
    window.names = {{diatonic, "diatonic"}, {history, "history"}};

    clickCell(diatonic, 4, 1000);
    EXPECT_EQ(page.chord(), (TOVChordElems{10, 3, 70, 17, false}));
    clickCell(history, 1, 3000);
    EXPECT_TRUE(diatonic->selectionIndexes().empty());
    EXPECT_EQ(page.chord(), (TOVChordElems{13, 1, 70, 17, false}));
    clickCell(history, 0, 5000);
    EXPECT_EQ(page.chord(), Empty) << "the blank cell is no choice";
    clickCell(diatonic, 0, 7000);
    EXPECT_TRUE(history->selectionIndexes().empty());
    clickCell(history, 1, 9000);
    clickCell(history, 1, 9050);
    EXPECT_EQ(window.heard, std::vector<std::string>{"double history"});
    page.clear();
    EXPECT_EQ(page.chord(), Empty);
}

TEST_F(ChordPagesTest, DiatonicCellsCarryTheRowsIntoTheKeyAndKeepTheirNames) {
    TOVChordDiatonicViewController diatonic;
    struct KeyCase {
        int asked;
        int shown;
    };
    for (const KeyCase& c :
         {KeyCase{0, 0}, KeyCase{9, 9}, KeyCase{2, 2}, KeyCase{1, 1}, KeyCase{14, 13}, KeyCase{15, 13}}) {
        SCOPED_TRACE(c.asked);
        diatonic.collectionView()->setSelectionIndexes({3});
        diatonic.setCurrentKey(c.asked);
        EXPECT_EQ(diatonic.currentKey(), c.shown);
        EXPECT_TRUE(diatonic.collectionView()->selectionIndexes().empty());
        ASSERT_EQ(diatonic.diatonicChords().size(), 35u);
        for (std::uint64_t row = 0; row < 35; ++row) {
            const auto& item = diatonic.diatonicChords()[row];
            EXPECT_EQ(item.chord, TOVChordUtils::diatonicChordOfIndexForKey(row, c.shown)) << row;
            EXPECT_TRUE(item.bezierPath.has_value()) << row;
        }
        EXPECT_EQ(diatonic.diatonicChords()[4].label, QStringLiteral("G7"));
        EXPECT_EQ(diatonic.diatonicChords()[18].label, QStringLiteral("F/G"));
    }
    diatonic.setCurrentKey(9);
    EXPECT_EQ(diatonic.diatonicChords()[4].chord, (TOVChordElems{3, 3, 70, 17, false})) << "G7 in G is D7";
    EXPECT_EQ(diatonic.diatonicChords()[18].chord, (TOVChordElems{0, 12, 70, 3, true})) << "F/G in G is C/D";
    diatonic.setCurrentKey(2);
    EXPECT_EQ(diatonic.diatonicChords()[0].chord.elemStep1, 2) << "D flat";
    diatonic.setCurrentKey(1);
    EXPECT_EQ(diatonic.diatonicChords()[0].chord.elemStep1, 1) << "C sharp";
    diatonic.collectionView()->setSelectionIndexes({5});
    EXPECT_EQ(diatonic.chord(), TOVChordUtils::diatonicChordOfIndexForKey(5, 1));
}

// The steps of the builder: from a step, after a button or a double click, the step shown, what is left
// of the chord and which buttons are enabled.
TEST_F(ChordPagesTest, BuilderStepsClearLaterChoicesAndEnableTheirButtons) {
    struct StepCase {
        const char* name;
        TOVChordElems loaded;
        std::function<void(TOVChord3StepsViewController&)> act;
        int mode;
        TOVChordElems chord;
        bool back, clear, next;
    };
    const TOVChordElems full{0, 7, 3, 10, true};
    const std::vector<StepCase> cases = {
        {"nothing chosen", Empty, [](auto&) {}, 0, Empty, false, false, false},
        {"a chord with only a bass",
         {17, 12, 70, 10, true},
         [](auto&) {},
         0,
         {17, 12, 70, 10, true},
         false,
         true,
         false},
        {"a loaded chord, Next from step 0 clears quality, tension and bass",
         full,
         [](auto& b) { b.next(); },
         1,
         {0, 12, 70, 17, false},
         true,
         true,
         true},
        {"Next from step 1 keeps the quality",
         full,
         [](auto& b) {
             b.next();
             b.secondViewCtrler()->setElemType(7);
             b.thirdViewCtrler()->setElemType(3);
             b.next();
         },
         2,
         {0, 7, 70, 17, false},
         true,
         true,
         false},
        {"Next in step 2 does nothing",
         full,
         [](auto& b) {
             b.next();
             b.next();
             b.thirdViewCtrler()->setElemType(3);
             b.next();
         },
         2,
         {0, 12, 3, 17, false},
         true,
         true,
         false},
        {"Back from step 2 keeps the quality, clears the tension",
         full,
         [](auto& b) {
             b.next();
             b.secondViewCtrler()->setElemType(7);
             b.next();
             b.thirdViewCtrler()->setElemType(3);
             b.back();
         },
         1,
         {0, 7, 70, 17, false},
         true,
         true,
         true},
        {"Back from step 1 keeps the root",
         full,
         [](auto& b) {
             b.next();
             b.secondViewCtrler()->setElemType(7);
             b.back();
         },
         0,
         {0, 12, 70, 17, false},
         false,
         true,
         true},
        {"Slash keeps everything and marks a slash chord",
         {0, 7, 3, 17, false},
         [](auto& b) { b.slash(); },
         3,
         {0, 7, 3, 17, true},
         false,
         true,
         false},
        {"Clear from the bass step", full,
         [](auto& b) {
             b.slash();
             b.clear();
         },
         0, Empty, false, false, false},
        {"a double click on a root goes on",
         Empty,
         [](auto& b) {
             b.firstViewCtrler()->setElemType(5);
             b.doubleClicked(b.firstViewCtrler());
         },
         1,
         {5, 12, 70, 17, false},
         true,
         true,
         true},
        {"a double click on a quality goes on",
         {5, 7, 70, 17, false},
         [](auto& b) {
             b.setMode(1);
             b.doubleClicked(b.secondViewCtrler()->collectionView());
         },
         2,
         {5, 7, 70, 17, false},
         true,
         true,
         false},
        {"a double click on a bass starts over", full,
         [](auto& b) {
             b.slash();
             b.doubleClicked(b.baseViewCtrler());
         },
         0, Empty, false, false, false},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        TOVChord3StepsViewController builder;
        builder.setChord(c.loaded);
        c.act(builder);
        EXPECT_EQ(builder.mode(), c.mode);
        EXPECT_EQ(builder.chord(), c.chord);
        EXPECT_EQ(builder.previewView()->chord(), c.chord);
        EXPECT_EQ(builder.enableBack(), c.back);
        EXPECT_EQ(builder.enableClear(), c.clear);
        EXPECT_EQ(builder.enableNext(), c.next);
        EXPECT_EQ(builder.backButton()->isEnabled(), c.back);
        EXPECT_EQ(builder.nextButton()->isEnabled(), c.next);
    }
}

TEST_F(ChordPagesTest, BuilderButtonsAndKeysThroughTheWindowSystem) {
    TOVChord3StepsViewController builder;
    RecordingDelegate window;
    builder.setChordDelegate(&window);
    builder.view()->show();
    // A new root in step 0 clears what was built on the old one; a bass clears nothing.
    builder.setChord({0, 7, 3, 17, false});
    click(builder.firstViewCtrler()->keyView(9), {10, 10}, 1000);
    EXPECT_EQ(builder.chord(), (TOVChordElems{9, 12, 70, 17, false}));
    click(builder.nextButton(), {5, 5}, 3000);
    EXPECT_EQ(builder.mode(), 1);
    EXPECT_EQ(builder.labelCurrentStep()->text(), QStringLiteral("2nd Step"));
    clickCell(builder.secondViewCtrler()->collectionView(), 10, 5000);
    click(builder.slashButton(), {5, 5}, 7000);
    click(builder.baseViewCtrler()->keyView(16), {10, 10}, 9000);
    EXPECT_EQ(builder.chord(), (TOVChordElems{9, 10, 70, 16, true}));
    EXPECT_EQ(builder.firstViewCtrler()->elemType(), 9) << "the keyboards keep their own choices";
    // A double click on the bass reaches the window after choosing, and the builder starts over.
    uitest::WindowEvents bass(*builder.baseViewCtrler()->keyView(3));
    bass.click({10, 10}, 11000);
    bass.click({10, 10}, 11050);
    EXPECT_EQ(window.heard, std::vector<std::string>{"double ?"});
    EXPECT_EQ(builder.mode(), 0);
    EXPECT_EQ(builder.chord(), Empty);
}

TEST_F(ChordPagesTest, KeyboardChoosesKeysBySpellingAndReportsClicks) {
    TOVChord1stStepViewController keyboard;
    RecordingDelegate builder;
    builder.names = {{&keyboard, "keyboard"}};
    keyboard.setChordDelegate(&builder);
    keyboard.setElemType(9);
    EXPECT_EQ(keyboard.elemType(), 9);
    EXPECT_TRUE(keyboard.keyView(9)->selected()) << "G flat";
    EXPECT_FALSE(keyboard.keyView(8)->selected()) << "not F sharp";
    keyboard.setElemType(17);
    EXPECT_EQ(keyboard.elemType(), 17);
    EXPECT_FALSE(keyboard.keyView(9)->selected());
    EXPECT_TRUE(builder.heard.empty()) << "choices set from outside are not reported";
    for (int value = 0; value < 17; ++value) {
        EXPECT_EQ(keyboard.keyView(value)->black(), value != 0 && value != 3 && value != 6 && value != 7 &&
                                                        value != 10 && value != 13 && value != 16)
            << value;
        EXPECT_TRUE(keyboard.keyView(value)->bezierPath().has_value()) << value;
    }

    uitest::WindowEvents key(*keyboard.keyView(14));
    key.click({10, 10}, 1000);
    key.click({10, 10}, 3000);
    key.click({10, 10}, 3050);
    EXPECT_EQ(builder.heard,
              (std::vector<std::string>{"select keyboard 14", "select keyboard 14", "double keyboard"}));
    EXPECT_EQ(keyboard.elemType(), 14);
    EXPECT_FALSE(keyboard.keyView(14)->hasFocus());

    // The keys keep the built-in glyphs of their notes whatever the notation profile.
    const platform::Rect before = keyboard.keyView(14)->bezierPath()->bounds();
    TOVChordNotationProfile profile;
    profile.sharpFlat = 1;
    glyphs.chords->setProfile(profile);
    TOVChord3StepsViewController builderPage;
    builderPage.refreshAllItems();
    EXPECT_EQ(keyboard.keyView(14)->bezierPath()->bounds(), before);
}

TEST_F(ChordPagesTest, QualityAndTensionGridsAnswerTheirValuesAndNoneForBlankCells) {
    TOVChord2ndStepViewController qualities;
    TOVChord3rdStepViewController tensions;
    EXPECT_EQ(qualities.elemType(), 12);
    EXPECT_EQ(tensions.elemType(), 70);
    ASSERT_EQ(qualities.items().size(), 12u);
    ASSERT_EQ(tensions.items().size(), 70u);
    std::size_t tensionGlyphs = 0;
    for (std::size_t i = 0; i < tensions.items().size(); ++i) {
        const auto& item = tensions.items()[i];
        EXPECT_EQ(item.bezierPath.has_value(), item.elemType != 70) << i;
        EXPECT_TRUE(item.elemType == 70 || item.elemType == static_cast<int>(i)) << i;
        tensionGlyphs += item.bezierPath ? 1 : 0;
    }
    EXPECT_EQ(tensionGlyphs, 38u);
    // Every glyph stands whole inside its cell: a clipped "m7(-5)" reads as another chord.
    for (TOVChordElemGridViewController* grid : {static_cast<TOVChordElemGridViewController*>(&qualities),
                                                 static_cast<TOVChordElemGridViewController*>(&tensions)}) {
        const platform::Size cell = grid->collectionView()->cellSize();
        for (const auto& item : grid->items()) {
            if (item.bezierPath) {
                const platform::Rect ink = item.bezierPath->bounds();
                EXPECT_GE(ink.origin.x, 0.0) << item.elemType;
                EXPECT_LE(ink.origin.x + ink.size.width, cell.width) << item.elemType;
                EXPECT_GE(ink.origin.y, 0.0) << item.elemType;
                EXPECT_LE(ink.origin.y + ink.size.height, cell.height) << item.elemType;
            }
        }
    }
    EXPECT_FALSE(qualities.items()[9].bezierPath.has_value());
    EXPECT_FALSE(qualities.items()[11].bezierPath.has_value());

    struct SetCase {
        TOVChordElemGridViewController* grid;
        int value;
        std::optional<std::size_t> chosen;
        int answer;
    };
    for (const SetCase& c : {SetCase{&qualities, 10, 10, 10}, SetCase{&qualities, 12, std::nullopt, 12},
                             SetCase{&tensions, 12, 12, 12}, SetCase{&tensions, 70, std::nullopt, 70}}) {
        SCOPED_TRACE(c.value);
        c.grid->setElemType(c.value);
        EXPECT_EQ(c.grid->collectionView()->firstSelectedIndex(), c.chosen);
        EXPECT_EQ(c.grid->elemType(), c.answer);
    }
    EXPECT_EQ(tensions.items()[12].label, QStringLiteral("-13"));
    EXPECT_EQ(qualities.items()[10].label, QStringLiteral("m△7"));

    // A click on a blank cell answers the none value.
    RecordingDelegate builder;
    builder.names = {{qualities.collectionView(), "qualities"}, {tensions.collectionView(), "tensions"}};
    qualities.setChordDelegate(&builder);
    tensions.setChordDelegate(&builder);
    qualities.view()->show();
    tensions.view()->show();
    clickCell(qualities.collectionView(), 11, 1000);
    clickCell(tensions.collectionView(), 44, 3000);
    EXPECT_EQ(qualities.elemType(), 12);
    EXPECT_EQ(tensions.elemType(), 70);
    clickCell(tensions.collectionView(), 45, 5000);
    EXPECT_EQ(tensions.elemType(), 45);
    tensions.clearSelection();
    EXPECT_EQ(builder.heard, (std::vector<std::string>{"select qualities 11", "select tensions 44",
                                                       "select tensions 45", "select tensions none"}));
}

TEST_F(ChordPagesTest, GridsFollowTheNotationProfile) {
    TOVChord2ndStepViewController qualities;
    TOVChordDiatonicViewController diatonic;
    qualities.setElemType(1);
    const platform::Rect minorBefore = qualities.items()[1].bezierPath->bounds();
    const platform::Rect dmBefore = diatonic.diatonicChords()[1].bezierPath->bounds();
    TOVChordNotationProfile profile;
    profile.minor = 1;
    glyphs.chords->setProfile(profile);
    qualities.refreshAllItems();
    diatonic.refreshAllItems();
    EXPECT_EQ(qualities.elemType(), 12) << "nothing chosen after a refresh";
    EXPECT_NE(qualities.items()[1].bezierPath->bounds(), minorBefore);
    EXPECT_NE(diatonic.diatonicChords()[1].bezierPath->bounds(), dmBefore);
}

TEST_F(ChordPagesTest, PreviewTypesetsEachNewChordOnceAndFitsIt) {
    TOVChordPreviewView preview;
    preview.resize(400, 300);
    preview.setMarginWithObjectView(8.0);
    const int start = preview.typesetCount();
    preview.setChord({0, 12, 70, 17, false});
    preview.setChord({0, 12, 70, 17, false});
    EXPECT_EQ(preview.typesetCount(), start + 1);
    preview.setChord({0, 12, 70, 17, true});
    EXPECT_EQ(preview.typesetCount(), start + 2) << "the slash flag alone is another chord";
    preview.setMarginWithObjectView(8.0);
    EXPECT_EQ(preview.typesetCount(), start + 2);

    // One letter in a large view: five times the factory's size, not larger.
    preview.setChord({0, 12, 70, 17, false});
    const platform::Rect letter =
        glyphs.chords->bezierPathFromChordFontID({0, 12, 70, 17, false}, "Default")->bounds();
    const platform::Rect shown = preview.bezierPath()->bounds();
    EXPECT_NEAR(shown.width(), 5 * letter.width(), 1e-6);
    EXPECT_NEAR(shown.height(), 5 * letter.height(), 1e-6);

    preview.setChord(Empty);
    EXPECT_FALSE(preview.bezierPath().has_value());

    // A long chord in a small view: 8 points inside in its tighter direction, centred.
    TOVChordPreviewView small;
    small.resize(100, 60);
    small.setMarginWithObjectView(8.0);
    small.setChord({0, 10, 16, 3, true});
    ASSERT_TRUE(small.bezierPath().has_value());
    const platform::Rect fitted = small.bezierPath()->bounds();
    EXPECT_NEAR(std::min(fitted.minX(), fitted.minY()), 8.0, 1e-6);
    EXPECT_GE(fitted.minX(), 8.0 - 1e-6);
    EXPECT_GE(fitted.minY(), 8.0 - 1e-6);
    EXPECT_NEAR(fitted.midX(), 50.0, 1e-6);
    EXPECT_NEAR(fitted.midY(), 30.0, 1e-6);
}
