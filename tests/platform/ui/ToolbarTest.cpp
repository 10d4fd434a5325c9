#include "platform/ui/Toolbar.h"
#include "platform/ui/Application.h"
#include "platform/ui/ChildPanel.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ToolbarItem.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowController.h"
#include "platform/ui/WindowEvents.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace platform;

namespace {

class Controller : public WindowController {
public:
    explicit Controller(std::unique_ptr<Window> window) : WindowController(std::move(window)) {
        addActionHandler("play:", [this](MenuItem*) { ++plays; });
        addActionHandler("choose:", [this](MenuItem* sender) {
            if (onChoose) {
                onChoose(sender);
            }
        });
    }
    std::function<void(MenuItem*)> onChoose;
    bool validateMenuItem(MenuItem& item) override { return playable; }
    int plays = 0;
    bool playable = false;
};

struct ToolbarFixture : ::testing::Test {
    Application app;
    Controller controller{std::make_unique<Window>()};
    Window& window = *controller.window();
    Toolbar toolbar{"main", window};
    std::shared_ptr<ToolbarItem> play = std::make_shared<ToolbarItem>("play");
    std::shared_ptr<ToolbarItem> message = std::make_shared<ToolbarItem>("message");

    void SetUp() override {
        play->setLabel("Play");
        play->setAction("play:");
        message->setView(new QLabel("   message area   "));
        toolbar.addItem(play);
        toolbar.addItem(message);
        window.resize(400, 300);
        window.move(100, 100);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QToolButton* button() { return qobject_cast<QToolButton*>(toolbar.widgetForItem(play.get())); }
};

TEST_F(ToolbarFixture, ItemsAreValidatedAndSendTheirActionAlongTheChain) {
    ASSERT_NE(button(), nullptr);
    EXPECT_FALSE(button()->isEnabled());
    controller.playable = true;
    toolbar.validateVisibleItems();
    ASSERT_TRUE(button()->isEnabled());
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                      button()->mapTo(&window, button()->rect().center()));
    QCoreApplication::processEvents();
    EXPECT_EQ(controller.plays, 1);
}

TEST_F(ToolbarFixture, DisplayModesChooseImagesLabelsOrBoth) {
    const struct {
        Toolbar::DisplayMode mode;
        Qt::ToolButtonStyle style;
    } cases[] = {
        {Toolbar::DisplayMode::IconOnly, Qt::ToolButtonIconOnly},
        {Toolbar::DisplayMode::LabelOnly, Qt::ToolButtonTextOnly},
        {Toolbar::DisplayMode::IconAndLabel, Qt::ToolButtonTextUnderIcon},
    };
    for (const auto& c : cases) {
        toolbar.setDisplayMode(c.mode);
        QCoreApplication::processEvents();
        EXPECT_EQ(button()->toolButtonStyle(), c.style);
    }
    // Rebuilding the bar keeps the mode and the item's own view.
    toolbar.setDisplayMode(Toolbar::DisplayMode::LabelOnly);
    toolbar.removeItemAtIndex(0);
    toolbar.insertItemAtIndex(play, 0);
    EXPECT_EQ(button()->toolButtonStyle(), Qt::ToolButtonTextOnly);
    EXPECT_EQ(toolbar.widgetForItem(message.get()), message->view());
}

TEST_F(ToolbarFixture, ViewsOfItemsAddedBeforeOthersStayVisible) {
    // A bar filled before its window shows, as a document window builds its own.
    Window other;
    Toolbar bar("other", other);
    std::vector<std::shared_ptr<ToolbarItem>> items;
    for (const char* id : {"mode", "zoom", "area"}) {
        items.push_back(std::make_shared<ToolbarItem>(id));
        items.back()->setView(new QLabel(id));
        bar.addItem(items.back());
    }
    other.resize(500, 200);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    for (const auto& item : items) {
        QWidget* view = bar.widgetForItem(item.get());
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->isVisible()) << item->itemIdentifier();
    }
}

TEST_F(ToolbarFixture, ChildPanelFollowsItsToolbarItem) {
    ChildPanel panel(new QLabel("hint"));
    QWidget* anchor = toolbar.widgetForItem(message.get());
    ASSERT_NE(anchor, nullptr);
    panel.attachToWidget(anchor);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    const auto expected = [&] { return anchor->mapToGlobal(QPoint(0, anchor->height())); };
    EXPECT_EQ(panel.pos(), expected());
    EXPECT_EQ(QApplication::activeWindow(), &window);
    EXPECT_TRUE(panel.ignoresMouseEvents());

    window.move(250, 180);
    for (int i = 0; i < 50 && panel.pos() != expected(); ++i) {
        QTest::qWait(10);
    }
    EXPECT_EQ(panel.pos(), expected());
    window.hide();
    QCoreApplication::processEvents();
    EXPECT_FALSE(panel.isVisible());
    window.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(panel.isVisible());
}

} // namespace

namespace {

// Three selectable items and a plain one; each click is logged with the selection it saw.
struct SelectableToolbarFixture : ToolbarFixture {
    std::vector<std::string> heard;
    void SetUp() override {
        ToolbarFixture::SetUp();
        controller.playable = true;
        controller.onChoose = [this](MenuItem* sender) {
            heard.push_back(std::to_string(sender->tag()) +
                            (sender->toolbarItem() != nullptr ? " bar " : " ? ") +
                            toolbar.selectedItemIdentifier());
        };
        for (int tag = 0; tag < 3; ++tag) {
            auto item = std::make_shared<ToolbarItem>("pick" + std::to_string(tag));
            item->setLabel("Pick " + std::to_string(tag));
            item->setAction("choose:");
            item->setTag(tag);
            item->setSelectable(true);
            toolbar.addItem(item);
        }
    }
    QToolButton* buttonOf(const std::string& id) {
        return qobject_cast<QToolButton*>(toolbar.widgetForItem(toolbar.itemWithIdentifier(id)));
    }
    // Far apart in time: two clicks, not a double click.
    void click(QToolButton* b) { uitest::WindowEvents(*b).click(b->rect().center(), time += 5000); }
    ulong time = 1000;
    std::vector<bool> checked() {
        return {buttonOf("pick0")->isChecked(), buttonOf("pick1")->isChecked(),
                buttonOf("pick2")->isChecked()};
    }
};

} // namespace

TEST_F(SelectableToolbarFixture, OneSelectableItemIsSelectedAtATime) {
    EXPECT_EQ(toolbar.selectedItemIdentifier(), "");
    EXPECT_EQ(checked(), (std::vector<bool>{false, false, false}));
    toolbar.setSelectedItemIdentifier("pick0");
    EXPECT_EQ(checked(), (std::vector<bool>{true, false, false}));
    EXPECT_TRUE(heard.empty());
    // A click selects before the action is sent; a click on the selected item keeps it selected.
    click(buttonOf("pick2"));
    click(buttonOf("pick2"));
    EXPECT_EQ(heard, (std::vector<std::string>{"2 bar pick2", "2 bar pick2"}));
    EXPECT_EQ(checked(), (std::vector<bool>{false, false, true}));
    // A plain item does not take the selection.
    click(button());
    EXPECT_EQ(toolbar.selectedItemIdentifier(), "pick2");
    EXPECT_FALSE(button()->isChecked());
    // Nor does an unknown or plain identifier; a rebuild keeps the selection; removing the item clears it.
    toolbar.setSelectedItemIdentifier("play");
    EXPECT_EQ(toolbar.selectedItemIdentifier(), "");
    toolbar.setSelectedItemIdentifier("pick1");
    toolbar.setDisplayMode(Toolbar::DisplayMode::IconOnly);
    toolbar.insertItemAtIndex(std::make_shared<ToolbarItem>("extra"), 0);
    EXPECT_EQ(checked(), (std::vector<bool>{false, true, false}));
    toolbar.removeItemAtIndex(4);
    EXPECT_EQ(toolbar.selectedItemIdentifier(), "");
}

// A palette never becomes the key window: neither showing it nor a click into it takes the keyboard from
// the window that has it, and the click still reaches the palette's widget.
TEST(PaletteWindowTest, ShowingOrClickingAPaletteLeavesTheKeyboardWhereItWas) {
    Application app;
    Window document;
    document.resize(300, 200);
    document.move(20, 20);
    document.show();
    document.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&document));
    Window palette(Window::Kind::Palette);
    auto* pressed = new QToolButton;
    pressed->setCheckable(true);
    palette.setCentralWidget(pressed);
    palette.resize(120, 120);
    palette.move(400, 20);
    palette.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette));
    QCoreApplication::processEvents();
    EXPECT_FALSE(palette.canBecomeMain());
    EXPECT_EQ(QGuiApplication::focusWindow(), document.windowHandle());
    QTest::mouseClick(palette.windowHandle(), Qt::LeftButton, {},
                      pressed->mapTo(&palette, pressed->rect().center()));
    QCoreApplication::processEvents();
    EXPECT_TRUE(pressed->isChecked());
    EXPECT_EQ(QGuiApplication::focusWindow(), document.windowHandle());
    EXPECT_TRUE(document.isActiveWindow());
    EXPECT_FALSE(palette.isActiveWindow());
}
