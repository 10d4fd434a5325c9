#include "document/SSZipArchive.h"

#include "document/SSZipArchiveDelegate.h"

#include <array>
#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

#include <unzip.h>

namespace {

constexpr std::size_t readBufferSize = 4096;

// A path below the destination as its folder and file names; ".", ".." and empty names never occur.
using Components = std::vector<std::string>;

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (a failed close can mean lost data).
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    void reset() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    int fd_ = -1;
};

// Closes the archive when it goes out of scope.
class Archive {
public:
    explicit Archive(unzFile file) : file_(file) {}
    ~Archive() {
        if (file_ != nullptr) {
            unzClose(file_);
        }
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;
    unzFile get() const { return file_; }

private:
    unzFile file_;
};

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t value = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            value = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            value = (value << 6) | (next & 0x3F);
        }
        static constexpr std::array<char32_t, 5> smallest = {0, 0, 0x80, 0x800, 0x10000};
        if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

// The entry's name as a path below the destination, with "\" read as "/" and "." and ".." resolved;
// none for a name that is absolute, leaves the destination, holds a NUL, is not UTF-8 or is too long.
std::optional<Components> componentsOfEntryName(std::string name) {
    // Longer names are no paths the system could use, and deep ones only cost folder walks.
    constexpr std::size_t maxNameBytes = PATH_MAX;
    if (name.empty() || name.size() > maxNameBytes || name.find('\0') != std::string::npos ||
        !isValidUtf8(name)) {
        return std::nullopt;
    }
    for (char& c : name) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (name.front() == '/') {
        return std::nullopt;
    }
    Components components;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos) {
            end = name.size();
        }
        const std::string_view part(name.data() + start, end - start);
        if (part == "..") {
            if (components.empty()) {
                return std::nullopt;
            }
            components.pop_back();
        } else if (!part.empty() && part != ".") {
            components.emplace_back(part);
        }
        start = end + 1;
    }
    return components;
}

// Entries that would become symbolic links: a Unix link mode in the upper half of the external
// attributes, and also the stored entries with a folder type in the lower half that older unpackers
// took for links. Neither is ever made.
bool isLinkEntry(const unz_file_info64& info) {
    constexpr unsigned long typeMask = 0xF000;
    constexpr unsigned long unixLinkType = 0xA000;
    constexpr unsigned long unixHost = 3;
    const bool unixLink =
        (info.version >> 8) == unixHost && ((info.external_fa >> 16) & typeMask) == unixLinkType;
    const bool storedWithFolderType =
        info.compression_method == 0 && (info.external_fa & typeMask) == 0x4000 && info.compressed_size != 0;
    return unixLink || storedWithFolderType;
}

bool readCurrentEntry(unzFile file, unz_file_info64& info, std::string& name) {
    if (unzGetCurrentFileInfo64(file, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
        return false;
    }
    name.assign(info.size_filename, '\0');
    return unzGetCurrentFileInfo64(file, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0,
                                   nullptr, 0) == UNZ_OK;
}

// One entry as it will be unpacked.
struct Entry {
    unz_file_info64 info{};
    Components components;
    bool folder = false;
};

// The list of an archive's entries as checked, or why the archive is refused.
struct Survey {
    std::vector<Entry> entries;
    std::string refusal;
};

// Reads the whole list of entries and checks every one before anything is written; the refusal says why
// the archive must be refused. `listedEntries` is the count the archive's end record gives.
Survey surveyArchive(unzFile file, std::uint64_t listedEntries) {
    Survey survey;
    std::vector<Entry>& entries = survey.entries;
    const auto refuse = [&](std::string why) {
        entries.clear();
        survey.refusal = std::move(why);
        return std::move(survey);
    };
    std::uint64_t totalBytes = 0;
    int status = UNZ_OK;
    for (status = unzGoToFirstFile(file); status == UNZ_OK; status = unzGoToNextFile(file)) {
        Entry entry;
        std::string name;
        if (entries.size() >= SSZipArchive::maxEntries) {
            return refuse("the archive holds more than " + std::to_string(SSZipArchive::maxEntries) +
                          " entries");
        }
        if (!readCurrentEntry(file, entry.info, name)) {
            return refuse("an entry's header cannot be read");
        }
        const std::optional<Components> components = componentsOfEntryName(name);
        if (!components) {
            return refuse("an entry's name is no path inside the destination folder");
        }
        if (components->size() > SSZipArchive::maxNameDepth) {
            return refuse("an entry lies more than " + std::to_string(SSZipArchive::maxNameDepth) +
                          " folders deep");
        }
        if (isLinkEntry(entry.info)) {
            return refuse("an entry is a link");
        }
        entry.folder = name.back() == '/' || name.back() == '\\';
        if (components->empty() && !entry.folder) {
            return refuse("an entry's name is no path inside the destination folder");
        }
        entry.components = *components;
        if (!entry.folder) {
            const std::uint64_t size = entry.info.uncompressed_size;
            if (size > SSZipArchive::maxEntryBytes) {
                return refuse("an entry is larger than " + std::to_string(SSZipArchive::maxEntryBytes) +
                              " bytes");
            }
            if (size > SSZipArchive::maxTotalBytes - totalBytes) {
                return refuse("the entries are larger than " + std::to_string(SSZipArchive::maxTotalBytes) +
                              " bytes together");
            }
            totalBytes += size;
        }
        entries.push_back(std::move(entry));
    }
    // A count of 65,535 in the end record may mean "more, see elsewhere", so the zip library does not stop
    // after that many entries and looks for a next one; past the last entry it finds the end record
    // instead, which ends a list of exactly that many.
    const bool fullShortCount =
        listedEntries == 0xFFFF && entries.size() == 0xFFFF && status == UNZ_BADZIPFILE;
    if (status != UNZ_END_OF_LIST_OF_FILE && !fullShortCount) {
        return refuse("the list of entries is damaged");
    }
    return survey;
}

// Something this run made, to be removed again when the run fails.
struct MadeItem {
    Components components;
    bool folder = false;
};

// Opens the folder at the components below the root. No step passes through a symbolic link: a link on
// the way, whether from the archive or already there, makes the open fail. With made given, missing
// folders are created and noted there.
Descriptor openFolder(int rootFd, std::span<const std::string> components, std::vector<MadeItem>* made) {
    Descriptor folder(::fcntl(rootFd, F_DUPFD_CLOEXEC, 0));
    for (std::size_t i = 0; i < components.size() && folder.valid(); ++i) {
        const char* name = components[i].c_str();
        if (made != nullptr) {
            if (::mkdirat(folder.get(), name, 0755) == 0) {
                made->push_back({Components(components.begin(), components.begin() + i + 1), true});
            } else if (errno != EEXIST) {
                return {};
            }
        }
        folder = Descriptor(::openat(folder.get(), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    return folder;
}

Descriptor openParentFolder(int rootFd, const Components& components, std::vector<MadeItem>* made) {
    return openFolder(rootFd, std::span(components).first(components.size() - 1), made);
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Copies the open entry into a new file at the components; any data, size or write error fails.
bool writeEntryFile(unzFile file, int rootFd, const Entry& entry, std::vector<MadeItem>& made) {
    const Descriptor parent = openParentFolder(rootFd, entry.components, &made);
    if (!parent.valid()) {
        return false;
    }
    const char* name = entry.components.back().c_str();
    // Removing first means a link already at the path is replaced, never written through.
    if (::unlinkat(parent.get(), name, 0) != 0 && errno != ENOENT) {
        return false;
    }
    Descriptor out(::openat(parent.get(), name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!out.valid()) {
        return false;
    }
    made.push_back({entry.components, false});
    std::array<char, readBufferSize> buffer{};
    std::uint64_t written = 0;
    for (;;) {
        const int n = unzReadCurrentFile(file, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        written += static_cast<std::uint64_t>(n);
        if (written > entry.info.uncompressed_size || !writeAll(out.get(), buffer.data(), std::size_t(n))) {
            return false;
        }
    }
    // A stored entry cut short ends without a CRC check, so its length is checked here.
    return written == entry.info.uncompressed_size && out.close();
}

bool existsAt(int rootFd, const Components& components) {
    const Descriptor parent = openParentFolder(rootFd, components, nullptr);
    struct stat status {};
    return parent.valid() &&
           ::fstatat(parent.get(), components.back().c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

void setModificationDate(int rootFd, const Components& components,
                         std::chrono::system_clock::time_point date) {
    const Descriptor parent = openParentFolder(rootFd, components, nullptr);
    if (!parent.valid()) {
        return;
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count();
    const std::array<timespec, 2> times = {timespec{0, UTIME_OMIT},
                                           timespec{static_cast<time_t>(seconds), 0}};
    ::utimensat(parent.get(), components.back().c_str(), times.data(), AT_SYMLINK_NOFOLLOW);
}

// Removes what a failed run made, newest first; a folder goes only when it is empty again.
void removeMadeItems(int rootFd, const std::vector<MadeItem>& made) {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        const Descriptor parent = openParentFolder(rootFd, it->components, nullptr);
        if (parent.valid()) {
            ::unlinkat(parent.get(), it->components.back().c_str(), it->folder ? AT_REMOVEDIR : 0);
        }
    }
}

void setError(SSZipArchive::Error* error, int code, const char* description) {
    if (error != nullptr) {
        *error = {SSZipArchive::errorDomain, code, description};
    }
}

bool isRegularFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// minizip takes an end record at the very start of the file for a missing one, so it does not open an
// archive without entries and comment. Such a file is an archive that has no first entry, not a file
// that is no archive.
bool isEmptyArchive(const std::string& path) {
    std::array<char, 22> record{};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(record.data(), record.size())) {
        return false;
    }
    const std::string_view bytes(record.data(), record.size());
    return bytes.substr(0, 4) == std::string_view("PK\x05\x06", 4) &&
           bytes.substr(8, 4) == std::string_view("\0\0\0\0", 4);
}

} // namespace

bool SSZipArchive::unzipFileAtPathToDestination(const std::string& path, const std::string& destination) {
    return unzipFileAtPathToDestinationOverwritePasswordErrorDelegate(path, destination, true, {}, nullptr,
                                                                      nullptr);
}

bool SSZipArchive::unzipFileAtPathToDestinationDelegate(const std::string& path,
                                                        const std::string& destination,
                                                        SSZipArchiveDelegate* delegate) {
    return unzipFileAtPathToDestinationOverwritePasswordErrorDelegate(path, destination, true, {}, nullptr,
                                                                      delegate);
}

bool SSZipArchive::unzipFileAtPathToDestinationOverwritePasswordError(const std::string& path,
                                                                      const std::string& destination,
                                                                      bool overwrite,
                                                                      const std::string& password,
                                                                      Error* error) {
    return unzipFileAtPathToDestinationOverwritePasswordErrorDelegate(path, destination, overwrite, password,
                                                                      error, nullptr);
}

bool SSZipArchive::unzipFileAtPathToDestinationOverwritePasswordErrorDelegate(
    const std::string& path, const std::string& destination, bool overwrite, const std::string& password,
    Error* error, SSZipArchiveDelegate* delegate) {
    // Only regular files are opened: a pipe or device at the path would block or never end.
    const Archive archive(isRegularFile(path) ? unzOpen64(path.c_str()) : nullptr);
    if (archive.get() == nullptr) {
        if (isRegularFile(path) && isEmptyArchive(path)) {
            setError(error, errorCodeFailedToOpenFirstFile, "failed to open first file in zip file");
        } else {
            setError(error, errorCodeFailedToOpen, "failed to open zip file");
        }
        return false;
    }
    unzFile file = archive.get();
    unz_global_info64 globalInfo{};
    if (unzGetGlobalInfo64(file, &globalInfo) != UNZ_OK || unzGoToFirstFile(file) != UNZ_OK) {
        setError(error, errorCodeFailedToOpenFirstFile, "failed to open first file in zip file");
        return false;
    }
    const Survey survey = surveyArchive(file, globalInfo.number_entry);
    if (!survey.refusal.empty()) {
        setError(error, errorCodeRefused, ("the archive was refused: " + survey.refusal).c_str());
        return false;
    }
    const std::vector<Entry>* entries = &survey.entries;
    if (unzGoToFirstFile(file) != UNZ_OK) {
        setError(error, errorCodeRefused, "the archive was refused: its first entry cannot be read again");
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(destination, ec);
    const Descriptor root(::open(destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root.valid()) {
        setError(error, errorCodeUnpackFailed, "the destination folder cannot be opened");
        return false;
    }

    if (delegate != nullptr) {
        delegate->zipArchiveWillUnzipArchiveAtPathZipInfo(path, globalInfo);
    }
    const long totalFiles = static_cast<long>(globalInfo.number_entry);
    const char* entryPassword = password.empty() ? nullptr : password.c_str();
    std::vector<MadeItem> made;
    std::vector<std::pair<Components, std::chrono::system_clock::time_point>> dates;
    bool success = true;
    long index = 0;
    for (std::size_t i = 0; i < entries->size(); ++i) {
        const Entry& entry = (*entries)[i];
        if (i > 0 && unzGoToNextFile(file) != UNZ_OK) {
            success = false;
            break;
        }
        if (unzOpenCurrentFilePassword(file, entryPassword) != UNZ_OK) {
            success = false;
            break;
        }
        if (delegate != nullptr) {
            delegate->zipArchiveWillUnzipFileAtIndexTotalFilesArchivePathFileInfo(index, totalFiles, path,
                                                                                  entry.info);
        }
        if (!entry.folder && !overwrite && existsAt(root.get(), entry.components)) {
            unzCloseCurrentFile(file);
            continue;
        }
        const bool written = entry.folder ? openFolder(root.get(), entry.components, &made).valid()
                                          : writeEntryFile(file, root.get(), entry, made);
        // Closing the entry checks its CRC once it was read to the end.
        const bool closed = unzCloseCurrentFile(file) == UNZ_OK;
        if (!written || !closed) {
            success = false;
            break;
        }
        if (!entry.components.empty()) {
            dates.emplace_back(entry.components, _dateWithMSDOSFormat(std::uint32_t(entry.info.dosDate)));
        }
        if (delegate != nullptr) {
            delegate->zipArchiveDidUnzipFileAtIndexTotalFilesArchivePathFileInfo(index, totalFiles, path,
                                                                                 entry.info);
        }
        ++index;
    }

    if (!success) {
        removeMadeItems(root.get(), made);
        setError(error, errorCodeUnpackFailed,
                 "an entry could not be read in full or written, and nothing was kept");
        return false;
    }
    // Dates go on last, since writing a file touches its folder's date.
    for (const auto& [components, date] : dates) {
        setModificationDate(root.get(), components, date);
    }
    if (delegate != nullptr) {
        delegate->zipArchiveDidUnzipArchiveAtPathZipInfoUnzippedPath(path, globalInfo, destination);
    }
    return true;
}

std::chrono::system_clock::time_point SSZipArchive::_dateWithMSDOSFormat(std::uint32_t msdosDateTime) {
    std::tm fields{};
    fields.tm_year = static_cast<int>(msdosDateTime >> 25) + 1980 - 1900;
    fields.tm_mon = static_cast<int>((msdosDateTime >> 21) & 15) - 1;
    fields.tm_mday = static_cast<int>((msdosDateTime >> 16) & 31);
    fields.tm_hour = static_cast<int>((msdosDateTime >> 11) & 31);
    fields.tm_min = static_cast<int>((msdosDateTime >> 5) & 63);
    fields.tm_sec = static_cast<int>(msdosDateTime & 31) * 2;
    fields.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&fields));
}
