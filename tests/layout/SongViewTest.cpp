// The song header on the first page: where the name, the credits and their labels stand, how the header
// follows the Song, and in-place editing on a real window that writes the typed text into the Song.

#include "BoundEditorFixture.h"

#include "glyphs/TOVTextView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorSongView.h"
#include "model/Document.h"
#include "model/Song.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "platform/ui/FontPanel.h"
#include "platform/ui/InPlaceTextEditor.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/WindowEvents.h"

#include <QFontDialog>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

using platform::AttributedString;
using platform::DrawingCall;
using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

constexpr double kNameSize = 20;
constexpr double kCreditSize = 10;
const std::array<std::string, 4> kRoles{"producer", "arranger", "composer", "writer"};

AttributedString inFont(const QString& text, double size) {
    platform::TextAttributes attributes;
    attributes.font = platform::TextFont{"DejaVuSans", size};
    return AttributedString(text, attributes);
}

// A text field's size for a text in DejaVu Sans: the measured text, 5.0 wider.
platform::Size fieldSize(const QString& text, double size) {
    const platform::Size measured = platform::Font::namedOrUserFont("DejaVuSans", size).sizeOfString(text);
    return {measured.width + 5, measured.height};
}

double widestLabel() {
    const platform::Font font = platform::Font::namedOrUserFont("Lucida Grande", 10);
    double widest = 0;
    for (const char* label : {"Produced by", "Arranged by", "Composed by", "Words by"}) {
        widest = std::max(widest, font.widthOfString(label));
    }
    return widest;
}

void setCredit(Song* song, const std::string& role, const QString& text) {
    const std::optional<AttributedString> value = inFont(text, kCreditSize);
    if (role == "producer") {
        song->setProducer(value);
    } else if (role == "arranger") {
        song->setArranger(value);
    } else if (role == "composer") {
        song->setComposer(value);
    } else {
        song->setWriter(value);
    }
}

// A first page with the header slot and one line of bars, 76 high slots; the song gets its name and
// credits (an empty credit stays unset) before the editor is bound.
class SongViewTest : public layouttest::BoundEditorFixture {
protected:
    SongViewTest() : BoundEditorFixture(842) {}

    void bindSong(const QString& name, const std::array<QString, 4>& credits) {
        document =
            tovtest::makeLayout(*context, {PageSpec{10, {LineSpec{0, 0, false}, LineSpec{4, 4, false}}}});
        song = document->createNewSong();
        song->setName(inFont(name, kNameSize));
        for (std::size_t i = 0; i < kRoles.size(); ++i) {
            if (!credits[i].isEmpty()) {
                setCredit(song, kRoles[i], credits[i]);
            }
        }
        editor->setDocData(document);
        ASSERT_FALSE(editor->pageViewArray().empty());
        header = editor->pageViewArray().front()->songView();
        ASSERT_NE(header, nullptr);
    }

    // What the header checks against the song: the name centred at the top, every credit with text
    // right-aligned on its row (the rows share the height under the name equally, in role order), every
    // other credit empty at y 0, and one label per shown credit in the column left of the widest credit.
    void expectLaidOutAs(const QString& name, const std::array<QString, 4>& credits) {
        const platform::Size nameSize = fieldSize(name, kNameSize);
        EXPECT_EQ(header->songNameTextView()->frame(), Rect(Point{(520 - nameSize.width) / 2, 0}, nameSize));

        std::vector<std::string> shown;
        double widest = 0;
        for (std::size_t i = 0; i < kRoles.size(); ++i) {
            if (!credits[i].isEmpty()) {
                shown.push_back(kRoles[i]);
                widest = std::max(widest, fieldSize(credits[i], kCreditSize).width);
            }
        }
        std::vector<std::string> roleKeys;
        for (const auto& entry : header->roleArray()) {
            roleKeys.push_back(entry.first);
        }
        EXPECT_EQ(roleKeys, shown);

        const double rowHeight = (76 - nameSize.height) / static_cast<double>(shown.size());
        const double labelX = 520 - widest - widestLabel() - 10;
        std::vector<std::pair<QString, Point>> expectedLabels;
        std::size_t row = 0;
        for (std::size_t i = 0; i < kRoles.size(); ++i) {
            TOVTextView* view = header->textViewOfRole(kRoles[i]);
            ASSERT_NE(view, nullptr);
            if (credits[i].isEmpty()) {
                EXPECT_EQ(view->frame().origin.y, 0.0) << kRoles[i];
                EXPECT_EQ(view->frame().width(), 0.0) << kRoles[i];
                continue;
            }
            const platform::Size size = fieldSize(credits[i], kCreditSize);
            const double y = nameSize.height + static_cast<double>(row++) * rowHeight;
            EXPECT_EQ(view->frame(), Rect(Point{520 - size.width, y}, size)) << kRoles[i];
            expectedLabels.emplace_back(TOVEditorSongView::roleLabel(kRoles[i]), Point{labelX, y});
        }

        platform::RecordingGraphicsContext ctx;
        header->drawRect(header->bounds(), ctx);
        std::vector<std::pair<QString, Point>> labels;
        for (const DrawingCall& call : ctx.callsOfKind(DrawingCall::Kind::Text)) {
            labels.emplace_back(call.text, call.point);
        }
        EXPECT_EQ(labels, expectedLabels);
    }

    Song* song = nullptr;
    TOVEditorSongView* header = nullptr;
};

struct HeaderCase {
    const char* what;
    std::array<QString, 4> credits;
};

TEST_F(SongViewTest, TheHeaderStandsOnTheFirstSlotWithTheNameCentredAndTheCreditsOnEqualRows) {
    const HeaderCase cases[] = {
        {"composer only", {"", "", "Ann Composer", ""}},
        {"all four credits", {"Pat Producer", "Al Arranger", "Ann Composer", "Wendy Writer"}},
        {"producer and writer", {"Pat Producer", "", "", "Wendy Writer"}},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.what);
        context = tovtest::makeSongContext();
        bindSong("Autumn Leaves", c.credits);
        EXPECT_EQ(header->frame(), Rect(40, 40, 520, 76));
        EXPECT_EQ(header->delegate(), &controller);
        expectLaidOutAs("Autumn Leaves", c.credits);
        editor->setDocData(nullptr);
    }
}

TEST_F(SongViewTest, TheHeaderFollowsChangesOfTheSongsNameAndCredits) {
    bindSong("Blue", {"", "", "Ann Composer", ""});
    TOVTextView* composer = header->composerTextView();

    // A new credit before the composer takes the first row and moves the composer down.
    setCredit(song, "arranger", "Al Arranger");
    expectLaidOutAs("Blue", {"", "Al Arranger", "Ann Composer", ""});
    // A longer name is centred again and pushes the rows down.
    song->setName(inFont("Blue in Green", 28));
    const platform::Size nameSize = fieldSize("Blue in Green", 28);
    EXPECT_EQ(header->songNameTextView()->frame(), Rect(Point{(520 - nameSize.width) / 2, 0}, nameSize));
    EXPECT_EQ(header->arrangerTextView()->frame().origin.y, nameSize.height);
    // Clearing a credit removes its row and its label; the later credits move up.
    song->setArranger(AttributedString());
    EXPECT_EQ(header->roleArray().size(), 1u);
    EXPECT_EQ(header->composerTextView()->frame().origin.y, nameSize.height);
    EXPECT_EQ(header->arrangerTextView()->frame().width(), 0.0);
    platform::RecordingGraphicsContext ctx;
    header->drawRect(header->bounds(), ctx);
    const auto texts = ctx.callsOfKind(DrawingCall::Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "Composed by");

    // Setting the same song again keeps the text views it has.
    header->setSong(song);
    EXPECT_EQ(header->composerTextView(), composer);
}

TEST_F(SongViewTest, ANewSongOfTheDocumentGetsANewHeader) {
    bindSong("Old", {"", "", "Ann Composer", ""});
    Song* replaced = song;
    Song* fresh = document->createNewSong();
    ASSERT_NE(fresh, replaced);
    fresh->setName(inFont("New", kNameSize));
    TOVEditorSongView* now = editor->pageViewArray().front()->songView();
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->song(), fresh);
    EXPECT_EQ(now->songNameTextView()->textField()->stringValue(), "New");
    EXPECT_TRUE(now->roleArray().empty());
    // The old song no longer reaches the header.
    replaced->setName(inFont("Changed", kNameSize));
    EXPECT_EQ(now->songNameTextView()->textField()->stringValue(), "New");
}

// The editor view in a window of its own; mouse and keys go through the window system.
class SongViewWindowTest : public SongViewTest {
protected:
    void show() {
        host.setRootView(editor);
        input = std::make_unique<uitest::WindowEvents>(host);
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        controller.log.clear();
    }
    Point centreInHost(const platform::View& view) const {
        const Rect b = view.bounds();
        return view.convertPointToView(Point{b.midX(), b.midY()}, nullptr);
    }
    void doubleClick(Point p) {
        time += 5000;
        input->press({p.x, p.y}, Qt::LeftButton, time);
        input->release({p.x, p.y}, Qt::LeftButton, time + 10);
        input->press({p.x, p.y}, Qt::LeftButton, time + 40);
        input->release({p.x, p.y}, Qt::LeftButton, time + 50);
        time += 50;
    }
    // What the controller heard, without the rubber band of the editor view, which the first click of
    // every double click starts and its release ends.
    std::vector<std::string> reportsBesideTheBand() const {
        std::vector<std::string> reports;
        for (const std::string& entry : controller.log) {
            if (entry != "drag update" && entry != "drag finish") {
                reports.push_back(entry);
            }
        }
        return reports;
    }
    void type(Qt::Key key, const QString& text) {
        QTest::sendKeyEvent(QTest::Press, input->window(), key, text, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, input->window(), key, text, Qt::NoModifier);
        QCoreApplication::processEvents();
    }

    platform::ViewHost host;
    std::unique_ptr<uitest::WindowEvents> input;
    unsigned long time = 1000;
};

TEST_F(SongViewWindowTest, ADoubleClickEditsTheNameInPlaceAndReturnWritesItIntoTheSong) {
    bindSong("Autumn", {"", "", "Ann Composer", ""});
    show();
    TOVTextView* name = header->songNameTextView();
    // As in a document window: undo on, one step per event.
    context->undoManager().setGroupsByEvent(true);
    tovtest::UndoEnabled undoable(*context);

    doubleClick(centreInHost(*name));
    ASSERT_TRUE(name->editing());
    EXPECT_TRUE(platform::FontPanel::shared().isVisible());
    EXPECT_EQ(platform::FontPanel::shared().editor(), name->textField()->currentEditor());
    // Not reported as a double click on the header: that would open the song settings.
    EXPECT_TRUE(reportsBesideTheBand().empty());

    type(Qt::Key_Space, " ");
    type(Qt::Key_L, "L");
    // Nothing reaches the song while typing.
    EXPECT_EQ(song->name()->string(), "Autumn");
    type(Qt::Key_Return, "\r");
    EXPECT_FALSE(name->editing());
    EXPECT_FALSE(platform::FontPanel::shared().isVisible());
    ASSERT_TRUE(song->name().has_value());
    EXPECT_EQ(song->name()->string(), "Autumn L");
    // Typed text keeps the font of the name.
    EXPECT_EQ(song->name()->attributesAtIndex(7).font, (platform::TextFont{"DejaVuSans", kNameSize}));
    // The header follows: the longer name is centred again and the composer's row moves with its height.
    expectLaidOutAs("Autumn L", {"", "", "Ann Composer", ""});

    // The edit is one step of the song's undo, and the header follows undo and redo too.
    context->undoManager().undo();
    EXPECT_EQ(song->name()->string(), "Autumn");
    EXPECT_EQ(name->textField()->stringValue(), "Autumn");
    expectLaidOutAs("Autumn", {"", "", "Ann Composer", ""});
    context->undoManager().redo();
    EXPECT_EQ(song->name()->string(), "Autumn L");
    expectLaidOutAs("Autumn L", {"", "", "Ann Composer", ""});
}

// The chooser opened by editing the name stands above the document window (a tool window bound to it, which
// the window system keeps over it), leaves the keyboard to the text, and goes when a click elsewhere ends
// the editing.
TEST_F(SongViewWindowTest, TheFontChooserStaysAboveTheWindowOfTheTextAndGoesWhenEditingEnds) {
    bindSong("Autumn", {"", "", "Ann Composer", ""});
    show();
    TOVTextView* name = header->songNameTextView();
    doubleClick(centreInHost(*name));
    ASSERT_TRUE(name->editing());
    const QFontDialog* chooser = platform::FontPanel::shared().dialog();
    ASSERT_TRUE(chooser->isVisible());
    EXPECT_EQ(chooser->windowType(), Qt::Tool);
    ASSERT_NE(chooser->windowHandle(), nullptr);
    EXPECT_EQ(chooser->windowHandle()->transientParent(), host.window()->windowHandle());

    type(Qt::Key_X, "x");
    ASSERT_NE(name->textField()->currentEditor(), nullptr);
    EXPECT_NE(name->textField()->currentEditor()->attributedText().string(), "Autumn");

    // A click on the page below the header.
    const Point elsewhere = editor->convertPointToView(Point{300, 600}, nullptr);
    time += 5000;
    input->press({elsewhere.x, elsewhere.y}, Qt::LeftButton, time);
    input->release({elsewhere.x, elsewhere.y}, Qt::LeftButton, time + 10);
    QCoreApplication::processEvents();
    EXPECT_FALSE(name->editing());
    EXPECT_FALSE(chooser->isVisible());
}

TEST_F(SongViewWindowTest, EditingACreditWithTheFontChooserKeepsItRightAlignedInItsNewFont) {
    bindSong("Autumn", {"Pat Producer", "", "Ann Composer", ""});
    show();
    TOVTextView* composer = header->composerTextView();

    doubleClick(centreInHost(*composer));
    ASSERT_TRUE(composer->editing());
    type(Qt::Key_S, "s");
    // The whole credit in another face and size, chosen in the font chooser.
    QTest::keyClick(input->window(), Qt::Key_A, Qt::ControlModifier);
    QFont bold(QStringLiteral("DejaVu Sans"));
    bold.setStyleName(QStringLiteral("Bold"));
    bold.setPointSizeF(12);
    platform::FontPanel::shared().dialog()->setCurrentFont(bold);
    QCoreApplication::processEvents();
    type(Qt::Key_Return, "\r");
    EXPECT_FALSE(composer->editing());

    ASSERT_TRUE(song->composer().has_value());
    EXPECT_EQ(song->composer()->string(), "Ann Composers");
    const platform::TextFont chosen{"DejaVuSans-Bold", 12};
    EXPECT_EQ(song->composer()->runs().size(), 1u);
    EXPECT_EQ(song->composer()->attributesAtIndex(0).font, chosen);
    // Measured in its new font, at the right edge of its row.
    const double width = platform::Font::named("DejaVuSans-Bold", 12)->widthOfString("Ann Composers") + 5;
    EXPECT_DOUBLE_EQ(composer->frame().width(), width);
    EXPECT_DOUBLE_EQ(composer->frame().maxX(), 520);
    EXPECT_EQ(header->producerTextView()->frame().maxX(), 520);
    EXPECT_TRUE(reportsBesideTheBand().empty());
}

TEST_F(SongViewWindowTest, ADoubleClickBesideTheTextsOpensTheSettingsAlsoAfterTheLinesWereRebuilt) {
    bindSong("Autumn", {"Pat Producer", "", "Ann Composer", ""});
    show();

    // On the header, left of every text.
    doubleClick(header->convertPointToView(Point{20, 60}, nullptr));
    EXPECT_EQ(reportsBesideTheBand(), (std::vector<std::string>{"double click"}));

    // Rebuilt line views do not cover the header: its texts are still edited in place.
    editor->pageViewArray().front()->recreateAllSubViews();
    controller.log.clear();
    doubleClick(centreInHost(*header->songNameTextView()));
    EXPECT_TRUE(header->songNameTextView()->editing());
    type(Qt::Key_Escape, "");
    EXPECT_FALSE(header->songNameTextView()->editing());
    doubleClick(header->convertPointToView(Point{20, 60}, nullptr));
    EXPECT_EQ(reportsBesideTheBand(), (std::vector<std::string>{"double click"}));
}

} // namespace
