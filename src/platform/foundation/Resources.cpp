#include "platform/foundation/Resources.h"

#include <QStandardPaths>
#include <QSysInfo>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <system_error>

namespace platform {

namespace {

LocalizationLookup& installedLookup() {
    static LocalizationLookup lookup;
    return lookup;
}

// A single file name: not empty, no separator, not "." or "..".
bool isPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

// A relative path made only of plain names.
bool isPlainRelativePath(std::string_view path) {
    if (path.empty()) {
        return true;
    }
    if (path.front() == '/') {
        return false;
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part = path.substr(start, end - start);
        if (!part.empty() && !isPlainName(part)) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::string executableDirectory() {
    std::error_code ec;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : executable.parent_path().string();
}

// Whether the path (with its links resolved) is the folder or lies inside it.
bool isInsideFolder(const std::string& path, const std::string& folder) {
    if (path.empty() || folder.empty()) {
        return false;
    }
    const std::filesystem::path inner = std::filesystem::path(path).lexically_normal();
    // The program's path has its links resolved; so must the folder's.
    std::error_code error;
    std::filesystem::path outer = std::filesystem::weakly_canonical(folder, error);
    if (error) {
        outer = std::filesystem::path(folder);
    }
    outer = outer.lexically_normal();
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
        if (o->empty() && std::next(o) == outer.end()) {
            break; // a trailing separator
        }
        if (i == inner.end() || *i != *o) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string systemVersionString() {
    const std::string version = QSysInfo::productVersion().toStdString();
    return version.empty() ? "unknown" : version;
}

std::vector<std::string> resourceDirectories() {
    std::vector<std::string> folders;
    if (const char* overriding = std::getenv("TOVRIN_RESOURCES");
        overriding != nullptr && *overriding != '\0') {
        folders.emplace_back(overriding);
    }
    const std::string bin = executableDirectory();
    if (isInsideFolder(bin, TOVRIN_BUILD_BINARY_DIR)) {
        folders.emplace_back(TOVRIN_BUILD_RESOURCE_DIR);
    }
    if (!bin.empty()) {
        folders.push_back((std::filesystem::path(bin).parent_path() / "share" / "tovrin").string());
    }
    return folders;
}

std::string pathForResource(std::string_view name, std::string_view extension,
                            std::string_view subdirectory) {
    std::string fileName(name);
    if (!extension.empty()) {
        fileName += '.';
        fileName += extension;
    }
    if (!isPlainName(name) || !isPlainName(fileName) || !isPlainRelativePath(subdirectory)) {
        return {};
    }
    for (const std::string& folder : resourceDirectories()) {
        const std::filesystem::path candidate = std::filesystem::path(folder) / subdirectory / fileName;
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) {
            return candidate.lexically_normal().string();
        }
    }
    return {};
}

std::string applicationSupportDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
}

std::string userCacheDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation).toStdString();
}

std::string localized(std::string_view text) {
    if (const LocalizationLookup& lookup = installedLookup()) {
        if (auto translation = lookup(text)) {
            return *translation;
        }
    }
    return std::string(text);
}

void setLocalizationLookup(LocalizationLookup lookup) {
    installedLookup() = std::move(lookup);
}

} // namespace platform
