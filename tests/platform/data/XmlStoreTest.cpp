#include "platform/data/XmlStore.h"
#include "platform/data/ArchivedString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kHead = R"(<?xml version="1.0" standalone="yes"?>
<!DOCTYPE database SYSTEM "http://127.0.0.1:9/never-fetched.dtd">
<database><databaseInfo><metadata><plist version="1.0"><dict>
<key>NSStoreType</key><string>XML</string>
<key>NSStoreModelVersionHashes</key><dict><key>Bar</key><data>AA==</data></dict>
</dict></plist></metadata></databaseInfo>
)";

std::optional<platform::XmlStore> readText(const std::string& text, std::string* error = nullptr) {
    return platform::XmlStore::read(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), error);
}

TEST(XmlStoreTest, ReadsObjectsValuesAndLinks) {
    const auto store = readText(kHead + R"(<object type="BAR" id="z1">
<attribute name="num" type="int64">3</attribute><attribute name="width" type="float">130.5</attribute>
<relationship name="notes" type="0/0" destination="NOTE" idrefs="z2 z3"></relationship></object>
<object type="NOTE" id="z2"><attribute name="frame" type="string">{{1, 2}, {3, 4}}</attribute></object>
<object type="NOTE" id="z3"><attribute name="text" type="binary">AQID</attribute></object>
</database>)");
    ASSERT_TRUE(store);
    EXPECT_EQ(store->metadata().at("NSStoreType"), "XML");
    EXPECT_EQ(store->modelEntityNames(), std::vector<std::string>{"Bar"});
    ASSERT_EQ(store->objects().size(), 3u);
    const auto& bar = store->objects()[0];
    EXPECT_EQ(bar.attribute("num")->value.toInt64(), 3);
    EXPECT_DOUBLE_EQ(bar.attribute("width")->value.toDouble(), 130.5);
    EXPECT_EQ(bar.relationship("notes")->targets, (std::vector<std::size_t>{1, 2}));
    EXPECT_TRUE(bar.relationship("notes")->toMany);
    EXPECT_EQ(store->objects()[1].attribute("frame")->value.toString(), "{{1, 2}, {3, 4}}");
    EXPECT_EQ(store->objects()[2].attribute("text")->value.toBytes(), (platform::Bytes{1, 2, 3}));
}

TEST(XmlStoreTest, BrokenStoresFailWithAReason) {
    const std::string object =
        R"(<object type="BAR" id="z1"><attribute name="num" type="int64">3</attribute></object>)";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"cut short", kHead + object},
        {"no metadata", "<database>" + object + "</database>"},
        {"other root", "<plist></plist>"},
        {"id twice", kHead + object + object + "</database>"},
        {"idref to nothing",
         kHead +
             R"(<object type="BAR" id="z1"><relationship name="line" type="1/1" destination="LINE" idrefs="z9"/></object></database>)"},
        {"number that is none",
         kHead +
             R"(<object type="BAR" id="z1"><attribute name="num" type="int64">3x</attribute></object></database>)"},
        {"unknown type word",
         kHead +
             R"(<object type="BAR" id="z1"><attribute name="num" type="quad">3</attribute></object></database>)"},
        {"not XML", "\x01\x02garbage"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(readText(c.text, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(ArchivedStringTest, RecoversThePlainStringOrNothing) {
    std::vector<std::uint8_t> archive = {4,   11,  's',  't',  'r', 'e',  'a',  'm',  't',  'y',  'p',
                                         'e', 'd', 0x81, 0xE8, 3,   0x84, 1,    '@',  0x84, 0x84, 0x84,
                                         8,   'N', 'S',  'S',  't', 'r',  'i',  'n',  'g',  1,    0x84,
                                         1,   '+', 6,    'C',  'a', 'f',  0xC3, 0xA9, '!',  0x86};
    EXPECT_EQ(platform::ArchivedString::plainString(archive), QString::fromUtf8("Café!"));
    auto cut = archive;
    cut.resize(cut.size() - 4);
    EXPECT_FALSE(platform::ArchivedString::plainString(cut));
    auto other = archive;
    other[2] = 'x';
    EXPECT_FALSE(platform::ArchivedString::plainString(other));
}

} // namespace
