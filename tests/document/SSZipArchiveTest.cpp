#include "document/SSZipArchive.h"
#include "document/SSZipArchiveDelegate.h"

#include "ZipMaker.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string svg = R"(<svg><path d="M0,0L10,10"/></svg>)";
const std::string fontdefs = "<fontdefs><id>f</id><displayname>F</displayname></fontdefs>";

// Everything below a folder: "/" for a folder, "-> target" for a link, else the file's bytes.
using Tree = std::map<std::string, std::string>;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Tree treeOf(const fs::path& root) {
    Tree tree;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string name = item.path().lexically_relative(root).generic_string();
        if (item.is_symlink()) {
            tree[name] = "-> " + fs::read_symlink(item.path()).string();
        } else if (item.is_directory()) {
            tree[name] = "/";
        } else {
            tree[name] = contentOf(item.path());
        }
    }
    return tree;
}

std::int64_t modificationTime(const fs::path& path) {
    struct stat status {};
    lstat(path.c_str(), &status);
    return status.st_mtim.tv_sec;
}

// A work folder holding the archive, the destination with a file of its own, a file beside the
// destination and an empty folder that links in the destination may point to.
class Workspace {
public:
    Workspace() {
        dir_.write("outside.txt", "outside");
        dir_.write("dest/keep/old.txt", "old");
        fs::create_directories(dir_ / "elsewhere");
    }
    fs::path archive() const { return dir_ / "bundle.zip"; }
    fs::path destination() const { return dir_ / "dest"; }
    // The whole work folder as it should be when the destination holds extra besides its own file.
    Tree expected(const Tree& extra) const {
        Tree tree = {{"bundle.zip", contentOf(archive())},
                     {"outside.txt", "outside"},
                     {"elsewhere", "/"},
                     {"dest", "/"},
                     {"dest/keep", "/"},
                     {"dest/keep/old.txt", "old"}};
        for (const auto& [name, value] : extra) {
            tree["dest/" + name] = value;
        }
        return tree;
    }
    Tree tree() const { return treeOf(dir_.path()); }

private:
    TempDir dir_;
};

struct UnpackCase {
    const char* title;
    std::vector<ZipEntry> entries;
    bool result;
    // What the destination holds afterwards besides its own file.
    Tree unpacked;
    // Links put in the destination before the run: name, target.
    std::vector<std::pair<std::string, std::string>> links = {};
};

std::vector<ZipEntry> entriesDeclaringInAll(std::uint64_t total) {
    std::vector<ZipEntry> entries;
    for (std::uint64_t declared = 0; declared < total; declared += SSZipArchive::maxEntryBytes) {
        entries.push_back({.name = "f/" + std::to_string(entries.size()) + ".svg",
                           .data = "x",
                           .method = 0,
                           .declaredSize = SSZipArchive::maxEntryBytes});
    }
    return entries;
}

// "d/d/.../f": a file below depth - 1 folders.
std::string nestedName(std::size_t depth) {
    std::string name;
    for (std::size_t i = 1; i < depth; ++i) {
        name += "d/";
    }
    return name + "f";
}

Tree nestedTree(std::size_t depth, const std::string& content) {
    Tree tree;
    std::string folder;
    for (std::size_t i = 1; i < depth; ++i) {
        folder += folder.empty() ? "d" : "/d";
        tree[folder] = "/";
    }
    tree[folder + "/f"] = content;
    return tree;
}

TEST(SSZipArchiveUnpack, UnpacksSoundArchivesAndRefusesUnsafeOrBrokenOnesWhole) {
    const std::string longText(20000, 'a');
    const ZipEntry good = {.name = "f/a.svg", .data = svg};
    const std::vector<UnpackCase> cases = {
        {"font folder without a folder entry",
         {{.name = "f/fontdefs.xml", .data = fontdefs}, good, {.name = "f/b.svg", .data = svg, .method = 0}},
         true,
         {{"f", "/"}, {"f/fontdefs.xml", fontdefs}, {"f/a.svg", svg}, {"f/b.svg", svg}}},
        {"backslash names",
         {{.name = "f\\a.svg", .data = svg}, {.name = "g\\h\\"}},
         true,
         {{"f", "/"}, {"f/a.svg", svg}, {"g", "/"}, {"g/h", "/"}}},
        {"dot components that stay inside",
         {{.name = "f/./x/../a.svg", .data = svg}},
         true,
         {{"f", "/"}, {"f/a.svg", svg}}},
        {"folder entry naming the destination", {{.name = "./"}, good}, true, {{"f", "/"}, {"f/a.svg", svg}}},
        {"a later entry of the same name replaces the file",
         {{.name = "f/a.svg", .data = "one"}, {.name = "f/a.svg", .data = "two"}},
         true,
         {{"f", "/"}, {"f/a.svg", "two"}}},
        {"a name as deep as the cap",
         {{.name = nestedName(SSZipArchive::maxNameDepth), .data = "x"}},
         true,
         nestedTree(SSZipArchive::maxNameDepth, "x")},
        {"into a folder that is there",
         {{.name = "keep/new.txt", .data = "new"}},
         true,
         {{"keep/new.txt", "new"}}},

        {"parent entry", {good, {.name = "../escaped.txt", .data = "x"}}, false, {}},
        {"parent inside a path", {good, {.name = "f/../../escaped.txt", .data = "x"}}, false, {}},
        {"parent with backslashes", {good, {.name = "f\\..\\..\\escaped.txt", .data = "x"}}, false, {}},
        {"absolute name", {good, {.name = "/tmp/tovrin-escaped.txt", .data = "x"}}, false, {}},
        {"absolute name with a backslash",
         {good, {.name = "\\tmp\\tovrin-escaped.txt", .data = "x"}},
         false,
         {}},
        {"file entry naming the destination", {good, {.name = "f/..", .data = "x"}}, false, {}},
        {"a name deeper than the cap",
         {good, {.name = nestedName(SSZipArchive::maxNameDepth + 1), .data = "x"}},
         false,
         {}},
        {"a deep name that stays shallow once resolved",
         {{.name = "d/../d/../d/../d/../d/../d/../d/../d/../d/../d/../d/../d/../d/../d/../d/../d/../f",
           .data = "x"}},
         true,
         {{"f", "x"}}},
        {"empty name", {good, {.name = "", .data = "x"}}, false, {}},
        {"name that is not UTF-8", {good, {.name = "f/\xff.svg", .data = svg}}, false, {}},
        {"Unix link entry",
         {good,
          {.name = "f/link",
           .data = "../../outside.txt",
           .method = 0,
           .externalAttributes = ZipEntry::unixLinkAttributes,
           .versionMadeBy = ZipEntry::unixVersionMadeBy}},
         false,
         {}},
        {"stored entry with a folder type",
         {good, {.name = "f/link", .data = "/etc", .method = 0, .externalAttributes = 0x4000}},
         false,
         {}},
        {"entry declaring more than the entry cap",
         {good,
          {.name = "f/huge.svg", .data = "x", .method = 0, .declaredSize = SSZipArchive::maxEntryBytes + 1}},
         false,
         {}},
        {"entries declaring more than the total cap",
         entriesDeclaringInAll(SSZipArchive::maxTotalBytes + 1),
         false,
         {}},

        {"wrong CRC after written entries",
         {good,
          {.name = "keep/new.txt", .data = "new"},
          {.name = "g/bad.svg", .data = svg, .method = 0, .crc = ZipMaker::crcOf(svg) ^ 1}},
         false,
         {}},
        {"wrong CRC of deflated data",
         {good, {.name = "f/b.svg", .data = svg, .crc = ZipMaker::crcOf(svg) ^ 0xFFFF}},
         false,
         {}},
        {"deflated data cut short",
         {good,
          {.name = "f/b.svg", .data = longText, .rawBytes = ZipMaker::rawDeflate(longText).substr(0, 10)}},
         false,
         {}},
        {"stored data shorter than its declared size",
         {good, {.name = "f/b.svg", .data = "abcdef", .method = 0, .rawBytes = "abc"}},
         false,
         {}},
        {"a file where a folder must go", {{.name = "f", .data = "x"}, good}, false, {}},

        {"link to a folder outside in the destination",
         {good},
         false,
         {{"f", "-> ../elsewhere"}},
         {{"f", "../elsewhere"}}},
        {"folder entry on a link in the destination",
         {{.name = "f/"}},
         false,
         {{"f", "-> ../elsewhere"}},
         {{"f", "../elsewhere"}}},
        {"file entry on a link in the destination is replaced, not followed",
         {{.name = "a.svg", .data = "new"}},
         true,
         {{"a.svg", "new"}},
         {{"a.svg", "../outside.txt"}}},
    };
    for (const UnpackCase& c : cases) {
        SCOPED_TRACE(c.title);
        const Workspace work;
        ASSERT_TRUE(ZipMaker::write(work.archive(), c.entries));
        for (const auto& [name, target] : c.links) {
            fs::create_symlink(target, work.destination() / name);
        }
        EXPECT_EQ(SSZipArchive::unzipFileAtPathToDestination(work.archive(), work.destination()), c.result);
        EXPECT_EQ(work.tree(), work.expected(c.unpacked));
    }
    EXPECT_FALSE(fs::exists(fs::temp_directory_path() / "tovrin-escaped.txt"));
}

TEST(SSZipArchiveUnpack, ArchivesThatCannotBeOpenedAnswerTheirErrors) {
    struct OpenCase {
        const char* title;
        void (*make)(const fs::path& archive);
        int code;
        const char* description;
    };
    const std::vector<OpenCase> cases = {
        {"not a zip", [](const fs::path& p) { std::ofstream(p) << fontdefs; }, -1, "failed to open zip file"},
        {"no file", [](const fs::path&) {}, -1, "failed to open zip file"},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, -1, "failed to open zip file"},
        {"empty archive", [](const fs::path& p) { ZipMaker::write(p, {}); }, -2,
         "failed to open first file in zip file"},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.title);
        const Workspace work;
        c.make(work.archive());
        const Tree before = work.tree();
        SSZipArchive::Error error;
        EXPECT_FALSE(SSZipArchive::unzipFileAtPathToDestinationOverwritePasswordError(
            work.archive(), work.destination(), true, "", &error));
        EXPECT_EQ(error.domain, "SSZipArchiveErrorDomain");
        EXPECT_EQ(error.code, c.code);
        EXPECT_EQ(error.localizedDescription, c.description);
        EXPECT_FALSE(SSZipArchive::unzipFileAtPathToDestination(work.archive(), work.destination()));
        EXPECT_EQ(work.tree(), before);
    }
}

TEST(SSZipArchiveUnpack, RestoresStoredDatesAlsoOfFoldersThatReceivedFilesLater) {
    constexpr std::uint32_t newYearsEve = 0x279FBF7D; // 1999-12-31 23:59:58
    constexpr std::uint32_t leapDay = 0x505D6000;     // 2020-02-29 12:00:00
    const Workspace work;
    ASSERT_TRUE(ZipMaker::write(work.archive(), {{.name = "f/", .dosDate = newYearsEve},
                                                 {.name = "f/g\\", .dosDate = leapDay},
                                                 {.name = "f/g/a.svg", .data = svg},
                                                 {.name = "f/b.svg", .data = svg, .dosDate = leapDay}}));
    ASSERT_TRUE(SSZipArchive::unzipFileAtPathToDestination(work.archive(), work.destination()));
    // The test programs run in UTC.
    EXPECT_EQ(modificationTime(work.destination() / "f"), 946684798);
    EXPECT_EQ(modificationTime(work.destination() / "f/g"), 1582977600);
    EXPECT_EQ(modificationTime(work.destination() / "f/g/a.svg"), 1614834368);
    EXPECT_EQ(modificationTime(work.destination() / "f/b.svg"), 1582977600);
}

// Notes the entries reported as unpacked.
class UnpackedRecorder : public SSZipArchiveDelegate {
public:
    void
    zipArchiveDidUnzipFileAtIndexTotalFilesArchivePathFileInfo(long index, long totalFiles,
                                                               const std::string& archivePath,
                                                               const unz_file_info64& fileInfo) override {
        unpacked.push_back({index, totalFiles});
    }
    void zipArchiveDidUnzipArchiveAtPathZipInfoUnzippedPath(const std::string& path, const unz_global_info64&,
                                                            const std::string& unzippedPath) override {
        finished = unzippedPath;
    }
    std::vector<std::pair<long, long>> unpacked;
    std::string finished;
};

TEST(SSZipArchiveUnpack, ReplacesExistingFilesOrLeavesThemWithoutOverwrite) {
    for (const bool overwrite : {true, false}) {
        SCOPED_TRACE(overwrite ? "overwrite" : "keep");
        const Workspace work;
        ASSERT_TRUE(ZipMaker::write(work.archive(), {{.name = "keep/old.txt", .data = "new"},
                                                     {.name = "keep/other.txt", .data = "other"}}));
        UnpackedRecorder recorder;
        EXPECT_TRUE(SSZipArchive::unzipFileAtPathToDestinationOverwritePasswordErrorDelegate(
            work.archive(), work.destination(), overwrite, "", nullptr, &recorder));
        EXPECT_EQ(contentOf(work.destination() / "keep/old.txt"), overwrite ? "new" : "old");
        EXPECT_EQ(contentOf(work.destination() / "keep/other.txt"), "other");
        // A skipped entry is not counted.
        const std::vector<std::pair<long, long>> unpacked =
            overwrite ? std::vector<std::pair<long, long>>{{0, 2}, {1, 2}}
                      : std::vector<std::pair<long, long>>{{0, 2}};
        EXPECT_EQ(recorder.unpacked, unpacked);
        EXPECT_EQ(recorder.finished, work.destination().string());
    }
}

// The entry cap admits an archive of exactly that many entries (its end record then holds 65,535, the
// value that may also mean "count elsewhere") and refuses one more, saying why.
TEST(SSZipArchiveUnpack, TheEntryCapAdmitsExactlyThatManyEntries) {
    for (const std::uint64_t count : {SSZipArchive::maxEntries, SSZipArchive::maxEntries + 1}) {
        SCOPED_TRACE(count);
        const Workspace work;
        // One folder named over and over, stored: writing and unpacking stay quick.
        std::vector<ZipEntry> entries(count, ZipEntry{.name = "f/", .method = 0});
        entries.back() = {.name = "f/a.svg", .data = svg};
        ASSERT_TRUE(ZipMaker::write(work.archive(), entries));
        SSZipArchive::Error error;
        const bool unpacked = SSZipArchive::unzipFileAtPathToDestinationOverwritePasswordError(
            work.archive(), work.destination(), true, "", &error);
        if (count == SSZipArchive::maxEntries) {
            EXPECT_TRUE(unpacked) << error.localizedDescription;
            EXPECT_EQ(contentOf(work.destination() / "f/a.svg"), svg);
        } else {
            EXPECT_FALSE(unpacked);
            EXPECT_EQ(error.code, SSZipArchive::errorCodeRefused);
            EXPECT_EQ(error.localizedDescription,
                      "the archive was refused: the archive holds more than 65535 entries");
            EXPECT_EQ(work.tree(), work.expected({}));
        }
    }
}

// A refused archive says why, so that whoever installs a bundle can tell the user.
TEST(SSZipArchiveUnpack, ARefusedArchiveCarriesItsReason) {
    struct RefusalCase {
        const char* title;
        std::vector<ZipEntry> entries;
        const char* reason;
    };
    const std::vector<RefusalCase> cases = {
        {"a path leaving the destination",
         {{.name = "../escape.svg", .data = svg}},
         "an entry's name is no path inside the destination folder"},
        {"a link",
         {{.name = "l",
           .data = "a.svg",
           .externalAttributes = ZipEntry::unixLinkAttributes,
           .versionMadeBy = ZipEntry::unixVersionMadeBy}},
         "an entry is a link"},
        {"an entry past the size cap",
         {{.name = "big.svg", .data = svg, .declaredSize = SSZipArchive::maxEntryBytes + 1}},
         "an entry is larger than 16777216 bytes"},
        {"a damaged entry",
         {{.name = "a.svg", .data = svg, .crc = 1}},
         "an entry could not be read in full or written, and nothing was kept"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.title);
        const Workspace work;
        ASSERT_TRUE(ZipMaker::write(work.archive(), c.entries));
        SSZipArchive::Error error;
        EXPECT_FALSE(SSZipArchive::unzipFileAtPathToDestinationOverwritePasswordError(
            work.archive(), work.destination(), true, "", &error));
        EXPECT_EQ(error.domain, "SSZipArchiveErrorDomain");
        EXPECT_NE(error.localizedDescription.find(c.reason), std::string::npos) << error.localizedDescription;
        EXPECT_EQ(work.tree(), work.expected({}));
    }
}

} // namespace
