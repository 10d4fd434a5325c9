#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Version texts, fixed when the program is built. The short version is the first two parts of the full
// version ("2.0" of "2.0.0").
constexpr std::string_view shortVersionOf(std::string_view version) {
    const auto first = version.find('.');
    if (first == std::string_view::npos) {
        return version;
    }
    const auto second = version.find('.', first + 1);
    return second == std::string_view::npos ? version : version.substr(0, second);
}
inline constexpr std::string_view versionString = TOVRIN_VERSION_STRING;
inline constexpr std::string_view shortVersionString = shortVersionOf(versionString);
inline constexpr std::string_view copyrightString = "Copyright \xC2\xA9 2026 The Tovrin developers";

// The version of the operating system as it names itself ("12" on Debian 12); "unknown" when it
// cannot be told.
std::string systemVersionString();

// The folders searched for the program's own resources, in order: TOVRIN_RESOURCES when it is set,
// the build tree's resources folder (only for programs that run from the build tree, so that an
// installed program never depends on the tree it was built in), and share/tovrin beside the program's
// folder, where it is installed.
std::vector<std::string> resourceDirectories();

// The path of the resource file "name.extension" (just "name" for an empty extension), in the given
// subfolder of the resource folders, from the first folder that holds it as a regular file. Empty
// when none does, and for a name, extension or subfolder that would lead out of the resource folders.
std::string pathForResource(std::string_view name, std::string_view extension,
                            std::string_view subdirectory = {});

// The user's data folder, which stands for "Application Support" (the XDG data folder,
// ~/.local/share), and the user's cache folder (~/.cache). Empty when the system names none.
std::string applicationSupportDirectory();
std::string userCacheDirectory();

// The user-visible text for an English text: its translation when the installed lookup has one,
// otherwise the English text itself.
std::string localized(std::string_view text);
// Installs the lookup of translations (none by default); an empty function removes it.
using LocalizationLookup = std::function<std::optional<std::string>(std::string_view text)>;
void setLocalizationLookup(LocalizationLookup lookup);

} // namespace platform
