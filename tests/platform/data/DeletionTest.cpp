#include "GraphFixture.h"

using platform::ManagedObject;
using Objects = std::vector<ManagedObject*>;

class DeletionTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        buildShelves();
    }
};

TEST_F(DeletionTest, CascadeDeletesWhatTheObjectOwnsAndNullifyOnlyUnlinks) {
    step([&] { context->deleteObject(s1); });

    for (ManagedObject* gone : {s1, b1, b2, i1, i2, i3}) {
        EXPECT_TRUE(gone->isDeleted()) << toy::name(gone);
    }
    for (ManagedObject* kept : {s2, b3, t1, t2}) {
        EXPECT_FALSE(kept->isDeleted()) << toy::name(kept);
    }
    EXPECT_EQ(t1->toMany("shelves"), Objects{});
    EXPECT_EQ(t2->toMany("shelves"), (Objects{s2}));
    EXPECT_EQ(context->fetchObjects("Box"), (Objects{b3}));

    // Deleted objects are still there to read: their values stay, their links are cut.
    EXPECT_EQ(s1->stringValue("label"), "S1");
    EXPECT_EQ(i3->stringValue("title"), "I3");
    EXPECT_EQ(s1->toMany("boxes"), Objects{});
    EXPECT_EQ(s1->toOne("front"), nullptr);
    EXPECT_EQ(i1->toOne("box"), nullptr);
}

TEST_F(DeletionTest, ChildrenPrepareForDeletionWhileStillLinked) {
    std::vector<std::string> seen;
    for (const char* entry : {"prepareForDeletion Item#6", "prepareForDeletion Box#3"}) {
        log.actions[entry] = [&](ManagedObject& o) {
            ManagedObject* owner = o.entity().name() == "Item" ? o.toOne("box") : o.toOne("shelf");
            seen.push_back(toy::name(&o) + " in " + toy::name(owner));
        };
    }
    step([&] { context->deleteObject(s1); });
    EXPECT_EQ(seen, (std::vector<std::string>{"Box#3 in Shelf#1", "Item#6 in Box#3"}));
}

// Like a bar whose deletion removes its line when it was the line's only bar: the hook deletes the owner,
// whose cascade reaches the object being deleted, and processes pending changes in the middle.
TEST_F(DeletionTest, PrepareForDeletionRunsOnceEvenWhenItDeletesOthers) {
    log.actions["prepareForDeletion Box#5"] = [&](ManagedObject& box) {
        ManagedObject* shelf = box.toOne("shelf");
        if (shelf != nullptr && shelf->toManyCount("boxes") == 1) {
            context->deleteObject(shelf);
            context->processPendingChanges();
        }
        context->deleteObject(&box); // deleting itself again from inside is harmless
    };
    step([&] {
        context->deleteObject(b3);
        context->deleteObject(b3);
        context->processPendingChanges();
        context->deleteObject(b3);
    });

    EXPECT_TRUE(b3->isDeleted());
    EXPECT_TRUE(s2->isDeleted());
    EXPECT_EQ(log.count("prepareForDeletion Box#5"), 1);
    EXPECT_EQ(log.count("prepareForDeletion Shelf#2"), 1);
    EXPECT_EQ(log.count("willTurnIntoFault Box#5"), 1);
    EXPECT_EQ(log.count("willTurnIntoFault Shelf#2"), 1);
    EXPECT_EQ(t2->toMany("shelves"), (Objects{s1}));
    EXPECT_EQ(b3->stringValue("name"), "B3");
    EXPECT_EQ(context->fetchObjects("Shelf"), (Objects{s1}));

    undo().undo();
    EXPECT_FALSE(b3->isDeleted());
    EXPECT_EQ(s2->toMany("boxes"), (Objects{b3}));
    EXPECT_EQ(t2->toMany("shelves"), (Objects{s1, s2}));
}

TEST_F(DeletionTest, DeletedObjectsTurnIntoFaultsWhenPendingChangesAreProcessed) {
    int processedInside = 0;
    log.actions["willTurnIntoFault Item#6"] = [&](ManagedObject&) {
        context->processPendingChanges(); // re-entered from a hook
        ++processedInside;
    };
    undo().beginUndoGrouping();
    context->deleteObject(b1);
    EXPECT_EQ(log.count("willTurnIntoFault Box#3"), 0);
    EXPECT_FALSE(b1->isFault());

    context->processPendingChanges();
    context->processPendingChanges();
    for (const char* entry :
         {"willTurnIntoFault Box#3", "willTurnIntoFault Item#6", "willTurnIntoFault Item#7"}) {
        EXPECT_EQ(log.count(entry), 1) << entry;
    }
    EXPECT_EQ(processedInside, 1);
    EXPECT_TRUE(b1->isFault());
    EXPECT_EQ(log.count("willTurnIntoFault Box#4"), 0);
    undo().endUndoGrouping();
}

TEST_F(DeletionTest, ClosingTheOutermostUndoGroupProcessesPendingChanges) {
    undo().beginUndoGrouping();
    undo().beginUndoGrouping();
    context->deleteObject(b1);
    undo().endUndoGrouping();
    EXPECT_FALSE(b1->isFault()) << "an inner group ends no edit";
    undo().endUndoGrouping();
    EXPECT_TRUE(b1->isFault());
    EXPECT_EQ(log.count("willTurnIntoFault Item#6"), 1);
    // Undo and redo fault and wake objects themselves; redo leaves the object a fault again.
    undo().undo();
    EXPECT_FALSE(b1->isFault());
    undo().redo();
    EXPECT_TRUE(b1->isFault());
}

TEST_F(DeletionTest, DestroyingTheContextFaultsEveryObjectOnce) {
    step([&] { context->deleteObject(i1); });
    context->processPendingChanges();
    context.reset();
    EXPECT_EQ(log.count("willTurnIntoFault Item#6"), 1);
    EXPECT_EQ(log.count("willTurnIntoFault Shelf#1"), 1);
    EXPECT_EQ(log.count("willTurnIntoFault FragileItem#8"), 1);
}
