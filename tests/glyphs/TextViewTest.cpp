// Text edited in place on a real window: a double click starts editing, typed keys reach the text, the
// view and its holder follow the text's size, and Return commits the text to the symbol.

#include "ViewFixture.h"
#include "glyphs/TOVMarkView.h"
#include "glyphs/TOVTextView.h"
#include "glyphs/TOVToolTextView.h"
#include "model/Document.h"
#include "model/SymbolText.h"
#include "model/TOVSymbolTypes.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "platform/ui/FontPanel.h"
#include "platform/ui/InPlaceTextEditor.h"

#include <QApplication>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using glyphtest::ViewFixture;
using platform::DrawingCall;
using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

// A key typed through the window system: it reaches the widget with the keyboard focus.
void type(ViewFixture& f, int key, const QString& text) {
    QTest::sendKeyEvent(QTest::Press, f.input->window(), Qt::Key(key), text, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, f.input->window(), Qt::Key(key), text, Qt::NoModifier);
    QCoreApplication::processEvents();
}

void doubleClick(ViewFixture& f, Point p) {
    f.time += 5000;
    f.input->press({p.x, p.y}, Qt::LeftButton, f.time);
    f.input->release({p.x, p.y}, Qt::LeftButton, f.time + 10);
    f.input->press({p.x, p.y}, Qt::LeftButton, f.time + 40);
    f.input->release({p.x, p.y}, Qt::LeftButton, f.time + 50);
    f.time += 50;
}

class SizeRecorder : public TOVTextViewDelegate {
public:
    std::vector<Size> sizes;
    void textViewSizeDidChange(TOVTextView* textView) override { sizes.push_back(textView->frame().size); }
};

platform::AttributedString inFont(const QString& text, double size) {
    platform::TextAttributes attributes;
    attributes.font = platform::TextFont{"DejaVuSans", size};
    return platform::AttributedString(text, attributes);
}

double widthOf(const QString& text, double size) {
    return platform::Font::namedOrUserFont("DejaVuSans", size).widthOfString(text) + 5;
}

TEST(TextView, ADoubleClickEditsInPlaceAndEveryChangeResizesAndTellsTheDelegate) {
    ViewFixture f;
    f.host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.host));
    auto view = std::make_shared<TOVTextView>();
    SizeRecorder recorder;
    view->setTextViewDelegate(&recorder);
    view->textField()->setAttributedStringValue(inFont("Coda", 12));
    view->setFrameOrigin({100, 100});
    f.editor->addSubview(view);
    view->resize();
    const double height = view->frame().height();
    EXPECT_DOUBLE_EQ(view->frame().width(), widthOf("Coda", 12));
    EXPECT_EQ(recorder.sizes.size(), 1u);

    // A single click does not edit.
    f.press({105, 105});
    f.release({105, 105});
    EXPECT_FALSE(view->editing());

    doubleClick(f, {105, 105});
    ASSERT_TRUE(view->editing());
    platform::InPlaceTextEditor* editor = view->textField()->currentEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(view->textField()->isEditable());
    EXPECT_EQ(f.host.firstResponder(), view->textField());
    // The keys of the window go to the text, also while the font panel is in front.
    EXPECT_EQ(f.host.window()->focusWidget(), editor->textWidget());
    EXPECT_EQ(platform::FontPanel::shared().editor(), editor);
    EXPECT_TRUE(platform::FontPanel::shared().isVisible());
    // While editing, a black frame runs along the bounds.
    platform::RecordingGraphicsContext ctx;
    view->drawRect(view->bounds(), ctx);
    const auto frames = ctx.callsOfKind(DrawingCall::Kind::FrameRect);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].rect, view->bounds());
    EXPECT_EQ(frames[0].color, (platform::Color{0, 0, 0, 1}));

    const std::size_t reportsBefore = recorder.sizes.size();
    type(f, Qt::Key_E, "e");
    type(f, Qt::Key_Exclam, "!");
    EXPECT_EQ(view->textField()->stringValue(), "Codae!");
    EXPECT_DOUBLE_EQ(view->frame().width(), widthOf("Codae!", 12));
    EXPECT_DOUBLE_EQ(view->frame().height(), height);
    ASSERT_EQ(recorder.sizes.size(), reportsBefore + 2);
    EXPECT_EQ(recorder.sizes.back(), view->frame().size);
    // The editor lies over the grown field.
    EXPECT_EQ(editor->textWidget()->width(), qRound(view->frame().width()));

    type(f, Qt::Key_Return, "\r");
    EXPECT_FALSE(view->editing());
    EXPECT_EQ(view->textField()->currentEditor(), nullptr);
    EXPECT_FALSE(view->textField()->isEditable());
    EXPECT_EQ(f.host.firstResponder(), nullptr);
    EXPECT_FALSE(platform::FontPanel::shared().isVisible());
    EXPECT_EQ(view->textField()->stringValue(), "Codae!");
    EXPECT_GT(recorder.sizes.size(), reportsBefore + 2);
    platform::RecordingGraphicsContext after;
    view->drawRect(view->bounds(), after);
    EXPECT_TRUE(after.callsOfKind(DrawingCall::Kind::FrameRect).empty());
    // The text keeps its font as typed.
    EXPECT_EQ(view->textField()->attributedStringValue().attributesAtIndex(5).font,
              (platform::TextFont{"DejaVuSans", 12}));
}

TEST(TextView, AnEmptyTextHasNoWidthAndKeepsItsHeight) {
    TOVTextView view;
    view.textField()->setAttributedStringValue(inFont("A", 12));
    view.resize();
    const double height = view.frame().height();
    ASSERT_GT(height, 0);
    view.textField()->setAttributedStringValue(platform::AttributedString());
    view.resize();
    EXPECT_EQ(view.frame().size, (Size{0, height}));
    // A text is measured in the font of its first character throughout.
    platform::TextAttributes small;
    small.font = platform::TextFont{"DejaVuSans", 8};
    view.textField()->setAttributedStringValue(platform::AttributedString::Builder()
                                                   .append("Big", inFont("x", 20).runs()[0].attributes)
                                                   .append("small", small)
                                                   .build());
    view.resize();
    EXPECT_DOUBLE_EQ(view.frame().width(), widthOf("Bigsmall", 20));
}

// A rehearsal mark of bar 0 at bar (10, 5), made from a prototype as the bar view makes it.
std::shared_ptr<TOVMarkView> placeMark(ViewFixture& f, const TOVMarkView& prototype, SymbolText*& symbol) {
    auto view = std::static_pointer_cast<TOVMarkView>(prototype.clone());
    symbol = tovtest::findBar(f.song.document, 0)
                 ->createNewSymbolTextWithTypeFrame(TOVSymbolMarkA,
                                                    Rect(Point{10, 5}, prototype.defaultViewSize()));
    symbol->setText(view->attributedStringValue());
    f.editor->addSubview(view);
    view->setBarViewBelongTo(f.barView.get());
    view->setSymbol(symbol);
    return view;
}

TEST(MarkView, TextTypedInACopyGoesToItsSymbolAndLeavesThePrototypeAlone) {
    ViewFixture f;
    f.host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.host));
    TOVMarkView prototype(QStringLiteral("A"));
    SymbolText* symbol = nullptr;
    auto view = placeMark(f, prototype, symbol);
    ASSERT_NE(view->textView(), prototype.textView());
    const double widthBefore = view->frame().width();

    // The first click selects the mark, the second edits its text.
    const Point inText{view->frame().x() + 6, view->frame().y() + 5};
    doubleClick(f, inText);
    EXPECT_EQ(f.controller.log, (std::vector<std::string>{"select only"}));
    ASSERT_TRUE(view->textView()->editing());
    type(f, Qt::Key_2, "2");
    // The frame grows with the text while typing; the symbol still holds the old text.
    EXPECT_GT(view->frame().width(), widthBefore);
    EXPECT_DOUBLE_EQ(view->frame().width(), view->textView()->frame().width() + 8);
    EXPECT_EQ(symbol->text()->string(), "A");

    type(f, Qt::Key_Return, "\r");
    EXPECT_FALSE(view->textView()->editing());
    ASSERT_TRUE(symbol->text());
    EXPECT_EQ(symbol->text()->string(), "A2");
    EXPECT_EQ(symbol->text()->attributesAtIndex(1).font->pointSize, 14);
    EXPECT_EQ(prototype.attributedStringValue().string(), "A");
    EXPECT_EQ(prototype.textView()->textField()->stringValue(), "A");
}

TEST(MarkView, ADragOnItsTextMovesTheMark) {
    ViewFixture f;
    f.controller.pageArea = Rect(); // no grid to snap to
    TOVMarkView prototype(QStringLiteral("Verse"));
    SymbolText* symbol = nullptr;
    auto view = placeMark(f, prototype, symbol);
    const Point inText{view->frame().x() + 10, view->frame().y() + 6};
    f.drag(inText, {inText.x + 20, inText.y + 10});
    EXPECT_EQ(view->frame().origin, (Point{80, 55}));
    EXPECT_EQ(symbol->frame().origin, (Point{30, 15}));
    EXPECT_FALSE(view->textView()->editing());
}

TEST(ToolTextView, EditingEndsWhenAnotherViewTakesTheKeyboard) {
    ViewFixture f;
    f.host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.host));
    TOVToolTextView prototype(QStringLiteral("Free Text"));
    auto view = std::static_pointer_cast<TOVToolTextView>(prototype.clone());
    SymbolText* symbol = f.song.document->createNewSymbolTextWithTypeFrame(
        TOVToolFreeText, Rect(Point{200, 150}, prototype.defaultViewSize()));
    symbol->setText(view->attributedStringValue());
    f.editor->addSubview(view);
    view->setEditorViewBelongTo(f.editor.get());
    view->setSymbol(symbol);

    doubleClick(f, {205, 153});
    ASSERT_TRUE(view->textView()->editing());
    type(f, Qt::Key_Period, ".");
    EXPECT_DOUBLE_EQ(view->frame().width(), view->textView()->frame().width());
    // Coming back from another window (the font panel) gives the keyboard back to the text. The panel is
    // a tool window of this one, so the window counts as active while the panel has the focus: wait for
    // the window itself to take the focus.
    f.host.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == f.host.windowHandle(); }));
    ASSERT_TRUE(view->textView()->editing());
    EXPECT_TRUE(view->textView()->textField()->currentEditor()->textWidget()->hasFocus());
    // A click on the bar view moves the keyboard away: the text as typed is kept.
    f.press({60, 60});
    f.release({60, 60});
    EXPECT_FALSE(view->textView()->editing());
    EXPECT_EQ(symbol->text()->string(), "Free Text.");
}

} // namespace
