#include "GraphFixture.h"

#include "platform/data/ManagedObjectModel.h"

using platform::AttributeType;
using platform::Cardinality;
using platform::EntityDescription;
using platform::ManagedObjectModel;

TEST(ManagedObjectModelTest, FaultyTablesAreRefused) {
    struct Case {
        const char* what;
        std::vector<EntityDescription> entities;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"unknown parent", {{.name = "A", .parentEntity = "Nope"}}, "unknown parent"},
        {"cyclic parents", {{.name = "A", .parentEntity = "B"}, {.name = "B", .parentEntity = "A"}}, "cycle"},
        {"entity named twice", {{.name = "A"}, {.name = "A"}}, "twice"},
        {"unknown destination",
         {{.name = "A", .relationships = {{"b", "B", Cardinality::ToOne, "a"}}}},
         "unknown destination"},
        {"missing inverse",
         {{.name = "A", .relationships = {{"b", "B", Cardinality::ToOne, "a"}}}, {.name = "B"}},
         "no inverse"},
        {"inverse pointing elsewhere",
         {{.name = "A",
           .relationships = {{"b", "B", Cardinality::ToOne, "a"}, {"c", "B", Cardinality::ToOne, "x"}}},
          {.name = "B",
           .relationships = {{"a", "A", Cardinality::ToMany, "c"}, {"x", "A", Cardinality::ToOne, "c"}}}},
         "does not point back"},
        {"own inverse",
         {{.name = "A", .relationships = {{"twin", "A", Cardinality::ToOne, "twin"}}}},
         "own inverse"},
        {"key used twice",
         {{.name = "A",
           .attributes = {{"x", AttributeType::Integer64}},
           .relationships = {{"x", "A", Cardinality::ToOne, "y"}, {"y", "A", Cardinality::ToOne, "x"}}}},
         "twice"},
        {"inherited key declared again",
         {{.name = "A", .attributes = {{"x", AttributeType::Integer64}}},
          {.name = "B", .parentEntity = "A", .attributes = {{"x", AttributeType::String}}}},
         "twice"},
    };
    for (const Case& c : cases) {
        ManagedObjectModel model;
        for (const EntityDescription& e : c.entities) {
            model.addEntity(e);
        }
        std::string error;
        EXPECT_FALSE(model.finalize(&error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
        EXPECT_FALSE(model.isFinalized()) << c.what;
    }
}

TEST(ManagedObjectModelTest, SubEntitiesInheritPropertiesFirstAndInTheirParentsOrder) {
    const auto model = GraphFixture::model();
    const platform::Entity* fragile = model->entityNamed("FragileItem");
    ASSERT_NE(fragile, nullptr);
    EXPECT_EQ(fragile->parent(), model->entityNamed("Item"));
    std::vector<std::string> keys;
    for (const auto& a : fragile->attributes()) {
        keys.push_back(a.name);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"title", "weight", "padding"}));
    EXPECT_EQ(fragile->relationshipIndex("box"), 0);
    EXPECT_TRUE(fragile->isKindOfEntity(*model->entityNamed("Item")));
    EXPECT_FALSE(model->entityNamed("Item")->isKindOfEntity(*fragile));
}

class InsertionTest : public GraphFixture {};

TEST_F(InsertionTest, ObjectsAreMadeAsTheClassOfTheirEntityAndFetchedWithSubEntities) {
    undo().setGroupsByEvent(true); // everything below is one event's change
    platform::ManagedObject* item = insert("Item");
    platform::ManagedObject* fragile = insert("FragileItem");
    platform::ManagedObject* gone = insert("Item");
    platform::ManagedObject* tag = insert("Tag");
    context->deleteObject(gone);

    EXPECT_NE(item->as<toy::Item>(), nullptr);
    EXPECT_EQ(item->as<toy::FragileItem>(), nullptr);
    EXPECT_NE(fragile->as<toy::FragileItem>(), nullptr);
    EXPECT_NE(context->insertNewObject<toy::Shelf>("Shelf"), nullptr);
    EXPECT_EQ(context->insertNewObject<toy::Shelf>("Box"), nullptr);
    EXPECT_EQ(context->insertNewObject("Nothing"), nullptr);
    EXPECT_EQ(typeid(*tag), typeid(platform::ManagedObject));

    EXPECT_EQ(context->fetchObjects("Item"), (std::vector<platform::ManagedObject*>{item, fragile}));
    EXPECT_EQ(context->fetchObjects("FragileItem"), (std::vector<platform::ManagedObject*>{fragile}));
    EXPECT_TRUE(context->fetchObjects("Nothing").empty());
    EXPECT_LT(item->objectID(), fragile->objectID());
}

TEST_F(InsertionTest, InsertedAndFetchedObjectsGetTheirHooksInOrder) {
    undo().setGroupsByEvent(true);
    platform::ManagedObject* inserted = insert("Box");
    platform::ManagedObject* fetched = context->insertFetchedObject("Box");
    fetched->setPrimitiveValue("name", "from file");
    EXPECT_EQ(log.entries, (std::vector<std::string>{"didInitialize Box#1", "awakeFromInsert Box#1",
                                                     "didInitialize Box#2"}));

    std::string nameAtAwake;
    log.actions["awakeFromFetch Box#2"] = [&](platform::ManagedObject& o) {
        nameAtAwake = o.stringValue("name");
    };
    context->awakeFetchedObjects();
    context->awakeFetchedObjects();
    EXPECT_EQ(log.count("awakeFromFetch Box#2"), 1);
    EXPECT_EQ(log.count("awakeFromInsert Box#2"), 0);
    EXPECT_EQ(nameAtAwake, "from file");
    EXPECT_EQ(inserted->objectID(), 1u);
}
