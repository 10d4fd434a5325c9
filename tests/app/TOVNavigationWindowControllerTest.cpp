#include "AppWindowFixture.h"

#include "app/TOVNavigationView.h"
#include "app/TOVNavigationWindowController.h"
#include "platform/ui/ChildPanel.h"

#include <QImage>
#include <QTest>

using apptest::settle;

namespace {

class NavigationPanelTest : public apptest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        panel = std::make_unique<TOVNavigationWindowController>();
        panel->window()->resize(320, 32);
        panel->window()->show();
        (void)QTest::qWaitForWindowExposed(panel->window());
        settle();
    }

    // The box's colour in the middle of its height, away from the border and the text.
    QColor boxColour() {
        const QImage image = panel->navigationView()->grab().toImage();
        return image.pixelColor(image.width() - 10, image.height() / 2);
    }

    std::unique_ptr<TOVNavigationWindowController> panel;
};

struct PriorityCase {
    int priority;
    QColor top;
    QColor bottom;
};

void PrintTo(const PriorityCase& c, std::ostream* os) {
    *os << "priority " << c.priority;
}

class NavigationPriorityTest : public NavigationPanelTest,
                               public ::testing::WithParamInterface<PriorityCase> {};

TEST_P(NavigationPriorityTest, BoxIsFilledTopToBottomWithThePrioritysColours) {
    const PriorityCase c = GetParam();
    panel->showMessageTitlePriority(QStringLiteral("Drop the symbol on a bar."), QStringLiteral("Bar 2"),
                                    c.priority);
    settle();
    const QImage image = panel->navigationView()->grab().toImage();
    const QString out = QString::fromLocal8Bit(qgetenv("TOVRIN_RENDER_DIR"));
    if (!out.isEmpty()) {
        image.save(out + QStringLiteral("/navigation-%1.png").arg(c.priority));
    }
    const int x = image.width() - 10;
    // The gradient runs from the start colour at the box's top edge to the end colour at its bottom edge
    // (the box leaves the view's last row to the outer shadow).
    const double boxHeight = image.height() - 1.0;
    const auto expected = [&](int y) {
        const double t = y / boxHeight;
        const auto mix = [t](double a, double b) { return a + (b - a) * t; };
        return QColor::fromRgbF(static_cast<float>(mix(c.top.redF(), c.bottom.redF())),
                                static_cast<float>(mix(c.top.greenF(), c.bottom.greenF())),
                                static_cast<float>(mix(c.top.blueF(), c.bottom.blueF())));
    };
    const auto near = [](QColor seen, QColor want) {
        return std::abs(seen.red() - want.red()) <= 8 && std::abs(seen.green() - want.green()) <= 8 &&
               std::abs(seen.blue() - want.blue()) <= 8;
    };
    for (int y : {6, image.height() / 2, image.height() - 4}) {
        const QColor seen = image.pixelColor(x, y);
        EXPECT_TRUE(near(seen, expected(y)))
            << "y " << y << ": " << seen.name().toStdString() << " want " << expected(y).name().toStdString();
    }
}

const QColor kGreenTop = QColor::fromRgbF(0.87f, 0.96f, 0.75f);
const QColor kGreenBottom = QColor::fromRgbF(0.67f, 0.86f, 0.45f);

INSTANTIATE_TEST_SUITE_P(Priorities, NavigationPriorityTest,
                         ::testing::Values(PriorityCase{0, kGreenTop, kGreenBottom},
                                           PriorityCase{1, QColor::fromRgbF(1.0f, 1.0f, 0.15f),
                                                        QColor::fromRgbF(1.0f, 0.88f, 0.49f)},
                                           PriorityCase{2, QColor::fromRgbF(1.0f, 0.7f, 0.45f),
                                                        QColor::fromRgbF(1.0f, 0.5f, 0.2f)},
                                           PriorityCase{3, kGreenTop, kGreenBottom},
                                           PriorityCase{-1, kGreenTop, kGreenBottom}));

TEST_F(NavigationPanelTest, MessageReplacesThePreviousOneAndMissingTextsShowEmpty) {
    panel->showMessageTitlePriority(QStringLiteral("first"), QStringLiteral("One"), 0);
    panel->showMessageTitlePriority(QStringLiteral("Choose the last bar."), QString(), 0);
    EXPECT_EQ(panel->labelTitle()->text(), QStringLiteral(""));
    EXPECT_EQ(panel->labelMessage()->text(), QStringLiteral("Choose the last bar."));
    EXPECT_FALSE(panel->navMessage().title().isNull());
    EXPECT_EQ(panel->navMessage().message(), QStringLiteral("Choose the last bar."));
}

TEST_F(NavigationPanelTest, DrawingObjectsAreRebuiltOnlyWhenThePriorityChanges) {
    TOVNavigationView* view = panel->navigationView();
    const int built = view->drawingObjectsBuilt();
    panel->showMessageTitlePriority(QStringLiteral("a"), QStringLiteral("b"), 0);
    panel->showMessageTitlePriority(QStringLiteral("c"), QStringLiteral("d"), 0);
    EXPECT_EQ(view->drawingObjectsBuilt(), built);
    panel->showMessageTitlePriority(QStringLiteral("e"), QStringLiteral("f"), 2);
    EXPECT_EQ(view->drawingObjectsBuilt(), built + 1);
    settle();
    const QColor orange = boxColour();
    EXPECT_GT(orange.red(), 240);
    EXPECT_LT(orange.blue(), 120);
}

TEST_F(NavigationPanelTest, PanelLetsEveryClickThroughAndNeverTakesTheKeyboard) {
    platform::ChildPanel* window = panel->window();
    EXPECT_TRUE(window->ignoresMouseEvents());
    ASSERT_NE(window->windowHandle(), nullptr);
    EXPECT_TRUE(window->windowHandle()->flags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    const QColor text = panel->labelTitle()->palette().color(QPalette::WindowText);
    EXPECT_NEAR(text.redF(), 0.255, 0.01);
}

} // namespace
