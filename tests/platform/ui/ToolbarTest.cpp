#include "platform/ui/Toolbar.h"
#include "platform/ui/Application.h"
#include "platform/ui/ChildPanel.h"
#include "platform/ui/ToolbarItem.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowController.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class Controller : public WindowController {
public:
    explicit Controller(std::unique_ptr<Window> window) : WindowController(std::move(window)) {
        addActionHandler("play:", [this](MenuItem*) { ++plays; });
    }
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
