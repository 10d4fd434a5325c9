#include "platform/foundation/Files.h"

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

bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::string* errorMessage) {
    return writeFileAtomically(path, bytes, FileOperations::system(), errorMessage);
}

bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         FileOperations& operations, std::string* errorMessage) {
    if (path.empty() || !path.has_filename()) {
        setError(errorMessage, "no file name in " + path.string());
        return false;
    }
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) {
        folder = ".";
    }

    // The temporary file lives in the target's folder so that the rename stays on one file system.
    // It is created with 0666, narrowed by the umask like any new file.
    std::filesystem::path temporary;
    int rawFd = -1;
    for (int attempt = 0; attempt < 100 && rawFd < 0; ++attempt) {
        temporary = folder / ("." + path.filename().string() + ".tmp-" + randomSuffix());
        rawFd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (rawFd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (rawFd < 0) {
        setError(errorMessage, "cannot create a temporary file for", path, errno);
        return false;
    }
    FileDescriptor fd(rawFd);
    auto fail = [&](const std::string& what, int err) {
        setError(errorMessage, what, path, err);
        ::unlink(temporary.c_str());
        return false;
    };

    int err = 0;
    if (!writeAll(fd.get(), bytes.data(), bytes.size(), err)) {
        return fail("cannot write", err);
    }
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        // Failure to copy the mode is not worth losing the save over.
        (void)::fchmod(fd.get(), existing.st_mode & 07777);
    }
    if (operations.flush(fd.get()) != 0) {
        return fail("cannot flush", errno);
    }
    if (!fd.close()) {
        return fail("cannot close", errno);
    }
    if (operations.rename(temporary, path) != 0) {
        return fail("cannot replace", errno);
    }
    // Make the rename itself durable; the new content is in place whether or not this succeeds.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        (void)operations.flush(folderFd);
        ::close(folderFd);
    }
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
