#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Reads a whole regular file. Anything else (a folder, a pipe, a device) and a file larger than
// maxBytes give no value, so that a hostile or huge input can never make us allocate without bound.
// When errorMessage is given it receives a reason on failure.
std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path, std::size_t maxBytes,
                                                  std::string* errorMessage = nullptr);

// Whether the file at the path (a symbolic link is followed) exists and its permission bits deny writing
// to this process's user: the owner's bit for a file of ours, the group's or the others' otherwise. Root
// counts as its bits say, so that a file locked with mode 444 reads as locked to every user.
bool isWriteProtected(const std::filesystem::path& path);

// Writes the bytes so that the target holds either its old content or the whole new content, never a
// mixture: they go to a file in the target's folder, which is flushed to disk and then renamed over the
// target. On any failure the old file is left as it was, nothing new is left beside it, the answer is
// false and errorMessage (when given) says why.
//
// What is replaced is the file the path names: a symbolic link at the path is followed to its real file,
// which gets the new content in its own folder, and the link stays as it was. A target that exists and is
// not a regular file (a folder, a pipe, a device) is refused, and so is a write-protected one unless
// replaceWriteProtected says the user agreed. A replaced file keeps its permissions. A file with further
// hard links gets a new inode: its other names keep the previous content, as with every save that cannot
// leave a half-written file behind.
//
// Where the file system allows it the new content is written into a file without a name, which gets one
// only once it is complete, just before the rename, so a crash while writing leaves nothing behind; after
// a successful save, temporaries of the same file left by an earlier crash are removed.
bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::string* errorMessage = nullptr, bool replaceWriteProtected = false);

// The calls whose order makes a write durable, as a seam: a test can watch them or make them fail. Each
// answers 0 or -1 with errno set, as the system calls do.
class FileOperations {
public:
    virtual ~FileOperations() = default;
    virtual int flush(int fd);
    virtual int rename(const std::filesystem::path& from, const std::filesystem::path& to);
    // The operations of the system itself.
    static FileOperations& system();
};

bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         FileOperations& operations, std::string* errorMessage = nullptr,
                         bool replaceWriteProtected = false);
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* errorMessage = nullptr);

} // namespace platform
