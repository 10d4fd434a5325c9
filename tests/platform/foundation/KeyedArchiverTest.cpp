#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

#include "platform/foundation/ByteStream.h"
#include "platform/foundation/KeyedArchiveFormat.h"

#include "model/TOVUnitTypes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace platform;

// A leaf holding one value of every kind.
class Shape : public Coding {
public:
    std::int64_t integer = 0;
    std::uint64_t timing = 0;
    int small = 0;
    float single = 0;
    double real = 0;
    bool flag = false;
    std::optional<QString> name;
    Point point;
    Size size;
    Rect frame;
    std::optional<Color> color;
    std::optional<AttributedString> text;

    std::string_view archiveClassName() const override { return "Shape"; }
    void encodeWithCoder(KeyedArchiver& c) const override {
        c.encodeIntegerForKey(integer, "integer");
        c.encodeIntegerForKey(static_cast<std::int64_t>(timing), "timing");
        c.encodeIntForKey(small, "small");
        c.encodeFloatForKey(single, "single");
        c.encodeDoubleForKey(real, "real");
        c.encodeBoolForKey(flag, "flag");
        if (name) {
            c.encodeStringForKey(*name, "name");
        }
        c.encodePointForKey(point, "point");
        c.encodeSizeForKey(size, "size");
        c.encodeRectForKey(frame, "frame");
        if (color) {
            c.encodeColorForKey(*color, "color");
        }
        if (text) {
            c.encodeAttributedStringForKey(*text, "text");
        }
    }
    void initWithCoder(KeyedUnarchiver& c) override {
        integer = c.decodeIntegerForKey("integer");
        timing = static_cast<std::uint64_t>(c.decodeIntegerForKey("timing"));
        small = c.decodeIntForKey("small");
        single = c.decodeFloatForKey("single");
        real = c.decodeDoubleForKey("real");
        flag = c.decodeBoolForKey("flag");
        name = c.decodeStringForKey("name");
        point = c.decodePointForKey("point");
        size = c.decodeSizeForKey("size");
        frame = c.decodeRectForKey("frame");
        color = c.decodeColorForKey("color");
        text = c.decodeAttributedStringForKey("text");
    }
    bool operator==(const Shape& o) const {
        return integer == o.integer && timing == o.timing && small == o.small && single == o.single &&
               real == o.real && flag == o.flag && name == o.name && point == o.point && size == o.size &&
               frame == o.frame && color == o.color && text == o.text;
    }
};

// A base class with its own key, as the snapshot classes have.
class Node : public Coding {
public:
    int level = 0;
    std::string_view archiveClassName() const override { return "Node"; }
    void encodeWithCoder(KeyedArchiver& c) const override { c.encodeIntForKey(level, "level"); }
    void initWithCoder(KeyedUnarchiver& c) override { level = c.decodeIntForKey("level"); }
};

class Group : public Node {
public:
    std::unique_ptr<Shape> main;
    std::optional<std::vector<std::unique_ptr<Node>>> children;
    std::string_view archiveClassName() const override { return "Group"; }
    void encodeWithCoder(KeyedArchiver& c) const override {
        Node::encodeWithCoder(c);
        c.encodeObjectForKey(main.get(), "main");
        if (children) {
            c.encodeArrayOfObjectsForKey(*children, "children");
        }
    }
    void initWithCoder(KeyedUnarchiver& c) override {
        Node::initWithCoder(c);
        main = c.decodeObjectOfClassForKey<Shape>("main");
        children = c.decodeArrayOfObjectsOfClassForKey<Node>("children");
    }
};

// Writes no keys at all under the class name of Shape.
class KeylessShape : public Coding {
public:
    std::string_view archiveClassName() const override { return "Shape"; }
    void encodeWithCoder(KeyedArchiver&) const override {}
    void initWithCoder(KeyedUnarchiver&) override {}
};

class KeyedArchiverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        KeyedUnarchiver::registerClass<Shape>("Shape");
        KeyedUnarchiver::registerClass<Node>("Node");
        KeyedUnarchiver::registerClass<Group>("Group");
    }

    static Shape fullShape() {
        Shape s;
        s.integer = std::numeric_limits<std::int64_t>::min();
        s.timing = std::numeric_limits<std::uint64_t>::max() - 5; // unsigned fields travel as integers
        s.small = -7;
        s.single = 130.25f;
        s.real = 0.1;
        s.flag = true;
        s.name = QString::fromUtf8("Dal Segno \xE2\x80\x93 ß");
        s.point = Point{-1.5, 2};
        s.size = Size{23.6, 1e-7};
        s.frame = Rect(10, -20, 30.5, 40);
        s.color = Color::orange();
        s.text = AttributedString("Intro", TextAttributes{TextFont{"LucidaGrande", 14}, Color::red(), 1, 0});
        return s;
    }

    static std::unique_ptr<Group> tree() {
        auto g = std::make_unique<Group>();
        g->level = 1;
        g->main = std::make_unique<Shape>(fullShape());
        g->children.emplace();
        auto inner = std::make_unique<Group>();
        inner->level = 2;
        inner->children.emplace(); // an empty array is kept apart from no array
        g->children->push_back(std::move(inner));
        g->children->push_back(nullptr);
        auto leaf = std::make_unique<Node>();
        leaf->level = 3;
        g->children->push_back(std::move(leaf));
        return g;
    }
};

TEST_F(KeyedArchiverTest, RoundTripsEveryKindOfValue) {
    const auto data = KeyedArchiver::archivedDataWithRootObject(*tree());
    const auto back = KeyedUnarchiver::unarchivedObjectOfClass<Group>(data);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->level, 1);
    ASSERT_NE(back->main, nullptr);
    EXPECT_TRUE(*back->main == fullShape());
    ASSERT_TRUE(back->children.has_value());
    ASSERT_EQ(back->children->size(), 3u);
    const auto* inner = dynamic_cast<const Group*>((*back->children)[0].get());
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->level, 2);
    EXPECT_EQ(inner->main, nullptr);
    ASSERT_TRUE(inner->children.has_value());
    EXPECT_TRUE(inner->children->empty());
    EXPECT_EQ((*back->children)[1], nullptr);
    EXPECT_EQ((*back->children)[2]->level, 3);
    EXPECT_EQ(dynamic_cast<const Group*>((*back->children)[2].get()), nullptr);
}

TEST_F(KeyedArchiverTest, MissingKeysReadAsZeroValues) {
    KeyedArchiver archiver;
    archiver.encodeObjectForKey(nullptr, "nothing");
    const auto data = archiver.encodedData();
    KeyedUnarchiver u(data);
    EXPECT_TRUE(u.containsValueForKey("nothing"));
    EXPECT_FALSE(u.containsValueForKey("absent"));
    EXPECT_EQ(u.decodeIntegerForKey("absent"), 0);
    EXPECT_EQ(u.decodeFloatForKey("absent"), 0.0f);
    EXPECT_FALSE(u.decodeBoolForKey("absent"));
    EXPECT_EQ(u.decodeRectForKey("absent"), Rect());
    EXPECT_EQ(u.decodeSizeForKey("absent"), Size());
    EXPECT_FALSE(u.decodeStringForKey("absent").has_value());
    EXPECT_FALSE(u.decodeAttributedStringForKey("absent").has_value());
    EXPECT_FALSE(u.decodeColorForKey("absent").has_value());
    EXPECT_EQ(u.decodeObjectOfClassForKey<Shape>("absent"), nullptr);
    EXPECT_FALSE(u.decodeArrayOfObjectsOfClassForKey<Shape>("absent").has_value());
    // Nil reads as no object, no string and no array.
    EXPECT_EQ(u.decodeObjectOfClassForKey<Shape>("nothing"), nullptr);
    EXPECT_FALSE(u.decodeStringForKey("nothing").has_value());
    EXPECT_FALSE(u.decodeArrayOfObjectsOfClassForKey<Shape>("nothing").has_value());
    EXPECT_FALSE(u.failed());

    // An object read from an archive written without its keys comes out zero.
    const auto shape = KeyedUnarchiver::unarchivedObjectOfClass<Shape>(
        KeyedArchiver::archivedDataWithRootObject(KeylessShape()));
    ASSERT_NE(shape, nullptr);
    EXPECT_TRUE(*shape == Shape());
}

TEST_F(KeyedArchiverTest, NumbersConvertBetweenKinds) {
    KeyedArchiver a;
    a.encodeIntegerForKey(7, "int");
    a.encodeDoubleForKey(-2.75, "double");
    a.encodeFloatForKey(0.1f, "float");
    a.encodeBoolForKey(true, "bool");
    a.encodeDoubleForKey(1e300, "huge");
    a.encodeIntegerForKey(std::int64_t{1} << 40, "wide");
    a.encodeDoubleForKey(std::nan(""), "nan");
    const auto data = a.encodedData();

    KeyedUnarchiver u(data);
    EXPECT_EQ(u.decodeDoubleForKey("int"), 7.0);
    EXPECT_EQ(u.decodeIntegerForKey("double"), -2); // truncated
    EXPECT_EQ(u.decodeFloatForKey("float"), 0.1f);
    EXPECT_EQ(u.decodeDoubleForKey("float"), double(0.1f));
    EXPECT_EQ(u.decodeIntForKey("bool"), 1);
    EXPECT_TRUE(u.decodeBoolForKey("int"));
    EXPECT_EQ(u.decodeFloatForKey("huge"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(u.decodeIntegerForKey("wide"), std::int64_t{1} << 40);
    EXPECT_FALSE(u.failed());

    // Values that do not fit the integer asked for fail instead of wrapping.
    for (const char* key : {"huge", "nan"}) {
        KeyedUnarchiver v(data);
        EXPECT_EQ(v.decodeIntegerForKey(key), 0);
        EXPECT_TRUE(v.failed()) << key;
    }
    KeyedUnarchiver w(data);
    EXPECT_EQ(w.decodeIntForKey("wide"), 0);
    EXPECT_TRUE(w.failed());
}

TEST_F(KeyedArchiverTest, ValuesOfTheWrongKindFail) {
    KeyedArchiver a;
    a.encodeStringForKey("text", "string");
    a.encodeRectForKey(Rect(1, 2, 3, 4), "rect");
    a.encodeIntegerForKey(5, "number");
    Shape shape;
    a.encodeObjectForKey(&shape, "shape");
    const auto data = a.encodedData();

    using Read = std::function<void(KeyedUnarchiver&)>;
    const std::pair<const char*, Read> wrong[] = {
        {"string as integer", [](KeyedUnarchiver& u) { u.decodeIntegerForKey("string"); }},
        {"rect as size", [](KeyedUnarchiver& u) { u.decodeSizeForKey("rect"); }},
        {"number as string", [](KeyedUnarchiver& u) { u.decodeStringForKey("number"); }},
        {"number as object", [](KeyedUnarchiver& u) { u.decodeObjectOfClassForKey<Shape>("number"); }},
        {"object as array", [](KeyedUnarchiver& u) { u.decodeArrayOfObjectsOfClassForKey<Shape>("shape"); }},
        {"shape as group", [](KeyedUnarchiver& u) { u.decodeObjectOfClassForKey<Group>("shape"); }},
        {"string as formatted text", [](KeyedUnarchiver& u) { u.decodeAttributedStringForKey("string"); }},
        {"rect as colour", [](KeyedUnarchiver& u) { u.decodeColorForKey("rect"); }},
    };
    for (const auto& [what, read] : wrong) {
        KeyedUnarchiver u(data);
        read(u);
        EXPECT_TRUE(u.failed()) << what;
        // Once failed, everything reads as nothing.
        EXPECT_EQ(u.decodeIntegerForKey("number"), 0) << what;
        EXPECT_EQ(u.decodeObjectOfClassForKey<Shape>("shape"), nullptr) << what;
    }
    KeyedUnarchiver fine(data);
    EXPECT_NE(fine.decodeObjectOfClassForKey<Shape>("shape"), nullptr);
    EXPECT_NE(fine.decodeObjectOfClassForKey<Coding>("shape"), nullptr);
    EXPECT_FALSE(fine.failed());
}

class Unregistered : public Node {
public:
    std::string_view archiveClassName() const override { return "Unregistered"; }
};

TEST_F(KeyedArchiverTest, UnknownClassesFail) {
    Group g;
    g.children.emplace();
    g.children->push_back(std::make_unique<Unregistered>());
    const auto data = KeyedArchiver::archivedDataWithRootObject(g);
    KeyedUnarchiver u(data);
    EXPECT_EQ(u.decodeObjectOfClassForKey<Group>("root"), nullptr);
    EXPECT_TRUE(u.failed());
    EXPECT_NE(u.failureReason().find("Unregistered"), std::string::npos);
}

TEST_F(KeyedArchiverTest, RootConveniences) {
    // A palette item code, as the drag pasteboard carries it.
    constexpr std::int64_t kTripletOfEighths = TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter);
    const auto number = KeyedArchiver::archivedDataWithRootNumber(kTripletOfEighths);
    EXPECT_EQ(KeyedUnarchiver::unarchivedNumber(number), kTripletOfEighths);
    EXPECT_FALSE(KeyedUnarchiver::unarchivedColor(number).has_value());

    const auto white = KeyedArchiver::archivedDataWithRootColor(Color::white());
    EXPECT_EQ(KeyedUnarchiver::unarchivedColor(white), Color::white());
    EXPECT_FALSE(KeyedUnarchiver::unarchivedNumber(white).has_value());

    std::vector<std::unique_ptr<Shape>> shapes;
    shapes.push_back(std::make_unique<Shape>(fullShape()));
    shapes.push_back(std::make_unique<Shape>());
    const auto array = KeyedArchiver::archivedDataWithRootArray(shapes);
    const auto back = KeyedUnarchiver::unarchivedArrayOfObjectsOfClass<Shape>(array);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->size(), 2u);
    EXPECT_TRUE(*(*back)[0] == fullShape());
    EXPECT_TRUE(*(*back)[1] == Shape());
    EXPECT_FALSE(KeyedUnarchiver::unarchivedArrayOfObjectsOfClass<Group>(array).has_value());
    EXPECT_EQ(KeyedUnarchiver::unarchivedObjectOfClass<Shape>(array), nullptr);

    const std::vector<std::uint8_t> garbage = {'n', 'o', 't', ' ', 'a', 'n', ' ',
                                               'a', 'r', 'c', 'h', 'i', 'v', 'e'};
    EXPECT_FALSE(KeyedUnarchiver::unarchivedNumber(garbage).has_value());
    EXPECT_FALSE(KeyedUnarchiver::unarchivedNumber({}).has_value());
}

TEST_F(KeyedArchiverTest, RepeatedKeysReadTheirLastValue) {
    KeyedArchiver a;
    a.encodeIntegerForKey(1, "k");
    a.encodeIntegerForKey(2, "k");
    const auto data = a.encodedData();
    KeyedUnarchiver u(data);
    EXPECT_EQ(u.decodeIntegerForKey("k"), 2);
}

TEST_F(KeyedArchiverTest, TruncatedOrExtendedArchivesFail) {
    const auto good = KeyedArchiver::archivedDataWithRootObject(*tree());
    for (std::size_t n = 0; n < good.size(); ++n) {
        KeyedUnarchiver u(std::span(good.data(), n));
        EXPECT_TRUE(u.failed()) << n;
        EXPECT_EQ(u.decodeObjectOfClassForKey<Group>("root"), nullptr) << n;
    }
    auto longer = good;
    longer.push_back(0);
    EXPECT_EQ(KeyedUnarchiver::unarchivedObjectOfClass<Group>(longer), nullptr);
}

TEST_F(KeyedArchiverTest, DamagedBytesNeverCrash) {
    const auto good = KeyedArchiver::archivedDataWithRootObject(*tree());
    for (std::size_t i = 0; i < good.size(); ++i) {
        for (const std::uint8_t mask : {0x01, 0x02, 0x10, 0x80, 0xFF}) {
            auto bad = good;
            bad[i] ^= mask;
            // Whatever comes back is either nothing or a well-formed object.
            const auto g = KeyedUnarchiver::unarchivedObjectOfClass<Group>(bad);
            if (g && g->children) {
                EXPECT_LE(g->children->size(), good.size());
            }
        }
    }
}

// Hand-made archives: magic, strings, then the root object's pairs.
std::vector<std::uint8_t> archiveBytes(std::initializer_list<std::string_view> strings,
                                       const std::function<void(ByteWriter&)>& rootPairs,
                                       std::uint64_t pairCount) {
    ByteWriter w;
    w.writeBytes(keyed_archive::kMagic);
    w.writeVarint(strings.size());
    for (const std::string_view s : strings) {
        w.writeByteString(s);
    }
    w.writeByte(13); // object
    w.writeVarint(0);
    w.writeVarint(pairCount);
    rootPairs(w);
    return w.take();
}

TEST_F(KeyedArchiverTest, HostileArchivesFailCleanly) {
    // Counts far beyond the data fail before anything is allocated.
    const auto hugeArray = archiveBytes(
        {"", "root"},
        [](ByteWriter& w) {
            w.writeVarint(1);
            w.writeByte(12); // array
            w.writeVarint(std::uint64_t{1} << 60);
        },
        1);
    EXPECT_FALSE(KeyedUnarchiver::unarchivedArrayOfObjectsOfClass<Shape>(hugeArray).has_value());

    const auto hugeString = archiveBytes(
        {"", "root"},
        [](ByteWriter& w) {
            w.writeVarint(1);
            w.writeByte(6); // string
            w.writeVarint(std::uint64_t{1} << 62);
        },
        1);
    EXPECT_TRUE(KeyedUnarchiver(hugeString).failed());

    const auto hugePairs = archiveBytes(
        {"", "root"}, [](ByteWriter&) {}, std::uint64_t{1} << 40);
    EXPECT_TRUE(KeyedUnarchiver(hugePairs).failed());

    std::vector<std::uint8_t> hugeStringTable = {'T', 'O', 'V', 'K', 1, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F};
    EXPECT_TRUE(KeyedUnarchiver(hugeStringTable).failed());

    // A key or class index outside the string table.
    const auto badKey = archiveBytes(
        {""}, [](ByteWriter& w) { w.writeVarint(5), w.writeByte(0); }, 1);
    EXPECT_TRUE(KeyedUnarchiver(badKey).failed());
    const auto badClass = archiveBytes(
        {"", "root"},
        [](ByteWriter& w) {
            w.writeVarint(1);
            w.writeByte(13);
            w.writeVarint(9);
            w.writeVarint(0);
        },
        1);
    EXPECT_TRUE(KeyedUnarchiver(badClass).failed());

    // An unknown value kind, and an overlong varint.
    EXPECT_TRUE(
        KeyedUnarchiver(archiveBytes(
                            {"", "root"}, [](ByteWriter& w) { w.writeVarint(1), w.writeByte(99); }, 1))
            .failed());
    EXPECT_TRUE(KeyedUnarchiver(archiveBytes(
                                    {"", "root"},
                                    [](ByteWriter& w) {
                                        w.writeVarint(1);
                                        w.writeByte(1);
                                        for (int i = 0; i < 11; ++i) {
                                            w.writeByte(0xFF);
                                        }
                                        w.writeByte(0);
                                    },
                                    1))
                    .failed());

    // The root must be the classless top-level object.
    const auto namedRoot = [] {
        ByteWriter w;
        w.writeBytes(keyed_archive::kMagic);
        w.writeVarint(1);
        w.writeByteString("Group");
        w.writeByte(13);
        w.writeVarint(0);
        w.writeVarint(0);
        return w.take();
    }();
    EXPECT_TRUE(KeyedUnarchiver(namedRoot).failed());
}

TEST_F(KeyedArchiverTest, DeepNestingFails) {
    // Groups nested inside one another through their "main"-less children arrays, `depth` levels deep.
    auto nested = [](int depth) {
        return archiveBytes(
            {"", "root", "Group", "children"},
            [depth](ByteWriter& w) {
                w.writeVarint(1); // "root"
                for (int i = 0; i < depth; ++i) {
                    w.writeByte(13); // object
                    w.writeVarint(2);
                    w.writeVarint(1);
                    w.writeVarint(3); // "children"
                    w.writeByte(12);  // array of one
                    w.writeVarint(1);
                }
                w.writeByte(0); // nil at the bottom
            },
            1);
    };
    const auto shallow = nested(20);
    EXPECT_NE(KeyedUnarchiver::unarchivedObjectOfClass<Group>(shallow), nullptr);
    for (const int depth : {40, 1000, 100000}) {
        KeyedUnarchiver u(nested(depth));
        EXPECT_TRUE(u.failed()) << depth;
    }
}

TEST_F(KeyedArchiverTest, ObjectLimitStopsAFloodOfObjects) {
    Group g;
    g.children.emplace();
    for (int i = 0; i < 100; ++i) {
        g.children->push_back(std::make_unique<Node>());
    }
    const auto data = KeyedArchiver::archivedDataWithRootObject(g);
    KeyedUnarchiver limited(data);
    limited.setObjectLimit(50);
    EXPECT_EQ(limited.decodeObjectOfClassForKey<Group>("root"), nullptr);
    EXPECT_TRUE(limited.failed());
    EXPECT_NE(KeyedUnarchiver::unarchivedObjectOfClass<Group>(data), nullptr);
}

} // namespace

// A varint of ten bytes holds 64 bits; any bit beyond them, or an eleventh byte, is refused rather than
// wrapped into a smaller number.
TEST(ByteReaderVarintTest, ReadsEverySixtyFourBitValueAndRefusesLongerOnes) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::optional<std::uint64_t> value;
    };
    const std::vector<std::uint8_t> nineFull(9, 0xFF);
    const auto withTenth = [&](std::uint8_t last) {
        auto bytes = nineFull;
        bytes.push_back(last);
        return bytes;
    };
    const Case cases[] = {
        {{0x00}, 0},
        {{0x7F}, 127},
        {{0x80, 0x01}, 128},
        {withTenth(0x01), std::numeric_limits<std::uint64_t>::max()},
        {withTenth(0x00), std::numeric_limits<std::uint64_t>::max() >> 1},
        {withTenth(0x02), std::nullopt}, // bit 65
        {withTenth(0x7F), std::nullopt},
        {withTenth(0x81), std::nullopt}, // an eleventh byte would follow
        {{0x80, 0x80}, std::nullopt},    // ends before its last byte
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        ByteReader reader(c.bytes);
        const std::uint64_t value = reader.readVarint();
        EXPECT_EQ(reader.failed(), !c.value.has_value());
        EXPECT_EQ(value, c.value.value_or(0));
        EXPECT_EQ(reader.position(), c.value ? c.bytes.size() : 0u);
    }
}
