#include "platform/foundation/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

void setError(std::string* errorMessage, const std::string& what, const std::filesystem::path& path,
              int err) {
    if (errorMessage != nullptr) {
        *errorMessage = what + " " + path.string() + ": " + std::strerror(err);
    }
}

void setError(std::string* errorMessage, const std::string& text) {
    if (errorMessage != nullptr) {
        *errorMessage = text;
    }
}

// Closes a descriptor when it goes out of scope unless it was handed back.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) {
                ::close(fd_);
            }
            fd_ = other.fd_;
            other.fd_ = -1;
        }
        return *this;
    }
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded (a failed close can mean lost data).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, const std::uint8_t* data, std::size_t size, int& err) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            err = errno;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string randomSuffix() {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 8; ++i) {
        suffix += digits[generator() % (sizeof(digits) - 1)];
    }
    return suffix;
}

} // namespace

std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path, std::size_t maxBytes,
                                                  std::string* errorMessage) {
    // O_NONBLOCK keeps the open from hanging on a pipe; only regular files are read.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        setError(errorMessage, "cannot open", path, errno);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        setError(errorMessage, "cannot inspect", path, errno);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        setError(errorMessage, "not a regular file: " + path.string());
        return std::nullopt;
    }
    if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        setError(errorMessage, "file too large: " + path.string());
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof(buffer));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            setError(errorMessage, "cannot read", path, errno);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        // The file may grow while it is read; the cap holds for what is actually read.
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            setError(errorMessage, "file too large: " + path.string());
            return std::nullopt;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

int FileOperations::flush(int fd) {
    return ::fsync(fd);
}

int FileOperations::rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str());
}

FileOperations& FileOperations::system() {
    static FileOperations operations;
    return operations;
}

bool isWriteProtected(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    mode_t writeBit = S_IWOTH;
    if (info.st_uid == ::geteuid()) {
        writeBit = S_IWUSR;
    } else if (info.st_gid == ::getegid()) {
        writeBit = S_IWGRP;
    } else {
        const int count = ::getgroups(0, nullptr);
        std::vector<gid_t> groups(count > 0 ? static_cast<std::size_t>(count) : 0);
        if (count > 0 && ::getgroups(count, groups.data()) == count &&
            std::find(groups.begin(), groups.end(), info.st_gid) != groups.end()) {
            writeBit = S_IWGRP;
        }
    }
    return (info.st_mode & writeBit) == 0;
}

bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::string* errorMessage, bool replaceWriteProtected) {
    return writeFileAtomically(path, bytes, FileOperations::system(), errorMessage, replaceWriteProtected);
}

namespace {

constexpr std::string_view temporaryMark = ".tmp-";
constexpr std::size_t temporarySuffixLength = 8;

std::string temporaryName(const std::filesystem::path& target) {
    return "." + target.filename().string() + std::string(temporaryMark) + randomSuffix();
}

// Whether the name is one that temporaryName gives for the target.
bool isTemporaryNameOf(const std::string& name, const std::filesystem::path& target) {
    const std::string prefix = "." + target.filename().string() + std::string(temporaryMark);
    if (name.size() != prefix.size() + temporarySuffixLength || name.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

// Removes the temporaries of the target that a save interrupted by a crash left in the folder.
void removeStaleTemporaries(const std::filesystem::path& folder, const std::filesystem::path& target) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path& item = it->path();
        struct stat info {};
        if (isTemporaryNameOf(item.filename().string(), target) && ::lstat(item.c_str(), &info) == 0 &&
            S_ISREG(info.st_mode)) {
            ::unlink(item.c_str());
        }
    }
}

// Gives the unnamed file of the descriptor the name, without following anything at that name.
bool linkUnnamedFile(int fd, const std::filesystem::path& name) {
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    // Without /proc, linking the descriptor itself needs a privilege that root has.
    return errno != EEXIST && ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         FileOperations& operations, std::string* errorMessage, bool replaceWriteProtected) {
    if (path.empty() || !path.has_filename()) {
        setError(errorMessage, "no file name in " + path.string());
        return false;
    }
    // A link at the path stands for its real file, which is the one replaced, in its own folder.
    std::filesystem::path target = path;
    struct stat linkInfo {};
    if (::lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
        std::error_code ec;
        target = std::filesystem::canonical(path, ec);
        if (ec) {
            setError(errorMessage, "the link " + path.string() + " leads to no file: " + ec.message());
            return false;
        }
    }
    struct stat existing {};
    const bool exists = ::lstat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        setError(errorMessage, target.string() + " is not a regular file and is not replaced by one");
        return false;
    }
    if (exists && !replaceWriteProtected && isWriteProtected(target)) {
        setError(errorMessage, target.string() + " is write-protected");
        return false;
    }
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }

    // The new file lives in the target's folder so that the rename stays on one file system. It is
    // created with 0666, narrowed by the umask like any new file. First without a name (not every file
    // system can), then under a hidden temporary one.
    std::filesystem::path temporary;
    FileDescriptor fd(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    bool named = false;
    auto fail = [&](const std::string& what, int err) {
        setError(errorMessage, what, path, err);
        if (named) {
            ::unlink(temporary.c_str());
        }
        return false;
    };
    for (int round = 0; round < 2; ++round) {
        if (fd.get() < 0) {
            int rawFd = -1;
            for (int attempt = 0; attempt < 100 && rawFd < 0; ++attempt) {
                temporary = folder / temporaryName(target);
                rawFd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                if (rawFd < 0 && errno != EEXIST) {
                    break;
                }
            }
            if (rawFd < 0) {
                setError(errorMessage, "cannot create a temporary file for", path, errno);
                return false;
            }
            fd = FileDescriptor(rawFd);
            named = true;
        }
        int err = 0;
        if (!writeAll(fd.get(), bytes.data(), bytes.size(), err)) {
            return fail("cannot write", err);
        }
        if (exists) {
            // Failure to copy the mode is not worth losing the save over.
            (void)::fchmod(fd.get(), existing.st_mode & 07777);
        }
        if (operations.flush(fd.get()) != 0) {
            return fail("cannot flush", errno);
        }
        if (!named) {
            // The complete file gets its name only now, just before it replaces the target.
            for (int attempt = 0; attempt < 100 && !named; ++attempt) {
                temporary = folder / temporaryName(target);
                named = linkUnnamedFile(fd.get(), temporary);
                if (!named && errno != EEXIST) {
                    break;
                }
            }
            if (!named) {
                // The file cannot be given a name here: write it again under one.
                fd = FileDescriptor(-1);
                continue;
            }
        }
        break;
    }
    if (!fd.close()) {
        return fail("cannot close", errno);
    }
    if (operations.rename(temporary, target) != 0) {
        return fail("cannot replace", errno);
    }
    // Make the rename itself durable; the new content is in place whether or not this succeeds.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        (void)operations.flush(folderFd);
        ::close(folderFd);
    }
    removeStaleTemporaries(folder, target);
    return true;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* errorMessage) {
    return writeFileAtomically(
        path,
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
        errorMessage);
}

} // namespace platform
