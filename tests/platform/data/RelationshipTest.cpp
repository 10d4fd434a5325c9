#include "GraphFixture.h"

using platform::ManagedObject;
using Objects = std::vector<ManagedObject*>;

class RelationshipTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        buildShelves();
    }
};

TEST_F(RelationshipTest, BothSidesChangeAtOnce) {
    step([&] { i1->setToOne("box", b2); });
    EXPECT_EQ(b1->toMany("items"), (Objects{i2}));
    EXPECT_EQ(b2->toMany("items"), (Objects{i3, i1}));

    step([&] { b1->addToMany("items", i3); });
    EXPECT_EQ(i3->toOne("box"), b1);
    EXPECT_EQ(b2->toMany("items"), (Objects{i1}));

    step([&] { b1->removeFromMany("items", i2); });
    EXPECT_EQ(i2->toOne("box"), nullptr);
    EXPECT_EQ(b1->toMany("items"), (Objects{i3}));

    step([&] { t1->addToMany("shelves", s2); }); // many-to-many
    EXPECT_EQ(s2->toMany("tags"), (Objects{t2, t1}));
    EXPECT_TRUE(t1->toManyContains("shelves", s2));
    step([&] { s1->removeFromMany("tags", t2); });
    EXPECT_EQ(t2->toMany("shelves"), (Objects{s2}));
}

TEST_F(RelationshipTest, ToManyKeepsInsertionOrderAndIgnoresMembersAlreadyThere) {
    std::vector<ManagedObject*> added;
    step([&] {
        for (int i = 0; i < 5; ++i) {
            ManagedObject* item = insert("Item");
            added.push_back(item);
            b3->addToMany("items", item);
        }
        b3->addToMany("items", added[2]);
        added[0]->setToOne("box", b3);
    });
    EXPECT_EQ(b3->toMany("items"), added);
    EXPECT_EQ(b3->toManyCount("items"), 5u);
    EXPECT_EQ(b3->toManyAs<toy::Item>("items").size(), 5u);
}

TEST_F(RelationshipTest, OneToOneTakesTheObjectFromItsPartner) {
    step([&] { s2->setToOne("front", b2); });
    EXPECT_EQ(s1->toOne("front"), nullptr);
    EXPECT_EQ(b2->toOne("frontOf"), s2);
    step([&] { b1->setToOne("frontOf", s2); });
    EXPECT_EQ(b2->toOne("frontOf"), nullptr);
    EXPECT_EQ(s2->toOne<toy::Box>("front"), b1);
}

// Each change of a to-many relationship reaches its observers once, with what changed.
TEST_F(RelationshipTest, MembershipObserversFireOncePerChange) {
    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> seen; // by the observer of B1's items
    };
    ManagedObject* extra = make("Item");
    const std::vector<Case> cases = {
        {"to-one side joins", [&] { extra->setToOne("box", b1); }, {"Box#3 items +[Item#11]"}},
        {"to-many side joins", [&] { b1->addToMany("items", i3); }, {"Box#3 items +[FragileItem#8]"}},
        {"already a member", [&] { b1->addToMany("items", i1); }, {}},
        {"moves away", [&] { i1->setToOne("box", b2); }, {"Box#3 items -[Item#6]"}},
        {"removed", [&] { b1->removeFromMany("items", i2); }, {"Box#3 items -[Item#7]"}},
        {"not a member", [&] { b1->removeFromMany("items", i2); }, {}},
        {"attribute of a member", [&] { i3->setValue("title", "x"); }, {}},
        {"member deleted", [&] { context->deleteObject(extra); }, {"Box#3 items -[Item#11]"}},
        {"undone", [&] { undo().undo(); }, {"Box#3 items +[Item#11]"}},
        {"redone", [&] { undo().redo(); }, {"Box#3 items -[Item#11]"}},
        {"owner deleted", [&] { context->deleteObject(b1); }, {"Box#3 items -[FragileItem#8]"}},
    };
    std::vector<std::string> seen;
    b1->addObserver("items", [&](const platform::Change& c) { seen.push_back(toy::describe(c)); });
    for (const Case& c : cases) {
        seen.clear();
        if (std::string(c.what) == "undone" || std::string(c.what) == "redone") {
            c.change();
        } else {
            step(c.change);
        }
        EXPECT_EQ(seen, c.seen) << c.what;
    }
}

TEST_F(RelationshipTest, ObserversAreRemovedExplicitlyAndMayChangeTheListWhileCalled) {
    std::vector<std::string> calls;
    platform::ObservationToken second;
    platform::ObservationToken first = b1->addObserver("name", [&](const platform::Change&) {
        calls.push_back("first");
        b1->removeObserver(second);
        b1->addObserver("name", [&](const platform::Change&) { calls.push_back("added"); });
    });
    second = b1->addObserver("name", [&](const platform::Change&) { calls.push_back("second"); });
    b1->addObserver("size", [&](const platform::Change&) { calls.push_back("size"); });

    step([&] { b1->setValue("name", "x"); });
    EXPECT_EQ(calls, (std::vector<std::string>{"first"}));
    b1->removeObserver(first);
    calls.clear();
    step([&] { b1->setValue("name", "y"); });
    EXPECT_EQ(calls, (std::vector<std::string>{"added"}));
}

TEST_F(RelationshipTest, ObserversSeeTheWholeChangeDone) {
    // Moving an item: when any observer runs, every side already shows the move.
    std::vector<std::string> seen;
    auto check = [&](const platform::Change& c) {
        seen.push_back(toy::describe(c) + (i1->toOne("box") == b2 && !b1->toManyContains("items", i1) &&
                                                   b2->toManyContains("items", i1)
                                               ? " done"
                                               : " partial"));
    };
    i1->addObserver("box", check);
    b1->addObserver("items", check);
    b2->addObserver("items", check);
    step([&] { i1->setToOne("box", b2); });
    EXPECT_EQ(seen, (std::vector<std::string>{"Item#6 box = done", "Box#3 items -[Item#6] done",
                                              "Box#4 items +[Item#6] done"}));
}
