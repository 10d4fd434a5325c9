#include "platform/foundation/UndoManager.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using platform::UndoManager;
using Notification = platform::UndoManager::Notification;

namespace {

// A value whose every change registers its own undo, the way model setters do.
struct Cell {
    UndoManager& undo;
    int value = 0;

    void set(int v) {
        const int old = value;
        value = v;
        undo.registerUndo([this, old] { set(old); });
    }
};

void post(std::function<void()> f) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(f), Qt::QueuedConnection);
}

// Delivers everything posted, also what is posted meanwhile (one pass of the loop would leave that).
void drainEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1000);
}

// Runs a loop of level 1 (like the application's) until `quit` is called, with a safety timeout.
void runOuterLoop(QEventLoop& loop) {
    QTimer::singleShot(5000, &loop, [&loop] {
        ADD_FAILURE() << "event loop timed out";
        loop.quit();
    });
    loop.exec();
}

int undoSteps(UndoManager& undo, Cell& cell, std::vector<int>* values = nullptr) {
    int steps = 0;
    while (undo.canUndo()) {
        undo.undo();
        ++steps;
        if (values != nullptr) {
            values->push_back(cell.value);
        }
    }
    return steps;
}

} // namespace

TEST(UndoManagerTest, ExplicitGroupsNestAndCloseAtLevelZero) {
    UndoManager undo;
    undo.setGroupsByEvent(false);
    Cell cell{undo};

    undo.beginUndoGrouping();
    EXPECT_EQ(undo.groupingLevel(), 1);
    cell.set(1);
    undo.beginUndoGrouping();
    EXPECT_EQ(undo.groupingLevel(), 2);
    cell.set(2);
    undo.endUndoGrouping();
    EXPECT_EQ(undo.groupingLevel(), 1);
    cell.set(3);
    undo.endUndoGrouping();
    EXPECT_EQ(undo.groupingLevel(), 0);

    undo.beginUndoGrouping();
    cell.set(4);
    undo.endUndoGrouping();

    std::vector<int> values;
    EXPECT_EQ(undoSteps(undo, cell, &values), 2);
    EXPECT_EQ(values, (std::vector<int>{3, 0}));
    undo.redo();
    EXPECT_EQ(cell.value, 3);
    undo.redo();
    EXPECT_EQ(cell.value, 4);
    EXPECT_FALSE(undo.canRedo());
}

TEST(UndoManagerTest, EmptyGroupsAreDropped) {
    UndoManager undo;
    undo.setGroupsByEvent(false);
    Cell cell{undo};
    undo.beginUndoGrouping();
    cell.set(1);
    undo.endUndoGrouping();
    const auto count = undo.changeCount();

    undo.beginUndoGrouping();
    undo.beginUndoGrouping();
    undo.endUndoGrouping();
    undo.endUndoGrouping();

    EXPECT_EQ(undo.changeCount(), count);
    undo.undo();
    EXPECT_EQ(cell.value, 0);
    EXPECT_FALSE(undo.canUndo());
}

TEST(UndoManagerTest, UndoClosesTheOpenOutermostGroupFirst) {
    UndoManager undo;
    undo.setGroupsByEvent(false);
    Cell cell{undo};
    undo.beginUndoGrouping();
    cell.set(1);
    cell.set(2);
    EXPECT_TRUE(undo.canUndo());
    undo.undo();
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_EQ(cell.value, 0);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_TRUE(undo.canRedo());
}

TEST(UndoManagerTest, DisabledRegistrationRecordsNothingAndNests) {
    UndoManager undo;
    undo.setGroupsByEvent(false);
    Cell cell{undo};
    undo.disableUndoRegistration();
    undo.disableUndoRegistration();
    cell.set(1); // not even a group is needed while disabled
    undo.enableUndoRegistration();
    EXPECT_FALSE(undo.isUndoRegistrationEnabled());
    cell.set(2);
    undo.enableUndoRegistration();
    EXPECT_TRUE(undo.isUndoRegistrationEnabled());
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(undo.changeCount(), 0u);

    undo.beginUndoGrouping();
    cell.set(3);
    undo.endUndoGrouping();
    undo.undo();
    EXPECT_EQ(cell.value, 2);
}

TEST(UndoManagerTest, RemoveAllActionsForgetsStepsAndOpenActionsButKeepsLevels) {
    UndoManager undo;
    undo.setGroupsByEvent(false);
    Cell cell{undo};
    for (int v : {1, 2, 3}) {
        undo.beginUndoGrouping();
        cell.set(v);
        undo.endUndoGrouping();
    }
    undo.undo();
    undo.beginUndoGrouping();
    cell.set(9);
    const auto count = undo.changeCount();

    undo.removeAllActions();

    EXPECT_EQ(undo.groupingLevel(), 1);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(undo.canRedo());
    EXPECT_EQ(undo.changeCount(), count);
    undo.endUndoGrouping(); // the emptied group is dropped
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(cell.value, 9);
}

TEST(UndoManagerTest, RegistrationsDuringUndoBuildTheRedoStepAndNewEditsForgetRedo) {
    UndoManager undo;
    undo.setGroupsByEvent(false);
    Cell cell{undo};
    undo.beginUndoGrouping();
    cell.set(1);
    undo.setActionName("Set One");
    undo.endUndoGrouping();
    undo.beginUndoGrouping();
    cell.set(2);
    undo.setActionName("Set Two");
    undo.endUndoGrouping();
    EXPECT_EQ(undo.undoActionName(), "Set Two");

    undo.undo();
    EXPECT_EQ(undo.undoActionName(), "Set One");
    EXPECT_EQ(undo.redoActionName(), "Set Two");
    undo.redo();
    EXPECT_EQ(cell.value, 2);
    EXPECT_EQ(undo.undoActionName(), "Set Two");
    undo.undo();

    undo.beginUndoGrouping();
    cell.set(5);
    EXPECT_FALSE(undo.canRedo());
    undo.endUndoGrouping();
    EXPECT_EQ(undo.redoActionName(), "");
}

TEST(UndoManagerTest, ChangeCountFollowsEditsUndoAndRedoAndNeverRepeatsAcrossBranches) {
    UndoManager undo;
    undo.setGroupsByEvent(false);
    Cell cell{undo};
    int notices = 0;
    undo.addObserver(Notification::ChangeCountDidChange, [&] { ++notices; });
    auto edit = [&](int v) {
        undo.beginUndoGrouping();
        cell.set(v);
        undo.endUndoGrouping();
    };

    const auto c0 = undo.changeCount();
    edit(1);
    const auto c1 = undo.changeCount();
    edit(2);
    const auto c2 = undo.changeCount();
    EXPECT_LT(c0, c1);
    EXPECT_LT(c1, c2);
    undo.undo();
    EXPECT_EQ(undo.changeCount(), c1);
    undo.undo();
    EXPECT_EQ(undo.changeCount(), c0);
    undo.redo();
    EXPECT_EQ(undo.changeCount(), c1);
    edit(7); // a different content from c2: a document saved at c2 must stay edited
    EXPECT_NE(undo.changeCount(), c2);
    EXPECT_GT(undo.changeCount(), c2);
    undo.undo();
    EXPECT_EQ(undo.changeCount(), c1);
    EXPECT_EQ(notices, 7);
}

TEST(UndoManagerTest, NotificationsBracketTheActionsWhileTheFlagsAreSet) {
    UndoManager undo;
    undo.setGroupsByEvent(false);
    std::vector<std::string> log;
    auto flags = [&] { return std::string(undo.isUndoing() ? "U" : "-") + (undo.isRedoing() ? "R" : "-"); };
    undo.addObserver(Notification::WillUndo, [&] { log.push_back("willUndo " + flags()); });
    undo.addObserver(Notification::DidUndo, [&] { log.push_back("didUndo " + flags()); });
    undo.addObserver(Notification::WillRedo, [&] { log.push_back("willRedo " + flags()); });
    undo.addObserver(Notification::DidRedo, [&] { log.push_back("didRedo " + flags()); });
    std::function<void()> action = [&] {
        log.push_back("action " + flags());
        undo.registerUndo(action);
    };
    undo.beginUndoGrouping();
    undo.registerUndo(action);
    undo.endUndoGrouping();

    undo.undo();
    undo.redo();

    EXPECT_EQ(log, (std::vector<std::string>{"willUndo U-", "action U-", "didUndo U-", "willRedo -R",
                                             "action -R", "didRedo -R"}));
    EXPECT_FALSE(undo.isUndoing());
    EXPECT_FALSE(undo.isRedoing());
}

TEST(UndoManagerTest, ObserversMayRemoveThemselvesAndOthersWhileCalled) {
    UndoManager undo;
    undo.setGroupsByEvent(false);
    std::vector<int> calls;
    UndoManager::ObserverId second = 0;
    UndoManager::ObserverId first = undo.addObserver(Notification::WillUndo, [&] {
        calls.push_back(1);
        undo.removeObserver(first);
        undo.removeObserver(second);
    });
    second = undo.addObserver(Notification::WillUndo, [&] { calls.push_back(2); });
    Cell cell{undo};
    for (int v : {1, 2}) {
        undo.beginUndoGrouping();
        cell.set(v);
        undo.endUndoGrouping();
    }
    undo.undo();
    undo.undo();
    EXPECT_EQ(calls, (std::vector<int>{1}));
}

TEST(UndoManagerTest, EachEventIsOneUndoStep) {
    UndoManager undo;
    Cell cell{undo};
    post([&] {
        cell.set(1);
        cell.set(2);
    });
    drainEvents();
    EXPECT_EQ(undo.groupingLevel(), 0);
    post([&] { cell.set(3); });
    drainEvents();
    EXPECT_EQ(undo.groupingLevel(), 0);

    std::vector<int> values;
    EXPECT_EQ(undoSteps(undo, cell, &values), 2);
    EXPECT_EQ(values, (std::vector<int>{2, 0}));
}

TEST(UndoManagerTest, ExplicitGroupsWhileGroupingByEvent) {
    UndoManager undo;
    Cell cell{undo};
    post([&] {
        cell.set(1); // opens the event's group
        undo.beginUndoGrouping();
        EXPECT_EQ(undo.groupingLevel(), 2);
        cell.set(2);
        undo.endUndoGrouping(); // joins the event's group
        cell.set(3);
    });
    drainEvents();
    post([&] {
        undo.beginUndoGrouping(); // outermost: a step of its own
        EXPECT_EQ(undo.groupingLevel(), 1);
        cell.set(4);
        undo.endUndoGrouping();
        cell.set(5); // a new group, closed with the event
    });
    drainEvents();
    post([&] {
        undo.beginUndoGrouping(); // left open: closed with the event
        cell.set(6);
    });
    drainEvents();
    post([&] { undo.beginUndoGrouping(); }); // left open and empty: dropped at the end of the event
    drainEvents();

    EXPECT_EQ(undo.groupingLevel(), 0);
    std::vector<int> values;
    EXPECT_EQ(undoSteps(undo, cell, &values), 4);
    EXPECT_EQ(values, (std::vector<int>{5, 4, 3, 0}));
}

// A nested loop run with QEventLoop::exec alone is recognised by its loop level.
TEST(UndoManagerTest, NestedLoopDoesNotCloseTheOuterEventGroup) {
    UndoManager undo;
    Cell cell{undo};
    QEventLoop outer;
    post([&] {
        cell.set(1);
        QEventLoop nested;
        post([&] {
            cell.set(2);
            nested.quit();
        });
        nested.exec();
        EXPECT_EQ(undo.groupingLevel(), 1);
        // A later user event: it comes after the outer loop has passed at least once.
        QTimer::singleShot(20, [&] {
            cell.set(3);
            post([&] { outer.quit(); });
        });
    });
    runOuterLoop(outer);
    drainEvents();

    std::vector<int> values;
    EXPECT_EQ(undoSteps(undo, cell, &values), 2);
    EXPECT_EQ(values, (std::vector<int>{2, 0}));
}

// The platform's modal runs mark their loop; the group then closes before anything posted after it.
TEST(UndoManagerTest, NestedLoopScopeClosesTheGroupBeforeLaterEvents) {
    UndoManager undo;
    Cell cell{undo};
    QEventLoop outer;
    post([&] {
        cell.set(1);
        {
            UndoManager::NestedEventLoopScope modal;
            EXPECT_EQ(UndoManager::nestedEventLoopDepth(), 1);
            QEventLoop nested;
            post([&] {
                cell.set(2);
                nested.quit();
            });
            nested.exec();
        }
        EXPECT_EQ(undo.groupingLevel(), 1);
        post([&] {
            cell.set(3);
            post([&] { outer.quit(); });
        });
    });
    runOuterLoop(outer);
    drainEvents();

    std::vector<int> values;
    EXPECT_EQ(undoSteps(undo, cell, &values), 2);
    EXPECT_EQ(values, (std::vector<int>{2, 0}));
}

// How the modal input windows drive grouping: grouping by event off during the run, each commit closes
// the open group and opens a new one, and the caller closes every group afterwards.
TEST(UndoManagerTest, CommitsOfAModalWindowAreOneStepEach) {
    UndoManager undo;
    Cell cell{undo};
    QEventLoop outer;
    post([&] {
        cell.set(1); // the event that opened the window also changed something
        undo.setGroupsByEvent(false);
        {
            UndoManager::NestedEventLoopScope modal;
            QEventLoop nested;
            auto commit = [&](int v) {
                if (undo.groupingLevel() > 0) {
                    undo.endUndoGrouping();
                }
                undo.beginUndoGrouping();
                cell.set(v);
            };
            post([&, commit] { commit(2); });
            post([&, commit] {
                commit(3);
                nested.quit();
            });
            nested.exec();
        }
        for (int n = undo.groupingLevel(); n > 0; --n) {
            undo.endUndoGrouping();
        }
        undo.setGroupsByEvent(true);
        post([&] { outer.quit(); });
    });
    runOuterLoop(outer);
    drainEvents();

    EXPECT_EQ(undo.groupingLevel(), 0);
    std::vector<int> values;
    EXPECT_EQ(undoSteps(undo, cell, &values), 3);
    EXPECT_EQ(values, (std::vector<int>{2, 1, 0}));
}

TEST(UndoManagerDeathTest, RegistrationWithoutGroupWhileNotGroupingByEventAsserts) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEBUG_DEATH(
        {
            UndoManager undo;
            undo.setGroupsByEvent(false);
            undo.registerUndo([] {});
        },
        "without an open group");
}
