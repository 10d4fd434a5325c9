#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// One entry of a zip archive that a test writes. By default the data is deflated and the headers say
// what it is; rawBytes, crc and declaredSize let a test write headers that lie about the data.
struct ZipEntry {
    // 2021-03-04 05:06:08 as an MS-DOS date and time word.
    static constexpr std::uint32_t defaultDosDate = 0x526428C4;
    // The Unix host in the upper byte of "version made by" and a link mode in the upper half of the
    // external attributes mark a symbolic link.
    static constexpr unsigned long unixVersionMadeBy = (3u << 8) | 20u;
    static constexpr unsigned long unixLinkAttributes = 0120777ul << 16;

    std::string name = {};
    std::string data = {};
    std::uint32_t dosDate = defaultDosDate;
    int method = 8; // deflate; 0 stores
    unsigned long externalAttributes = 0;
    unsigned long versionMadeBy = 0;
    std::optional<std::string> rawBytes = {};
    std::optional<std::uint32_t> crc = {};
    std::optional<std::uint64_t> declaredSize = {};
};

// Writes small zip archives with minizip's own writer, so the tests need no sample files.
class ZipMaker {
public:
    ZipMaker() = delete;
    // Writes the archive; false when minizip refused (a test then fails on its own assertion).
    static bool write(const std::filesystem::path& path, const std::vector<ZipEntry>& entries);
    // The bare deflate stream of the bytes, as a zip entry holds it.
    static std::string rawDeflate(const std::string& bytes);
    static std::uint32_t crcOf(const std::string& bytes);
};
