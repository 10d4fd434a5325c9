#include "platform/foundation/Files.h"

#include "support/TempDir.h"

#include <csignal>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>

using platform::readFile;
using platform::writeFileAtomically;

namespace {

std::set<std::string> listing(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::string contentOf(const std::filesystem::path& file) {
    const auto bytes = readFile(file, 1 << 20);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<unreadable>";
}

mode_t modeOf(const std::filesystem::path& file) {
    struct stat info {};
    ::stat(file.c_str(), &info);
    return info.st_mode & 07777;
}

} // namespace

TEST(ReadFileTest, ReadsWholeRegularFilesWithinTheCap) {
    TempDir dir;
    const std::string binary("a\0b\xFF", 4);
    const auto file = dir.write("data.bin", binary);
    const auto empty = dir.write("empty", "");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);

    EXPECT_EQ(readFile(file, 4), (std::vector<std::uint8_t>{'a', 0, 'b', 0xFF}));
    EXPECT_EQ(readFile(empty, 0), std::vector<std::uint8_t>{});
    struct Case {
        std::filesystem::path path;
        std::size_t cap;
    };
    const Case failures[] = {
        {file, 3}, // one byte over the cap
        {dir / "missing", 100},
        {dir.path(), 100},   // a folder
        {dir / "pipe", 100}, // would block forever if it were opened for reading like a file
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.path.string());
        std::string message;
        EXPECT_FALSE(readFile(c.path, c.cap, &message));
        EXPECT_FALSE(message.empty());
    }
}

TEST(WriteFileAtomicallyTest, CreatesAndReplacesFilesLeavingNothingElse) {
    TempDir dir;
    const auto target = dir / "song.tovz";
    std::string message;
    ASSERT_TRUE(writeFileAtomically(target, std::string_view("first"), &message)) << message;
    EXPECT_EQ(contentOf(target), "first");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(modeOf(target), 0666 & ~mask);

    ::chmod(target.c_str(), 0640);
    const std::vector<std::uint8_t> bytes{'s', 0, 'c'};
    ASSERT_TRUE(writeFileAtomically(target, bytes, &message)) << message;
    EXPECT_EQ(readFile(target, 100), bytes);
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_EQ(listing(dir.path()), std::set<std::string>{"song.tovz"});
}

TEST(WriteFileAtomicallyTest, ReplacesALinkWithoutWritingThroughIt) {
    TempDir dir;
    const auto elsewhere = dir.write("elsewhere.txt", "keep");
    const auto link = dir / "link.txt";
    std::filesystem::create_symlink(elsewhere, link);
    ASSERT_TRUE(writeFileAtomically(link, std::string_view("new")));
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(contentOf(link), "new");
    EXPECT_EQ(contentOf(elsewhere), "keep");
}

TEST(WriteFileAtomicallyTest, FailuresLeaveEverythingAsItWas) {
    TempDir dir;
    dir.write("full/inside.txt", "inside");
    std::filesystem::create_directory(dir / "empty");
    dir.write("old.txt", "old");
    const std::filesystem::path targets[] = {
        dir / "full",          // a folder holding files cannot be replaced by a file
        dir / "empty",         // nor can an empty one
        dir / "nowhere" / "x", // the folder does not exist
        dir.path() / "",       // no file name
        dir / "old.txt" / "x", // the "folder" is a file
    };
    const auto before = listing(dir.path());
    for (const auto& target : targets) {
        SCOPED_TRACE(target.string());
        std::string message;
        EXPECT_FALSE(writeFileAtomically(target, std::string_view("new"), &message));
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(listing(dir.path()), before);
    }
    EXPECT_EQ(listing(dir / "full"), std::set<std::string>{"inside.txt"});
    EXPECT_TRUE(listing(dir / "empty").empty());
    EXPECT_EQ(contentOf(dir / "old.txt"), "old");
}

// A file size limit makes the write itself fail half-way, as a full disk would (root is not exempt).
TEST(WriteFileAtomicallyTest, AWriteThatFailsHalfWayKeepsTheOldFile) {
    TempDir dir;
    const auto target = dir.write("song.tovz", "old content");
    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
    rlimit limited = original;
    limited.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);

    std::string message;
    const bool written = writeFileAtomically(target, std::string(100000, 'x'), &message);

    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_NE(message.find("cannot write"), std::string::npos) << message;
    EXPECT_EQ(contentOf(target), "old content");
    EXPECT_EQ(listing(dir.path()), std::set<std::string>{"song.tovz"});
}
