#include "GraphFixture.h"

using platform::ManagedObject;
using Notification = platform::UndoManager::Notification;

class UndoGraphTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        buildShelves();
    }
};

// Every kind of change, undone and redone: the dump of the whole graph (values, links, member order)
// equals the one before after undo and the one after after redo, twice over.
TEST_F(UndoGraphTest, ChangesAreUndoneAndRedoneExactly) {
    struct Case {
        const char* what;
        std::function<void()> change;
    };
    const std::vector<Case> cases = {
        {"attributes",
         [&] {
             s1->setValue("label", "X");
             s1->setPrimitiveValue("count", platform::Value());
             s1->setPrimitiveValue("ratio", 0.7);
             b1->setValue("size", 7);
             i3->setValue("padding", 0.3);
             s1->setValue("label", "Y");
         }},
        {"insertions",
         [&] {
             ManagedObject* box = insert("Box");
             box->setValue("name", "new");
             box->setToOne("shelf", s2);
             ManagedObject* item = insert("FragileItem");
             item->setToOne("box", box);
             ManagedObject* tag = insert("Tag");
             s2->addToMany("tags", tag);
             s1->addToMany("tags", tag);
         }},
        {"moves",
         [&] {
             i1->setToOne("box", b2);
             b3->setToOne("shelf", s1);
             b1->addToMany("items", i3);
         }},
        {"one-to-one taken from its partner", [&] { s2->setToOne("front", b2); }},
        {"member removed from the middle", [&] { b1->removeFromMany("items", i1); }},
        {"many-to-many unlinked", [&] { t2->removeFromMany("shelves", s1); }},
        {"cascade delete", [&] { context->deleteObject(s1); }},
        {"nullify delete", [&] { context->deleteObject(t2); }},
        {"first member deleted", [&] { context->deleteObject(i1); }},
        {"insert then delete",
         [&] {
             ManagedObject* item = insert("Item");
             item->setToOne("box", b3);
             b3->setValue("size", 1);
             context->deleteObject(item);
             context->processPendingChanges();
         }},
        {"deleted object changed",
         [&] {
             context->deleteObject(b2);
             b2->setValue("name", "changed after deletion");
         }},
        {"delete, then the same again in one step",
         [&] {
             context->deleteObject(b1);
             context->processPendingChanges();
             context->deleteObject(s1);
             i3->setValue("title", "kept"); // deleted with its box, still writable
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = toy::dump(*context);
        step(c.change);
        const std::string after = toy::dump(*context);
        ASSERT_NE(before, after);
        for (int round = 0; round < 2; ++round) {
            undo().undo();
            EXPECT_EQ(toy::dump(*context), before);
            undo().redo();
            EXPECT_EQ(toy::dump(*context), after);
        }
        undo().undo();
        ASSERT_EQ(toy::dump(*context), before);
    }
}

TEST_F(UndoGraphTest, UndoRestoresStoredValuesWithoutTheEntitySetters) {
    auto* shelf = s1->as<toy::Shelf>();
    step([&] { shelf->setLabel("new"); });
    EXPECT_EQ(toy::Shelf::setterCalls, 1);

    undo().undo();
    EXPECT_EQ(toy::Shelf::setterCalls, 1);
    EXPECT_EQ(shelf->stringValue("label"), "S1");
    EXPECT_EQ(shelf->label(), "S1"); // the cache, re-read in awakeFromSnapshotEvents
    undo().redo();
    EXPECT_EQ(toy::Shelf::setterCalls, 1);
    EXPECT_EQ(shelf->label(), "new");
}

TEST_F(UndoGraphTest, ObserversSeeTheUndoAndRedoFlagsDuringTheChange) {
    std::vector<std::string> seen;
    auto flags = [&] {
        return std::string(undo().isUndoing() ? " undoing" : "") + (undo().isRedoing() ? " redoing" : "");
    };
    s1->addObserver("label", [&](const platform::Change& c) {
        seen.push_back(c.object->stringValue("label") + flags());
    });
    b1->addObserver("items", [&](const platform::Change& c) { seen.push_back(toy::describe(c) + flags()); });
    step([&] {
        s1->setValue("label", "X");
        i1->setToOne("box", b2);
    });
    undo().undo();
    undo().redo();
    EXPECT_EQ(seen, (std::vector<std::string>{"X", "Box#3 items -[Item#6]", "Box#3 items +[Item#6] undoing",
                                              "S1 undoing", "X redoing", "Box#3 items -[Item#6] redoing"}));
}

// After an undo every touched object hears awakeFromSnapshotEvents once, when every value is back; objects
// the undo did not touch hear nothing, and the will/did notifications come first and last.
TEST_F(UndoGraphTest, AwakeFromSnapshotEventsFollowsOncePerTouchedObjectAfterAllValuesAreBack) {
    std::vector<std::string> changes;
    step([&] {
        s1->setValue("label", "X");
        s1->setValue("count", 4);
        b1->setValue("size", 1);
        i1->setToOne("box", b2);
        b1->setValue("size", 2);
    });
    const std::string afterChange = toy::dump(*context);
    undo().undo();
    const std::string beforeChange = toy::dump(*context);
    undo().redo();
    log.entries.clear();
    log.counts.clear();

    std::vector<std::string> dumpsAtAwake;
    for (const char* entry :
         {"awakeFromSnapshotEvents+changed Shelf#1", "awakeFromSnapshotEvents+changed Box#3",
          "awakeFromSnapshotEvents+changed Box#4", "awakeFromSnapshotEvents+changed Item#6"}) {
        log.actions[entry] = [&](ManagedObject&) { dumpsAtAwake.push_back(toy::dump(*context)); };
    }
    undo().addObserver(Notification::WillUndo, [&] { log.entries.push_back("willUndo"); });
    undo().addObserver(Notification::DidUndo, [&] { log.entries.push_back("didUndo"); });
    toy::ToyObject::changeLog = &log.entries;
    undo().undo();
    toy::ToyObject::changeLog = nullptr;

    std::vector<std::string> awakes;
    for (const std::string& e : log.entries) {
        if (e.starts_with("awake")) {
            awakes.push_back(e);
        }
    }
    EXPECT_EQ(awakes, (std::vector<std::string>{"awakeFromSnapshotEvents+changed Box#3",
                                                "awakeFromSnapshotEvents+changed Item#6",
                                                "awakeFromSnapshotEvents+changed Box#4",
                                                "awakeFromSnapshotEvents+changed Shelf#1"}));
    EXPECT_EQ(dumpsAtAwake, std::vector<std::string>(4, beforeChange));
    ASSERT_FALSE(log.entries.empty());
    EXPECT_EQ(log.entries.front(), "willUndo");
    EXPECT_EQ(log.entries.back(), "didUndo");
    const auto firstAwake = std::find(log.entries.begin(), log.entries.end(), awakes.front());
    EXPECT_TRUE(std::none_of(firstAwake, log.entries.end(), [](const std::string& e) {
        return e.starts_with("will ") || e.starts_with("did ");
    })) << "a value changed after the first awake";
    EXPECT_NE(afterChange, beforeChange);
}

TEST_F(UndoGraphTest, UndoOfAnInsertionFaultsTheObjectAndRedoBringsItBack) {
    ManagedObject* box = nullptr;
    step([&] {
        box = insert("Box");
        box->setToOne("shelf", s2);
    });
    undo().undo();
    EXPECT_TRUE(box->isDeleted());
    EXPECT_TRUE(box->isFault());
    EXPECT_EQ(log.count("willTurnIntoFault Box#11"), 1);
    EXPECT_EQ(log.count("awakeFromSnapshotEvents+changed Box#11"), 0);
    EXPECT_EQ(context->fetchObjects("Box").size(), 3u);

    undo().redo();
    EXPECT_FALSE(box->isDeleted());
    EXPECT_FALSE(box->isFault());
    EXPECT_EQ(log.count("awakeFromSnapshotEvents+reattached+changed Box#11"), 1);
    EXPECT_EQ(s2->toMany("boxes"), (std::vector<ManagedObject*>{b3, box}));
    EXPECT_EQ(log.count("awakeFromInsert Box#11"), 1);
}

TEST_F(UndoGraphTest, UndoOfADeletionBringsTheObjectsBackBeforeTheirLinks) {
    std::vector<std::string> seen;
    b1->addObserver("items", [&](const platform::Change& c) {
        seen.push_back(toy::describe(c) +
                       (b1->isDeleted() || c.objects[0]->isDeleted() ? " dead" : " alive"));
    });
    step([&] { context->deleteObject(b1); });
    context->processPendingChanges();
    seen.clear();
    undo().undo();
    EXPECT_EQ(seen, (std::vector<std::string>{"Box#3 items +[Item#7] alive", "Box#3 items +[Item#6] alive"}));
    EXPECT_EQ(b1->toMany("items"), (std::vector<ManagedObject*>{i1, i2}));
    EXPECT_EQ(log.count("awakeFromSnapshotEvents+reattached+changed Box#3"), 1);
    EXPECT_EQ(log.count("awakeFromSnapshotEvents+reattached+changed Item#6"), 1);
}

TEST_F(UndoGraphTest, DisabledRegistrationLeavesNothingToUndo) {
    undo().disableUndoRegistration();
    ManagedObject* box = insert("Box");
    box->setToOne("shelf", s1);
    context->deleteObject(i1);
    s1->setValue("label", "silent");
    undo().enableUndoRegistration();
    EXPECT_FALSE(undo().canUndo());
    EXPECT_EQ(undo().changeCount(), 0u);
}
