#include "platform/foundation/Resources.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(ResourcesTest, LooksInTheOverridingFolderFirstThenTheBuildTreeThenTheInstallFolder) {
    TempDir dir;
    const ScopedEnv env("TOVRIN_RESOURCES", dir.path().string());
    const auto folders = resourceDirectories();
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0], dir.path().string());
    EXPECT_EQ(folders[1], TOVRIN_BUILD_RESOURCE_DIR);
    EXPECT_EQ(folders[2], (std::filesystem::path(exe).parent_path() / "share" / "tovrin").string());

    const ScopedEnv unset("TOVRIN_RESOURCES", std::nullopt);
    EXPECT_EQ(resourceDirectories().front(), TOVRIN_BUILD_RESOURCE_DIR);
}

TEST(ResourcesTest, FindsNamedFilesAndNothingOutsideTheResourceFolders) {
    TempDir dir;
    const auto icon = dir.write("Slash4.png", "png");
    const auto glyph = dir.write("glyphs/Default/clefG.svg", "<svg/>");
    const auto bare = dir.write("LICENSE", "text");
    dir.write("folder.svg/placeholder", "");
    const auto outside = dir.write("secret.txt", "x");
    const ScopedEnv env("TOVRIN_RESOURCES", dir.path().string());

    struct Case {
        const char* name;
        const char* extension;
        const char* subdirectory;
        std::string expected;
    };
    const Case cases[] = {
        {"Slash4", "png", "", icon.string()},
        {"clefG", "svg", "glyphs/Default", glyph.string()},
        {"clefG", "svg", "glyphs/Default/", glyph.string()},
        {"LICENSE", "", "", bare.string()},
        {"Slash4", "jpg", "", ""},
        {"missing", "png", "", ""},
        {"folder", "svg", "", ""}, // a folder is no resource file
        {"../secret", "txt", "glyphs", ""},
        {"secret", "txt", "glyphs/..", ""},
        {"secret", "txt", "/", ""},
        {"..", "", "", ""},
        {"", "png", "", ""},
        {"a", "png/../../x", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.subdirectory) + "|" + c.name + "|" + c.extension);
        EXPECT_EQ(pathForResource(c.name, c.extension, c.subdirectory), c.expected);
    }
    (void)outside;
}

TEST(ResourcesTest, UserFoldersFollowTheXdgVariables) {
    TempDir dir;
    const ScopedEnv data("XDG_DATA_HOME", (dir / "data").string());
    const ScopedEnv cache("XDG_CACHE_HOME", (dir / "cache").string());
    EXPECT_EQ(applicationSupportDirectory(), (dir / "data").string());
    EXPECT_EQ(userCacheDirectory(), (dir / "cache").string());
}

TEST(ResourcesTest, VersionTextsAreBuildConstants) {
    EXPECT_EQ(versionString, TOVRIN_VERSION_STRING);
    EXPECT_FALSE(versionString.empty());
    static_assert(shortVersionOf("2.0.0") == "2.0");
    static_assert(shortVersionOf("2.1") == "2.1");
    static_assert(shortVersionOf("3") == "3");
    static_assert(shortVersionOf("10.4.1.7") == "10.4");
    EXPECT_EQ(shortVersionString, shortVersionOf(TOVRIN_VERSION_STRING));
    EXPECT_NE(copyrightString.find("Tovrin"), std::string_view::npos);
    EXPECT_FALSE(systemVersionString().empty());
}

TEST(ResourcesTest, LocalizedAnswersTheEnglishTextWithoutATranslation) {
    EXPECT_EQ(localized("Delete lower part"), "Delete lower part");
    setLocalizationLookup([](std::string_view text) -> std::optional<std::string> {
        if (text == "Cancel") {
            return std::string("Abbrechen");
        }
        return std::nullopt;
    });
    EXPECT_EQ(localized("Cancel"), "Abbrechen");
    EXPECT_EQ(localized("Continue"), "Continue");
    setLocalizationLookup({});
    EXPECT_EQ(localized("Cancel"), "Cancel");
}
