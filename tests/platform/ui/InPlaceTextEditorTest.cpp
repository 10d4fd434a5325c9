#include "RecordingView.h"

#include "platform/ui/InPlaceTextEditor.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTextEdit>

#include <gtest/gtest.h>

using platform::InPlaceTextEditor;
using platform::Point;
using platform::Rect;
using platform::Size;
using platform::View;
using platform::ViewHost;
using uitest::addTo;

namespace {

void type(QWidget* w, int key, const QString& text) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &down);
}

// A zoomed host (root scaled by 2) holding a text view at (30, 40) of the root's units.
struct EditFixture {
    std::shared_ptr<View> root = std::make_shared<View>(Rect(0, 0, 200, 200));
    std::shared_ptr<View> textView = addTo<View>(*root, Rect(30, 40, 60, 20));
    ViewHost host;
    std::vector<std::string> changes;
    std::vector<std::string> ends;

    EditFixture() {
        root->scaleUnitSquareToSize(Size{2, 2});
        root->setFrameSize(Size{400, 400});
        host.setRootView(root);
        host.show();
    }
    std::unique_ptr<InPlaceTextEditor> edit(const std::string& text) {
        auto editor = std::make_unique<InPlaceTextEditor>(*textView, textView->bounds(), text);
        editor->setTextChangedHandler([this](const std::string& t) { changes.push_back(t); });
        editor->setEditingEndedHandler([this](const std::string& t) { ends.push_back(t); });
        return editor;
    }
};

TEST(InPlaceTextEditor, LiesOverTheViewAtItsScaleAndReportsEveryChange) {
    EditFixture f;
    auto editor = f.edit("Intro");
    ASSERT_TRUE(editor->isEditing());
    QTextEdit* widget = editor->textWidget();
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), &f.host);
    EXPECT_EQ(widget->geometry(), QRect(60, 80, 120, 40));
    EXPECT_EQ(editor->text(), "Intro");
    // One point of the font is two pixels at this zoom.
    editor->setFont(platform::Font::userFont(10));
    const QFontInfo info(widget->font());
    EXPECT_NEAR(info.pixelSize(), 20, 1);

    type(widget, Qt::Key_Exclam, "!");
    type(widget, Qt::Key_Question, "?");
    EXPECT_EQ(f.changes, (std::vector<std::string>{"Intro!", "Intro!?"}));
    editor->setText("Verse"); // a change made by the program is not the user's
    EXPECT_EQ(f.changes.size(), 2u);

    // The view grew: the widget follows.
    editor->setRectInView(Rect(0, 0, 80, 20));
    EXPECT_EQ(widget->geometry(), QRect(60, 80, 160, 40));

    EXPECT_TRUE(widget->isVisible());
    type(widget, Qt::Key_Return, "\r");
    EXPECT_FALSE(editor->isEditing());
    EXPECT_FALSE(widget->isVisible());
    EXPECT_EQ(f.ends, (std::vector<std::string>{"Verse"}));
    editor->endEditing(); // once only
    type(widget, Qt::Key_A, "a");
    EXPECT_EQ(f.ends.size(), 1u);
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
         [](EditFixture&, InPlaceTextEditor& e) {
             QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
             QCoreApplication::sendEvent(e.textWidget(), &out);
         }},
        {"the view leaves the host",
         [](EditFixture& f, InPlaceTextEditor&) { f.textView->removeFromSuperview(); }},
        {"an ancestor leaves the host",
         [](EditFixture& f, InPlaceTextEditor&) { f.host.setRootView(nullptr); }},
        {"another text starts editing",
         [](EditFixture& f, InPlaceTextEditor&) {
             auto other = addTo<View>(*f.root, Rect(0, 0, 10, 10));
             InPlaceTextEditor second(*other, other->bounds(), "x");
             EXPECT_TRUE(second.isEditing());
         }},
    };
    for (const auto& c : cases) {
        EditFixture f;
        auto editor = f.edit("Coda");
        c.stop(f, *editor);
        EXPECT_FALSE(editor->isEditing()) << c.name;
        EXPECT_EQ(f.ends, (std::vector<std::string>{"Coda"})) << c.name;
        editor->endEditing();
        EXPECT_EQ(f.ends.size(), 1u) << c.name;
    }
}

TEST(InPlaceTextEditor, TheOwnerMayDestroyTheEditorWhenEditingEnds) {
    EditFixture f;
    auto editor = f.edit("Bridge");
    std::string result;
    editor->setEditingEndedHandler([&](const std::string& t) {
        result = t;
        editor.reset();
    });
    type(editor->textWidget(), Qt::Key_Return, "\r");
    EXPECT_EQ(result, "Bridge");
    EXPECT_EQ(editor, nullptr);
    QApplication::processEvents(); // the widget goes later
}

TEST(InPlaceTextEditor, AViewWithoutHostIsNotEdited) {
    auto lonely = std::make_shared<View>(Rect(0, 0, 10, 10));
    InPlaceTextEditor editor(*lonely, lonely->bounds(), "x");
    EXPECT_FALSE(editor.isEditing());
    EXPECT_EQ(editor.textWidget(), nullptr);
    EXPECT_EQ(editor.text(), "");
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

} // namespace
