#include "GraphFixture.h"

#include "platform/foundation/UndoManager.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

using platform::ManagedObject;
using Names = std::vector<std::string>;
using Objects = std::vector<ManagedObject*>;

// Deleted objects that no undo or redo action can reach any more are destroyed once the event that made
// them unreachable has returned, and not before. The toy objects log their destruction; ASan reports any
// use of one after it.
class ReclaimTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        buildShelves();
        toy::ToyObject::destroyedLog = &destroyed;
    }

    void TearDown() override {
        GraphFixture::TearDown();
        toy::ToyObject::destroyedLog = nullptr;
    }

    // Lets the main loop turn once, as it does between two events of the application.
    static void turnMainLoop() { QCoreApplication::processEvents(); }

    // Runs the call as one event delivered by the main loop.
    static void asEvent(const std::function<void()>& call) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            call();
            ran = true;
        });
        while (!ran) {
            turnMainLoop();
        }
    }

    Names destroyedSorted() const {
        Names names = destroyed;
        std::sort(names.begin(), names.end());
        return names;
    }

    Names destroyed;
};

TEST_F(ReclaimTest, ClearingTheUndoStackReclaimsDeletedObjectsOnlyOnceTheEventHasReturned) {
    step([&] { context->deleteObject(b1); }); // Box#3 with Item#6 and Item#7
    turnMainLoop();
    EXPECT_TRUE(destroyed.empty()) << "the undo step still reaches them";
    EXPECT_EQ(context->heldObjectCount(), 10u);
    const std::string graph = toy::dump(*context);

    asEvent([&] {
        undo().removeAllActions();
        context->processPendingChanges(); // not a point where they may go: the event is still running
        EXPECT_TRUE(destroyed.empty());
        EXPECT_EQ(b1->stringValue("name"), "B1");
        EXPECT_EQ(i2->stringValue("title"), "I2");
        EXPECT_TRUE(i1->isDeleted());
    });
    turnMainLoop();

    EXPECT_EQ(destroyedSorted(), (Names{"Box#3", "Item#6", "Item#7"}));
    EXPECT_EQ(context->heldObjectCount(), 7u);
    for (const char* name : {"Box#3", "Item#6", "Item#7"}) {
        EXPECT_EQ(log.count(std::string("willTurnIntoFault ") + name), 1) << name;
    }
    EXPECT_EQ(toy::dump(*context), graph);
    EXPECT_EQ(context->fetchObjects("Box"), (Objects{b2, b3}));
    EXPECT_EQ(context->fetchObjects("Item"), (Objects{i3}));
}

TEST_F(ReclaimTest, UndoBringsBackTheSameObjectsWhileTheirActionsExist) {
    step([&] { context->deleteObject(b1); });
    for (int round = 0; round < 2; ++round) {
        turnMainLoop();
        undo().undo();
        turnMainLoop();
        EXPECT_FALSE(b1->isDeleted());
        EXPECT_EQ(b1->toMany("items"), (Objects{i1, i2}));
        EXPECT_EQ(s1->toMany("boxes"), (Objects{b1, b2}));
        EXPECT_EQ(context->fetchObjects("Item"), (Objects{i1, i2, i3}));
        undo().redo();
    }
    turnMainLoop();
    EXPECT_TRUE(destroyed.empty());
    EXPECT_EQ(context->heldObjectCount(), 10u);
}

// History: delete I3, then insert a box with an item. Undoing the insertion leaves the new box and item
// reachable only by redo; a new edit drops redo and with it exactly those two, while I3, deleted but still
// in the undo history, stays and comes back.
TEST_F(ReclaimTest, ANewEditAfterUndoReclaimsOnlyWhatTheDroppedRedoReached) {
    step([&] { context->deleteObject(i3); });
    ManagedObject* box = nullptr;
    ManagedObject* item = nullptr;
    step([&] {
        box = insert("Box");
        box->setToOne("shelf", s2);
        item = insert("Item");
        item->setToOne("box", box);
    });
    step([&] { b3->setValue("name", "renamed"); });
    undo().undo(); // the rename: its object stays in the graph
    undo().undo(); // the insertion: Box#11 and Item#12 leave the graph
    turnMainLoop();
    EXPECT_TRUE(destroyed.empty()) << "redo still reaches them";

    step([&] { s1->setValue("label", "new edit"); });
    EXPECT_FALSE(undo().canRedo());
    EXPECT_TRUE(destroyed.empty()) << "not inside the call that dropped redo";
    turnMainLoop();
    EXPECT_EQ(destroyedSorted(), (Names{"Box#11", "Item#12"}));

    undo().undo();
    undo().undo();
    EXPECT_FALSE(i3->isDeleted());
    EXPECT_EQ(b2->toMany("items"), (Objects{i3}));
    EXPECT_EQ(b3->stringValue("name"), "B3");
    turnMainLoop();
    EXPECT_EQ(destroyed.size(), 2u);
}

TEST_F(ReclaimTest, ObjectsDeletedWithRegistrationDisabledGoAtTheNextSafePoint) {
    step([&] { i3->setValue("title", "changed"); }); // an action that reaches I3
    undo().disableUndoRegistration();
    context->deleteObject(b3);
    context->deleteObject(i3);
    undo().enableUndoRegistration();
    context->processPendingChanges();
    EXPECT_TRUE(destroyed.empty());
    EXPECT_EQ(b3->stringValue("name"), "B3");

    turnMainLoop();
    EXPECT_EQ(destroyed, (Names{"Box#5"}));
    // I3 waits for the title change: undoing it still writes to the deleted object.
    undo().undo();
    EXPECT_EQ(i3->stringValue("title"), "I3");
    undo().removeAllActions();
    turnMainLoop();
    EXPECT_EQ(destroyed, (Names{"Box#5", "FragileItem#8"}));
    EXPECT_EQ(context->fetchObjects("Item"), (Objects{i1, i2}));
}

// A view may observe an object and remove its observer only when it goes itself: the object stays in memory
// until the last observer is removed.
TEST_F(ReclaimTest, AnObserverKeepsItsDeletedObjectUntilItIsRemoved) {
    int calls = 0;
    const platform::ObservationToken token =
        b3->addObserver("name", [&](const platform::Change&) { ++calls; });
    step([&] { context->deleteObject(b3); });
    undo().removeAllActions();
    turnMainLoop();
    EXPECT_TRUE(destroyed.empty());

    asEvent([&] {
        b3->removeObserver(token);
        EXPECT_TRUE(destroyed.empty());
        EXPECT_EQ(b3->stringValue("name"), "B3");
    });
    turnMainLoop();
    EXPECT_EQ(destroyed, (Names{"Box#5"}));
    EXPECT_EQ(calls, 0);
}

// A modal run inside the event that dropped the actions turns a nested loop while the event's handler still
// holds its pointers: nothing goes there; the next edit brings the reclaim back.
TEST_F(ReclaimTest, NothingIsReclaimedInsideANestedEventLoop) {
    step([&] { context->deleteObject(b1); });
    asEvent([&] {
        undo().removeAllActions();
        {
            platform::UndoManager::NestedEventLoopScope modal;
            QEventLoop loop;
            QTimer::singleShot(20, &loop, &QEventLoop::quit);
            loop.exec();
        }
        EXPECT_TRUE(destroyed.empty());
        EXPECT_EQ(b1->toMany("items"), Objects{});
    });
    turnMainLoop();
    EXPECT_TRUE(destroyed.empty());

    step([&] { s2->setValue("label", "next edit"); });
    turnMainLoop();
    EXPECT_EQ(destroyedSorted(), (Names{"Box#3", "Item#6", "Item#7"}));
}

TEST_F(ReclaimTest, ADeferredReclaimOutlivingItsContextDoesNothing) {
    step([&] { context->deleteObject(b1); });
    undo().removeAllActions();
    context.reset();                 // the reclaim is still queued on the main loop
    EXPECT_EQ(destroyed.size(), 8u); // every toy object but the two tags, which are plain objects
    turnMainLoop();
    EXPECT_EQ(destroyed.size(), 8u);
}

// Fetching follows the objects in the graph: sub-entities merged in insertion order, objects taken out by
// deletion or undo left out, objects brought back by undo in their old place.
TEST_F(ReclaimTest, FetchesMergeSubEntitiesInInsertionOrder) {
    ManagedObject* fragile = nullptr;
    ManagedObject* plain = nullptr;
    step([&] {
        fragile = insert("FragileItem");
        plain = insert("Item");
    });
    EXPECT_EQ(context->fetchObjects("Item"), (Objects{i1, i2, i3, fragile, plain}));
    EXPECT_EQ(context->fetchObjects("FragileItem"), (Objects{i3, fragile}));
    step([&] {
        context->deleteObject(i1);
        context->deleteObject(i3);
    });
    EXPECT_EQ(context->fetchObjects("Item"), (Objects{i2, fragile, plain}));
    undo().undo();
    EXPECT_EQ(context->fetchObjects("Item"), (Objects{i1, i2, i3, fragile, plain}));
    undo().undo();
    EXPECT_EQ(context->fetchObjects("Item"), (Objects{i1, i2, i3}));
    EXPECT_EQ(context->allObjects().size(), 10u);
}
