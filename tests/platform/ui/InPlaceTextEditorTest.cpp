#include "RecordingView.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/InPlaceTextEditor.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

using platform::AttributedString;
using platform::InPlaceTextEditor;
using platform::Point;
using platform::Rect;
using platform::Size;
using platform::TextAttributes;
using platform::View;
using platform::ViewHost;
using uitest::addTo;

namespace {

// A key typed through the window system path: it reaches the widget with the focus in w's window.
void type(QWidget* w, int key, const QString& text) {
    QTest::sendKeyEvent(QTest::Press, w->window()->windowHandle(), Qt::Key(key), text, Qt::NoModifier);
    QCoreApplication::processEvents();
}

// A zoomed host (root scaled by 2) holding a text view at (30, 40) of the root's units.
struct EditFixture {
    std::shared_ptr<View> root = std::make_shared<View>(Rect(0, 0, 200, 200));
    std::shared_ptr<View> textView = addTo<View>(*root, Rect(30, 40, 60, 20));
    ViewHost host;
    std::vector<QString> changes;
    std::vector<QString> ends;

    EditFixture() {
        root->scaleUnitSquareToSize(Size{2, 2});
        root->setFrameSize(Size{400, 400});
        host.setRootView(root);
        host.show();
    }
    std::unique_ptr<InPlaceTextEditor> edit(const AttributedString& text) {
        auto editor = std::make_unique<InPlaceTextEditor>(*textView, textView->bounds(), text);
        editor->setTextChangedHandler([this](const AttributedString& t) { changes.push_back(t.string()); });
        editor->setEditingEndedHandler([this](const AttributedString& t) { ends.push_back(t.string()); });
        return editor;
    }
    std::unique_ptr<InPlaceTextEditor> edit(const QString& text) { return edit(AttributedString(text)); }
};

TEST(InPlaceTextEditor, LiesOverTheViewAtItsScaleAndReportsEveryChange) {
    EditFixture f;
    auto editor = f.edit("Intro");
    ASSERT_TRUE(editor->isEditing());
    QTextEdit* widget = editor->textWidget();
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), &f.host);
    EXPECT_EQ(widget->geometry(), QRect(60, 80, 120, 40));
    EXPECT_EQ(editor->string(), "Intro");
    // One point of the font is two pixels at this zoom.
    editor->setFont(platform::Font::userFont(10));
    const QFontInfo info(widget->document()->begin().begin().fragment().charFormat().font());
    EXPECT_NEAR(info.pixelSize(), 20, 1);

    type(widget, Qt::Key_Exclam, "!");
    type(widget, Qt::Key_Question, "?");
    EXPECT_EQ(f.changes, (std::vector<QString>{"Intro!", "Intro!?"}));
    editor->setAttributedText(AttributedString("Verse")); // a change made by the program is not the user's
    EXPECT_EQ(f.changes.size(), 2u);

    // The view grew: the widget follows.
    editor->setRectInView(Rect(0, 0, 80, 20));
    EXPECT_EQ(widget->geometry(), QRect(60, 80, 160, 40));

    EXPECT_TRUE(widget->isVisible());
    type(widget, Qt::Key_Return, "\r");
    EXPECT_FALSE(editor->isEditing());
    EXPECT_FALSE(widget->isVisible());
    EXPECT_EQ(f.ends, (std::vector<QString>{"Verse"}));
    editor->endEditing(); // once only
    type(widget, Qt::Key_A, "a");
    EXPECT_EQ(f.ends.size(), 1u);
}

TEST(InPlaceTextEditor, FormattedTextComesBackWithItsAttributes) {
    EditFixture f;
    TextAttributes title;
    title.font = platform::TextFont{"DejaVuSans-Bold", 14};
    title.foregroundColor = platform::Color{0.5, 0.25, 0, 1};
    TextAttributes credit;
    credit.font = platform::TextFont{"Lucida Grande", 10}; // drawn with a substitute, kept by name
    credit.underlineStyle = platform::TextLineStyleSingle;
    TextAttributes plain; // no font, no colour
    const AttributedString text = AttributedString::Builder()
                                      .append("Blue ", title)
                                      .append("Train\nby", credit)
                                      .append(" someone", plain)
                                      .build();
    auto editor = f.edit(text);
    EXPECT_EQ(editor->attributedText(), text);
    EXPECT_EQ(editor->string(), "Blue Train\nby someone");

    // Typed text takes the attributes of the text before it.
    QTextCursor cursor = editor->textWidget()->textCursor();
    cursor.setPosition(4);
    editor->textWidget()->setTextCursor(cursor);
    type(editor->textWidget(), Qt::Key_S, "s");
    const AttributedString expected = AttributedString::Builder()
                                          .append("Blues ", title)
                                          .append("Train\nby", credit)
                                          .append(" someone", plain)
                                          .build();
    EXPECT_EQ(editor->attributedText(), expected);
    // On screen the title font is at twice its size, in its own face.
    const QTextCharFormat shown = cursor.block().begin().fragment().charFormat();
    EXPECT_NEAR(QFontInfo(shown.font()).pixelSize(), 28, 1);
    EXPECT_EQ(QFontInfo(shown.font()).family(), "DejaVu Sans");
    EXPECT_EQ(QFontInfo(shown.font()).styleName(), "Bold");
}

TEST(InPlaceTextEditor, AnotherActiveWindowOnlyBorrowsTheKeyboard) {
    EditFixture f;
    f.host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.host));
    auto editor = f.edit("Coda");
    // A panel comes to the front and takes the keyboard, as the font panel does when clicked.
    QWidget panel;
    panel.show();
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    EXPECT_TRUE(editor->isEditing());
    EXPECT_TRUE(f.ends.empty());
    // Back in the document window the text has the keyboard again.
    f.host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.host));
    EXPECT_TRUE(editor->textWidget()->hasFocus());
    type(editor->textWidget(), Qt::Key_A, "a");
    EXPECT_EQ(editor->string(), "Codaa");
    EXPECT_TRUE(editor->isEditing());
}

TEST(InPlaceTextEditor, EndsOnceWhicheverWayEditingStops) {
    struct Case {
        const char* name;
        std::function<void(EditFixture&, InPlaceTextEditor&)> stop;
    };
    const Case cases[] = {
        {"escape",
         [](EditFixture&, InPlaceTextEditor& e) { type(e.textWidget(), Qt::Key_Escape, QString()); }},
        {"enter", [](EditFixture&, InPlaceTextEditor& e) { type(e.textWidget(), Qt::Key_Enter, "\r"); }},
        {"focus leaves",
         [](EditFixture& f, InPlaceTextEditor&) {
             ASSERT_TRUE(QTest::qWaitForWindowActive(&f.host));
             f.host.setFocus(Qt::MouseFocusReason);
         }},
        {"the view leaves the host",
         [](EditFixture& f, InPlaceTextEditor&) { f.textView->removeFromSuperview(); }},
        {"an ancestor leaves the host",
         [](EditFixture& f, InPlaceTextEditor&) { f.host.setRootView(nullptr); }},
        {"another text starts editing",
         [](EditFixture& f, InPlaceTextEditor&) {
             auto other = addTo<View>(*f.root, Rect(0, 0, 10, 10));
             InPlaceTextEditor second(*other, other->bounds(), AttributedString("x"));
             EXPECT_TRUE(second.isEditing());
         }},
    };
    for (const auto& c : cases) {
        EditFixture f;
        auto editor = f.edit("Coda");
        c.stop(f, *editor);
        EXPECT_FALSE(editor->isEditing()) << c.name;
        EXPECT_EQ(f.ends, (std::vector<QString>{"Coda"})) << c.name;
        editor->endEditing();
        EXPECT_EQ(f.ends.size(), 1u) << c.name;
    }
}

TEST(InPlaceTextEditor, TheOwnerMayDestroyTheEditorWhenEditingEnds) {
    EditFixture f;
    auto editor = f.edit("Bridge");
    QString result;
    editor->setEditingEndedHandler([&](const AttributedString& t) {
        result = t.string();
        editor.reset();
    });
    type(editor->textWidget(), Qt::Key_Return, "\r");
    EXPECT_EQ(result, "Bridge");
    EXPECT_EQ(editor, nullptr);
    QApplication::processEvents(); // the widget goes later
}

TEST(InPlaceTextEditor, AViewWithoutHostIsNotEdited) {
    auto lonely = std::make_shared<View>(Rect(0, 0, 10, 10));
    InPlaceTextEditor editor(*lonely, lonely->bounds(), AttributedString("x"));
    EXPECT_FALSE(editor.isEditing());
    EXPECT_EQ(editor.textWidget(), nullptr);
    EXPECT_TRUE(editor.attributedText().isEmpty());
}

TEST(InPlaceTextEditor, EditingOutlivesNeitherTheHostNorTheEditor) {
    auto editor = std::unique_ptr<InPlaceTextEditor>();
    {
        EditFixture f;
        editor = f.edit("Outro");
        editor->setEditingEndedHandler({});
    }
    EXPECT_FALSE(editor->isEditing());
    EXPECT_EQ(editor->textWidget(), nullptr);
    editor.reset();
}

// Takes the keys when it is the first responder, like the bar-range overlay.
class KeyView : public View {
public:
    using View::View;
    std::string typed;
    bool acceptsFirstResponder() const override { return true; }
    void keyDown(const platform::Event& e) override { typed += e.characters(); }
};

TEST(InPlaceTextEditor, ANewFirstResponderTakesTheKeysFromTheEditedText) {
    EditFixture f;
    auto overlay = addTo<KeyView>(*f.root, Rect(0, 0, 200, 200));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.host));
    auto editor = f.edit("Intro");
    QTest::keyClick(f.host.windowHandle(), Qt::Key_X, Qt::NoModifier);
    ASSERT_EQ(editor->string(), "Introx");

    EXPECT_TRUE(f.host.makeFirstResponder(overlay.get()));
    EXPECT_FALSE(editor->isEditing());
    EXPECT_EQ(f.ends, (std::vector<QString>{"Introx"}));
    QTest::keyClick(f.host.windowHandle(), Qt::Key_Y, Qt::NoModifier);
    EXPECT_EQ(overlay->typed, "y");
    EXPECT_EQ(editor->string(), "Introx");
    EXPECT_TRUE(f.host.hasFocus());
}

TEST(InPlaceTextEditor, TheEditedViewBecomingFirstResponderKeepsEditing) {
    EditFixture f;
    auto field = addTo<KeyView>(*f.root, Rect(10, 80, 60, 20));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.host));
    InPlaceTextEditor editor(*field, field->bounds(), AttributedString("Verse"));
    EXPECT_TRUE(f.host.makeFirstResponder(field.get()));
    EXPECT_TRUE(editor.isEditing());
}

// Fills its bounds red.
class RedView : public View {
public:
    using View::View;
    void drawRect(const Rect&, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{1, 0, 0, 1});
        ctx.fillRect(bounds());
    }
};

TEST(InPlaceTextEditor, FollowsZoomAndFrameAndShowsTheViewThrough) {
    EditFixture f;
    auto red = addTo<RedView>(*f.root, Rect(20, 100, 60, 20));
    auto editor = std::make_unique<InPlaceTextEditor>(*red, red->bounds(), AttributedString("i"));
    QTextEdit* widget = editor->textWidget();
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), QRect(40, 200, 120, 40));

    // Drawn over by the editor, the view stays visible around the text.
    QApplication::processEvents();
    const QImage shot = f.host.grab().toImage();
    EXPECT_EQ(shot.pixelColor(150, 230), QColor(255, 0, 0)) << shot.pixelColor(150, 230).name().toStdString();

    red->setFrame(Rect(30, 110, 60, 20));
    EXPECT_EQ(widget->geometry(), QRect(60, 220, 120, 40));
    // Zoom 2 to 1.5.
    f.root->scaleUnitSquareToSize(Size{0.75, 0.75});
    f.root->setFrameSize(Size{300, 300});
    EXPECT_EQ(widget->geometry(), QRect(45, 165, 90, 30));
    EXPECT_TRUE(editor->isEditing());
}

} // namespace
