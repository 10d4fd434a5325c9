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

// Writes the bytes so that the target holds either its old content or the whole new content, never a
// mixture: they go to a temporary file in the target's folder, which is flushed to disk and then renamed
// over the target. On any failure the old file is left as it was, the temporary file is removed, the
// answer is false and errorMessage (when given) says why. A file that is replaced keeps its permissions;
// a symbolic link at the target is replaced by the file, not followed.
bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::string* errorMessage = nullptr);

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
                         FileOperations& operations, std::string* errorMessage = nullptr);
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* errorMessage = nullptr);

} // namespace platform
