#include "platform/foundation/Files.h"

#include "support/TempDir.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
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

// A song opened through a symbolic link is the real file: that one gets the new content, beside itself,
// and the link stays a link to it.
TEST(WriteFileAtomicallyTest, WritesTheRealFileOfALinkAndKeepsTheLink) {
    TempDir dir;
    const auto real = dir.write("songs/real.tovz", "old");
    ::chmod(real.c_str(), 0640);
    std::filesystem::create_directory(dir / "links");
    const auto link = dir / "links" / "link.tovz";
    std::filesystem::create_symlink("../songs/real.tovz", link);
    std::string message;
    ASSERT_TRUE(writeFileAtomically(link, std::string_view("new"), &message)) << message;
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link), "../songs/real.tovz");
    EXPECT_EQ(contentOf(real), "new");
    EXPECT_EQ(modeOf(real), 0640u);
    EXPECT_EQ(listing(dir / "songs"), std::set<std::string>{"real.tovz"});
    EXPECT_EQ(listing(dir / "links"), std::set<std::string>{"link.tovz"});
}

// Saving never turns something that is not a regular file into one, never writes through a link that
// leads nowhere, and never replaces a write-protected file unless told the user agreed.
TEST(WriteFileAtomicallyTest, RefusesTargetsThatAreNoWritableRegularFile) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    // A link to a pipe stands for a device as well, without risking a real one if the check ever broke.
    std::filesystem::create_symlink("pipe", dir / "piped.tovz");
    std::filesystem::create_symlink("missing.tovz", dir / "dangling.tovz");
    const auto locked = dir.write("locked.tovz", "old");
    ::chmod(locked.c_str(), 0444);
    struct Case {
        std::string name;
        std::string reason;
    };
    const Case cases[] = {
        {"pipe", "not a regular file"},
        {"piped.tovz", "not a regular file"},
        {"dangling.tovz", "leads to no file"},
        {"locked.tovz", "write-protected"},
    };
    const auto before = listing(dir.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string message;
        EXPECT_FALSE(writeFileAtomically(dir / c.name, std::string_view("new"), &message));
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        EXPECT_EQ(listing(dir.path()), before);
    }
    EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(dir / "pipe")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "piped.tovz"));
    EXPECT_EQ(contentOf(locked), "old");

    // With the user's word the locked file is replaced, and stays locked.
    const std::vector<std::uint8_t> bytes{'n', 'e', 'w'};
    std::string message;
    ASSERT_TRUE(writeFileAtomically(locked, bytes, &message, true)) << message;
    EXPECT_EQ(contentOf(locked), "new");
    EXPECT_EQ(modeOf(locked), 0444u);
}

// The replacement is a new file: the song's name shows the new content, another hard link to the old
// inode keeps the previous content (which is what makes the save all-or-nothing).
TEST(WriteFileAtomicallyTest, AHardLinkedFileIsReplacedUnderItsOwnNameOnly) {
    TempDir dir;
    const auto song = dir.write("song.tovz", "old");
    std::filesystem::create_hard_link(song, dir / "other.tovz");
    ASSERT_TRUE(writeFileAtomically(song, std::string_view("new")));
    EXPECT_EQ(contentOf(song), "new");
    EXPECT_EQ(contentOf(dir / "other.tovz"), "old");
    EXPECT_EQ(std::filesystem::hard_link_count(song), 1u);
}

// The bits are what counts, also for root (which could write the file anyway).
TEST(WriteFileAtomicallyTest, WriteProtectionIsReadFromThePermissionBits) {
    TempDir dir;
    const auto file = dir.write("song.tovz", "x");
    std::filesystem::create_symlink("song.tovz", dir / "link.tovz");
    const std::pair<mode_t, bool> cases[] = {{0644, false}, {0444, true}, {0200, false}, {0466, true}};
    for (const auto& [mode, locked] : cases) {
        SCOPED_TRACE(mode);
        ::chmod(file.c_str(), mode);
        EXPECT_EQ(platform::isWriteProtected(file), locked);
        EXPECT_EQ(platform::isWriteProtected(dir / "link.tovz"), locked);
    }
    EXPECT_FALSE(platform::isWriteProtected(dir / "missing"));
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

namespace {

// Lists the folder of the target at the moment the new content is flushed, when a crash would stop the
// save.
class ListingAtFlush : public platform::FileOperations {
public:
    explicit ListingAtFlush(std::filesystem::path folder) : folder_(std::move(folder)) {}
    std::set<std::string> atFlush;

    int flush(int fd) override {
        struct stat info {};
        ::fstat(fd, &info);
        if (S_ISREG(info.st_mode)) {
            atFlush = listing(folder_);
        }
        return FileOperations::flush(fd);
    }

private:
    std::filesystem::path folder_;
};

bool supportsUnnamedFiles(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace

// A crash in the middle of a save leaves nothing behind: while the content is written it has no name.
// Temporaries of the same song that an earlier crash left (under the fallback's names) go with the next
// successful save; those of other files and look-alike names stay.
TEST(WriteFileAtomicallyTest, ACrashDuringTheWriteLeavesNoTemporaryBehind) {
    TempDir dir;
    const auto target = dir.write("song.tovz", "old");
    dir.write(".song.tovz.tmp-a1b2c3d4", "stale");
    dir.write(".song.tovz.tmp-zzzzzzzz", "stale");
    dir.write(".other.tovz.tmp-a1b2c3d4", "another file's");
    dir.write(".song.tovz.tmp-A1B2C3D4", "not ours");
    dir.write(".song.tovz.tmp-a1b2c3d45", "not ours");
    const std::set<std::string> kept = {"song.tovz", ".other.tovz.tmp-a1b2c3d4", ".song.tovz.tmp-A1B2C3D4",
                                        ".song.tovz.tmp-a1b2c3d45"};
    auto before = kept;
    before.insert({".song.tovz.tmp-a1b2c3d4", ".song.tovz.tmp-zzzzzzzz"});

    ListingAtFlush operations(dir.path());
    std::string message;
    ASSERT_TRUE(writeFileAtomically(target, std::vector<std::uint8_t>{'n', 'e', 'w'}, operations, &message))
        << message;
    if (supportsUnnamedFiles(dir.path())) {
        EXPECT_EQ(operations.atFlush, before);
    }
    EXPECT_EQ(contentOf(target), "new");
    EXPECT_EQ(listing(dir.path()), kept);
}
