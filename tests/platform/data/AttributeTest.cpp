#include "GraphFixture.h"

using platform::Bytes;
using platform::Value;

class AttributeTest : public GraphFixture {};

TEST_F(AttributeTest, ValuesAreStoredAsTheAttributeTypeStoresThem) {
    struct Case {
        const char* key;
        Value written;
        const char* stored;
    };
    const std::vector<Case> cases = {
        {"capacity", 70000, "4464"}, // 16 bits wrap
        {"capacity", -3, "-3"},
        {"count", std::int64_t{1} << 31, "-2147483648"},
        {"count", 3.9, "3"}, // truncated toward zero
        {"count", -3.9, "-3"},
        {"serial", std::uint64_t{1} << 40, "1099511627776"},
        {"serial", 1e300, "9223372036854775807"}, // clamped, not undefined
        {"open", 2, "YES"},
        {"open", 0.0, "NO"},
        {"ratio", 0.1, "0.10000000149011612"}, // single precision
        {"ratio", 130.1, "130.10000610351562"},
        {"weight", 0.1, "0.10000000000000001"},
        {"weight", 7, "7"},
        {"label", "a \"b\"\n", "\"a \\\"b\\\"\\x0a\""},
        {"photo", Bytes{0x00, 0xff}, "<00ff>"},
        {"extra", Bytes{0x2a}, "<2a>"},
        {"label", Value(), "-"},
    };
    platform::ManagedObject* shelf = make("Shelf");
    for (const Case& c : cases) {
        step([&] { shelf->setPrimitiveValue(c.key, c.written); });
        EXPECT_EQ(shelf->primitiveValue(c.key).description(), c.stored)
            << c.key << " " << c.written.description();
    }
    EXPECT_FLOAT_EQ(static_cast<float>(shelf->doubleValue("ratio")), 130.1f);
    EXPECT_EQ(shelf->doubleValue("ratio"), static_cast<double>(130.1f));
}

TEST_F(AttributeTest, NothingStoredDiffersFromZero) {
    platform::ManagedObject* shelf = make("Shelf");
    EXPECT_FALSE(shelf->hasValue("count"));
    EXPECT_EQ(shelf->intValue("count", 1280), 1280);
    EXPECT_EQ(shelf->doubleValue("ratio", 2.5), 2.5);
    EXPECT_TRUE(shelf->boolValue("open", true));

    step([&] {
        shelf->setPrimitiveValue("count", 0);
        shelf->setPrimitiveValue("open", false);
    });
    EXPECT_TRUE(shelf->hasValue("count"));
    EXPECT_EQ(shelf->intValue("count", 1280), 0);
    EXPECT_FALSE(shelf->boolValue("open", true));

    step([&] { shelf->setPrimitiveValue("count", Value()); }); // back to nothing is a change of its own
    EXPECT_FALSE(shelf->hasValue("count"));
    undo().undo();
    EXPECT_EQ(shelf->intValue("count", 1280), 0);
    undo().undo();
    EXPECT_FALSE(shelf->hasValue("count"));
}

TEST_F(AttributeTest, StoringAnEqualValueRegistersAndNotifiesNothing) {
    platform::ManagedObject* shelf = make("Shelf");
    step([&] {
        shelf->setPrimitiveValue("count", 5);
        shelf->setPrimitiveValue("ratio", 0.1);
        shelf->setPrimitiveValue("label", "x");
    });
    const auto count = undo().changeCount();
    int notices = 0;
    shelf->addObserver("count", [&](const platform::Change&) { ++notices; });

    step([&] {
        shelf->setPrimitiveValue("count", 5);
        shelf->setPrimitiveValue("count", 5.0);                     // the same number as another kind
        shelf->setPrimitiveValue("ratio", static_cast<float>(0.1)); // equal once rounded
        shelf->setPrimitiveValue("ratio", 0.100000001);             // rounds to the same float
        shelf->setValue("count", 5);
        shelf->setValue("label", std::string("x"));
    });

    EXPECT_EQ(undo().changeCount(), count);
    EXPECT_EQ(notices, 0);
    undo().undo();
    EXPECT_FALSE(shelf->hasValue("count"));
    EXPECT_FALSE(undo().canUndo());
}

TEST_F(AttributeTest, SetValueSendsNoticesAroundTheWriteAndObserversSeeTheNewValue) {
    platform::ManagedObject* shelf = make("Shelf");
    std::vector<std::string> changes;
    toy::ToyObject::changeLog = &changes;
    std::int64_t seen = -1;
    shelf->addObserver("count", [&](const platform::Change& c) {
        seen = c.object->intValue("count");
        changes.push_back("observer " + toy::describe(c));
    });
    step([&] { shelf->setValue("count", 9); });
    toy::ToyObject::changeLog = nullptr;
    EXPECT_EQ(seen, 9);
    EXPECT_EQ(changes, (std::vector<std::string>{
                           "will Shelf#1 count =", "did Shelf#1 count =", "observer Shelf#1 count ="}));
}
