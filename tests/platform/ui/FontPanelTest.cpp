#include "RecordingView.h"

#include "platform/ui/FontPanel.h"
#include "platform/ui/InPlaceTextEditor.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QFontDialog>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace platform;

namespace {

void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers mods = {}) {
    QTest::keyClick(w->window()->windowHandle(), k, mods);
    QCoreApplication::processEvents();
}

QFont dejaVuBold(double size) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleName(QStringLiteral("Bold"));
    font.setPointSizeF(size);
    return font;
}

// "Intro" without a font of its own and " Verse" in red, edited in a host zoomed by 2; "tro V" selected
// with the keyboard.
struct FontPanelFixture : ::testing::Test {
    std::shared_ptr<View> root = std::make_shared<View>(Rect(0, 0, 200, 200));
    std::shared_ptr<View> textView = uitest::addTo<View>(*root, Rect(30, 40, 100, 20));
    ViewHost host;
    std::unique_ptr<InPlaceTextEditor> editor;
    std::vector<AttributedString> changes;
    FontPanel& panel = FontPanel::shared();

    void SetUp() override {
        root->scaleUnitSquareToSize(Size{2, 2});
        root->setFrameSize(Size{400, 400});
        host.setRootView(root);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        TextAttributes red;
        red.foregroundColor = Color{1, 0, 0, 1};
        const AttributedString text =
            AttributedString::Builder().append("Intro", {}).append(" Verse", red).build();
        editor = std::make_unique<InPlaceTextEditor>(*textView, textView->bounds(), text);
        editor->setTextChangedHandler([this](const AttributedString& t) { changes.push_back(t); });
        QTextEdit* widget = editor->textWidget();
        ASSERT_NE(widget, nullptr);
        key(widget, Qt::Key_Home);
        key(widget, Qt::Key_Right);
        key(widget, Qt::Key_Right);
        for (int i = 0; i < 5; ++i) {
            key(widget, Qt::Key_Right, Qt::ShiftModifier);
        }
        ASSERT_EQ(widget->textCursor().selectedText(), "tro V");
        panel.setEditor(editor.get());
        panel.orderFront();
    }
    void TearDown() override {
        panel.setEditor(nullptr);
        panel.setChangeHandler({});
        panel.close();
    }
};

TEST_F(FontPanelFixture, ChosenFontGoesIntoTheSelectedRunsAndKeepsTheirOtherAttributes) {
    EXPECT_EQ(panel.panelFont().fontName(), Font::userFont(12).fontName());
    panel.dialog()->setCurrentFont(dejaVuBold(20));
    QCoreApplication::processEvents();

    const AttributedString text = editor->attributedText();
    EXPECT_EQ(text.string(), "Intro Verse");
    const TextFont bold{"DejaVuSans-Bold", 20};
    const struct {
        qsizetype index;
        bool hasBold;
        bool red;
    } cases[] = {{1, false, false}, {2, true, false}, {4, true, false}, {5, true, true},
                 {6, true, true},   {7, false, true}, {10, false, true}};
    for (const auto& c : cases) {
        const TextAttributes a = text.attributesAtIndex(c.index);
        EXPECT_EQ(a.font.has_value() && *a.font == bold, c.hasBold) << c.index;
        EXPECT_EQ(a.foregroundColor.has_value(), c.red) << c.index;
    }
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back().attributesAtIndex(2).font, bold);

    // On screen at the view's scale.
    QTextCursor at(editor->textWidget()->document());
    at.setPosition(4);
    const int dpi = editor->textWidget()->logicalDpiY();
    EXPECT_DOUBLE_EQ(at.charFormat().font().pointSizeF(),
                     2 * Font::named("DejaVuSans-Bold", 20)->qFontForDevice(dpi).pointSizeF());
    EXPECT_EQ(editor->selectionFont().fontName(), "DejaVuSans-Bold");
}

TEST_F(FontPanelFixture, WithoutEditedTextTheFontGoesToTheChangeHandler) {
    editor->endEditing();
    std::vector<QString> chosen;
    panel.setChangeHandler([&](const Font& font) { chosen.push_back(font.fontName()); });
    panel.dialog()->setCurrentFont(dejaVuBold(14));
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, std::vector<QString>{"DejaVuSans-Bold"});
    EXPECT_TRUE(changes.empty());
}

} // namespace
