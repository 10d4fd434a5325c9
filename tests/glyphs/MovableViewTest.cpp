#include "ViewFixture.h"
#include "model/TOVSymbolTypes.h"

#include <gtest/gtest.h>

using glyphtest::ViewFixture;
using platform::Point;
using platform::Rect;
using Log = std::vector<std::string>;

namespace {

TEST(SelectableView, ClicksSelectAndModifiedClicksExtendOrReduce) {
    ViewFixture f;
    auto a = f.add<TOVMovableView>(TOVSymbolMarkIntro, Rect(10, 10, 20, 20)); // editor (60, 50)
    auto b = f.add<TOVMovableView>(TOVSymbolMarkInter, Rect(50, 10, 20, 20)); // editor (100, 50)
    f.press({65, 55});
    f.release({65, 55});
    f.press({105, 55}, Qt::ControlModifier); // the Command key on Linux
    f.release({105, 55});
    f.press({65, 55}); // a plain click on a selected view keeps the group
    f.release({65, 55});
    f.press({65, 55}, Qt::ShiftModifier);
    f.release({65, 55});
    EXPECT_EQ(f.controller.log, (Log{"select only", "select add", "unselect"}));
    EXPECT_EQ(a->state(), 0);
    EXPECT_EQ(b->state(), 1);
}

TEST(SelectableView, ADoubleClickDoesNotChangeTheSelection) {
    ViewFixture f;
    auto a = f.add<TOVMovableView>(TOVSymbolMarkIntro, Rect(10, 10, 20, 20));
    f.input->press({65, 55}, Qt::LeftButton, 100000);
    f.input->release({65, 55}, Qt::LeftButton, 100010);
    f.controller.objectViewShouldBeUnselected(a.get());
    f.input->press({65, 55}, Qt::LeftButton, 100050); // the second press of a double click
    f.input->release({65, 55}, Qt::LeftButton, 100060);
    EXPECT_EQ(f.controller.log, (Log{"select only", "unselect"}));
}

TEST(MovableView, MovesOnlyPastTheThresholdAndThenByTheWholeDistance) {
    ViewFixture f;
    auto view =
        f.add<TOVMovableView>(TOVSymbolMarkIntro, Rect(13.5, 13.25, 13, 13.5)); // editor (63.5, 53.25)
    f.press({70, 60});
    f.moveTo({71, 60});
    EXPECT_EQ(view->frame().origin, (Point{63.5, 53.25}));
    EXPECT_FALSE(view->isMoving());
    f.moveTo({72, 61});
    EXPECT_TRUE(view->isMoving());
    EXPECT_EQ(view->frame().origin, (Point{65.5, 54.25}));
    f.release({72, 61});
    EXPECT_FALSE(view->isMouseDown());
    EXPECT_FALSE(view->isMoving());
}

TEST(MovableView, ACornerWithinOneOfAGridLineSnapsToIt) {
    struct Case {
        double startX;
        bool onPage;
        double expectedX;
    };
    // The view is dragged 7 to the right; its top-left corner then lies 0.5 or 1.0 right of x = 70.
    const Case cases[] = {{63.5, true, 70.0}, {64.0, true, 71.0}, {63.5, false, 70.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.startX << (c.onPage ? " on the page" : " off the pages"));
        ViewFixture f;
        if (!c.onPage) {
            f.controller.pageArea = Rect();
        }
        auto view = f.add<TOVMovableView>(TOVSymbolMarkIntro, Rect(c.startX - 50, 13.25, 13, 13.5));
        f.press({70, 60});
        f.moveTo({77, 60});
        EXPECT_EQ(view->frame().x(), c.expectedX);
        EXPECT_EQ(view->frame().y(), 53.25); // 3.25 from a line: no pull
        // The pull is not lost from the pointer: the next step brings the view back under it.
        f.moveTo({80, 60});
        EXPECT_EQ(view->frame().x(), c.startX + 10);
        f.release({80, 60});
    }
}

TEST(MovableView, ReleaseWritesTheFrameInBarCoordinatesOnlyWhenItChanged) {
    ViewFixture f;
    auto view = f.add<TOVMovableView>(TOVSymbolMarkIntro, Rect(13.5, 13.25, 13, 13.5));
    f.drag({70, 60}, {75, 62});
    EXPECT_EQ(f.controller.log, (Log{"select only", "complete"}));
    EXPECT_EQ(view->frame().origin, (Point{68.5, 55.25}));
    EXPECT_EQ(view->symbol()->frame(), Rect(18.5, 15.25, 13, 13.5));
    EXPECT_EQ(f.controller.frameDidChangeCount, 1);

    // Out and back: nothing to write and nothing reported.
    const Rect stored = view->symbol()->frame();
    f.press({75, 62});
    f.moveTo({85, 62});
    f.moveTo({75, 62});
    f.release({75, 62});
    EXPECT_EQ(view->symbol()->frame(), stored);
    EXPECT_EQ(f.controller.frameDidChangeCount, 1);
    EXPECT_EQ(f.controller.log.back(), "complete");
}

TEST(MovableView, WithoutABarViewTheFrameIsWrittenAsItStands) {
    ViewFixture f;
    auto view = f.add<TOVMovableView>(TOVSymbolMarkIntro, Rect(13.5, 13.25, 13, 13.5));
    view->setBarViewBelongTo(nullptr);
    view->setEditorViewBelongTo(f.editor.get());
    f.drag({70, 60}, {75, 62});
    EXPECT_EQ(view->symbol()->frame(), Rect(68.5, 55.25, 13, 13.5));
    EXPECT_EQ(view->parentEditorView(), f.editor.get());
}

TEST(MovableView, WithoutADelegateTheViewMovesItselfAndWritesOnRelease) {
    ViewFixture f;
    auto view = f.add<TOVMovableView>(TOVSymbolMarkIntro, Rect(13.5, 13.25, 13, 13.5));
    view->setDelegate(nullptr);
    f.drag({70, 60}, {75, 62});
    EXPECT_TRUE(f.controller.log.empty());
    EXPECT_EQ(view->symbol()->frame().origin, (Point{18.5, 15.25}));
}

} // namespace
