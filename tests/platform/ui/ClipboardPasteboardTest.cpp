#include "platform/ui/ClipboardPasteboard.h"

#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

using platform::Bytes;
using platform::ClipboardPasteboard;
using Types = std::vector<std::string>;

TEST(ClipboardPasteboardTest, EachTypeIsOneMimeFormatOnTheClipboard) {
    ClipboardPasteboard board;
    board.clearContents();
    ASSERT_TRUE(board.addTypes({"TOVCopiedBarDataVer2"}));
    ASSERT_TRUE(board.setDataForType(Bytes{0, 1, 0xff}, "copiedBars"));

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->formats(),
              (QStringList{"application/x-tovrin-TOVCopiedBarDataVer2", "application/x-tovrin-copiedBars"}));
    EXPECT_EQ(data->data("application/x-tovrin-copiedBars"), QByteArray("\x00\x01\xff", 3));

    // Another pasteboard on the same clipboard reads what this one wrote.
    ClipboardPasteboard reader;
    EXPECT_EQ(reader.types(), (Types{"TOVCopiedBarDataVer2", "copiedBars"}));
    EXPECT_EQ(reader.dataForType("copiedBars"), (Bytes{0, 1, 0xff}));
    EXPECT_EQ(reader.dataForType("TOVCopiedBarDataVer2"), std::nullopt);
    EXPECT_EQ(reader.availableTypeFromArray({"x", "TOVCopiedBarDataVer2"}), "TOVCopiedBarDataVer2");

    board.clearContents();
    EXPECT_TRUE(reader.types().empty());
    EXPECT_EQ(reader.dataForType("copiedBars"), std::nullopt);
}

TEST(ClipboardPasteboardTest, ContentOfOtherProgramsIsNotOurs) {
    auto* foreign = new QMimeData;
    foreign->setText("hello");
    foreign->setData("application/x-tovrin-bad name", "x");
    foreign->setData("application/x-other-copiedBars", "x");
    QGuiApplication::clipboard()->setMimeData(foreign);

    ClipboardPasteboard board;
    EXPECT_TRUE(board.types().empty());
    EXPECT_EQ(board.dataForType("copiedBars"), std::nullopt);
    EXPECT_FALSE(board.setDataForType(Bytes{1}, "bad name"));

    // Writing replaces the foreign content with ours only.
    ASSERT_TRUE(board.setDataForType(Bytes{7}, "itemType"));
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->formats(),
              QStringList{"application/x-tovrin-itemType"});
}

TEST(ClipboardPasteboardTest, MimeFormatsMapBackOnlyForValidTypeNames) {
    EXPECT_EQ(ClipboardPasteboard::mimeTypeForType("copiedBars"), "application/x-tovrin-copiedBars");
    EXPECT_EQ(ClipboardPasteboard::typeForMimeType("application/x-tovrin-copiedBars"), "copiedBars");
    EXPECT_EQ(ClipboardPasteboard::typeForMimeType("application/x-tovrin-"), std::nullopt);
    EXPECT_EQ(ClipboardPasteboard::typeForMimeType("application/x-tovrin-a/b"), std::nullopt);
    EXPECT_EQ(ClipboardPasteboard::typeForMimeType(QString("application/x-tovrin-\u00e4")), std::nullopt);
    EXPECT_EQ(ClipboardPasteboard::typeForMimeType("text/plain"), std::nullopt);
}
