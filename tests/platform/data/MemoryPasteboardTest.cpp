#include "platform/data/MemoryPasteboard.h"

#include <gtest/gtest.h>

using platform::Bytes;
using platform::MemoryPasteboard;
using Types = std::vector<std::string>;

// As the copy of bars uses it: a declared type without data, and the data under another type.
TEST(MemoryPasteboardTest, DeclaredTypesAndDataAreHeldApart) {
    MemoryPasteboard board;
    board.setDataForType(Bytes{9}, "old");
    board.clearContents();
    EXPECT_TRUE(board.types().empty());

    EXPECT_TRUE(board.addTypes({"TOVCopiedBarDataVer2"}));
    EXPECT_TRUE(board.setDataForType(Bytes{1, 2, 3}, "copiedBars"));
    EXPECT_EQ(board.types(), (Types{"TOVCopiedBarDataVer2", "copiedBars"}));
    EXPECT_TRUE(board.containsType("TOVCopiedBarDataVer2"));
    EXPECT_EQ(board.dataForType("TOVCopiedBarDataVer2"), std::nullopt);
    EXPECT_EQ(board.dataForType("copiedBars"), (Bytes{1, 2, 3}));
    EXPECT_EQ(board.dataForType("missing"), std::nullopt);
    EXPECT_EQ(board.availableTypeFromArray({"missing", "copiedBars", "TOVCopiedBarDataVer2"}), "copiedBars");
    EXPECT_EQ(board.availableTypeFromArray({"missing"}), std::nullopt);

    // Declaring again keeps the data; empty data is no data.
    EXPECT_TRUE(board.addTypes({"copiedBars"}));
    EXPECT_EQ(board.dataForType("copiedBars"), (Bytes{1, 2, 3}));
    board.setDataForType(Bytes{}, "copiedBars");
    EXPECT_EQ(board.dataForType("copiedBars"), std::nullopt);
    EXPECT_TRUE(board.containsType("copiedBars"));
}

TEST(MemoryPasteboardTest, TypeNamesThatCannotBeAFormatAreRefused) {
    MemoryPasteboard board;
    for (const std::string& bad : {std::string(), std::string("a/b"), std::string("a b"), std::string("ä"),
                                   std::string("x\n"), std::string(201, 'a')}) {
        EXPECT_FALSE(board.setDataForType(Bytes{1}, bad)) << bad;
        EXPECT_FALSE(board.addTypes({"fine", bad})) << bad;
    }
    EXPECT_TRUE(board.setDataForType(Bytes{1}, std::string(200, 'a')));
    EXPECT_EQ(board.types(), (Types{"fine", std::string(200, 'a')}));
}
