#include "platform/foundation/Files.h"

#include "support/TempDir.h"

#include <cerrno>
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

namespace {

// Records the flushes and renames of a write, passing them on to the system unless told to fail one.
class RecordingFileOperations : public platform::FileOperations {
public:
    std::vector<std::string> calls;
    std::string failing; // "flush file", "rename" or "flush folder"

    int flush(int fd) override {
        struct stat info {};
        ::fstat(fd, &info);
        return record(S_ISDIR(info.st_mode) ? "flush folder" : "flush file",
                      [&] { return FileOperations::flush(fd); });
    }
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return record("rename", [&] { return FileOperations::rename(from, to); });
    }

private:
    template <typename Call>
    int record(const std::string& name, Call call) {
        calls.push_back(name);
        if (name == failing) {
            errno = EIO;
            return -1;
        }
        return call();
    }
};

} // namespace

// The content reaches the disk before the rename makes it the file, and the folder is flushed after it so
// that the rename itself survives a crash. A failure before the rename leaves the old file and no other.
TEST(WriteFileAtomicallyTest, FlushesTheContentThenRenamesThenFlushesTheFolder) {
    struct Case {
        std::string failing;
        bool succeeds;
        std::vector<std::string> calls;
        std::string content;
    };
    const Case cases[] = {
        {"", true, {"flush file", "rename", "flush folder"}, "new"},
        {"flush file", false, {"flush file"}, "old"},
        {"rename", false, {"flush file", "rename"}, "old"},
        {"flush folder", true, {"flush file", "rename", "flush folder"}, "new"}, // the new file is in place
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        TempDir dir;
        const auto target = dir.write("song.tovz", "old");
        RecordingFileOperations operations;
        operations.failing = c.failing;
        std::string message;
        EXPECT_EQ(writeFileAtomically(target, std::vector<std::uint8_t>{'n', 'e', 'w'}, operations, &message),
                  c.succeeds);
        EXPECT_EQ(message.empty(), c.succeeds);
        EXPECT_EQ(operations.calls, c.calls);
        EXPECT_EQ(contentOf(target), c.content);
        EXPECT_EQ(listing(dir.path()), std::set<std::string>{"song.tovz"});
    }
}
