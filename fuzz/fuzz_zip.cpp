// Feeds arbitrary bytes to the zip unpacker as an archive file and checks what it leaves behind: nothing
// beside the destination, and no symbolic link inside it. The fuzzer mutates archives as lists of
// entries (see the custom mutator at the end).
#include "document/SSZipArchive.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// One work folder for the whole run, removed at exit.
class WorkFolder {
public:
    WorkFolder() {
        std::string pattern = (fs::temp_directory_path() / "tovrin-fuzz-zip-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path = pattern;
    }
    ~WorkFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const WorkFolder work;
    const fs::path archive = work.path / "bundle.zip";
    const fs::path destination = work.path / "dest";
    std::ofstream(archive, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    SSZipArchive::Error error;
    SSZipArchive::unzipFileAtPathToDestinationOverwritePasswordError(archive.string(), destination.string(),
                                                                     true, "", &error);

    for (const auto& item : fs::directory_iterator(work.path)) {
        if (item.path() != archive && item.path() != destination) {
            std::abort();
        }
    }
    std::error_code ec;
    if (fs::exists(destination, ec)) {
        for (const auto& item : fs::recursive_directory_iterator(destination)) {
            if (item.is_symlink()) {
                std::abort();
            }
        }
    }
    fs::remove_all(destination, ec);
    return 0;
}

#if defined(TOVRIN_LIBFUZZER)

// Structure-aware mutation. Byte flips in an archive nearly always break a CRC or a size, so the unpacker
// refuses them early, before its checks of names, links, folders and dates. The mutator reads the input
// as a list of entries, changes one thing about the list (a name, the data, an entry more or less, the
// method, the type bits, the date) and writes a well-formed archive again with correct sizes and CRCs.
// One mutation in eight stays a plain byte mutation, so broken archives keep coming too.

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

struct ZipItem {
    std::string name;
    std::string data;
    std::uint16_t method = 8;
    std::uint16_t versionMadeBy = 20;
    std::uint32_t externalAttributes = 0;
    std::uint32_t dosDate = 0x526428C4;
};

constexpr std::size_t maxItemBytes = 1 << 16;

std::uint32_t read32(const uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t read16(const uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
void put16(std::string& out, std::uint32_t v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// The bare deflate stream (or the inflated bytes); none when zlib fails or the output would be too big.
// The fastest level: the unpacker reads every level alike, and the mutator runs once per input.
std::optional<std::string> deflateRaw(const std::string& bytes, bool inflate) {
    z_stream stream{};
    const int setUp =
        inflate ? inflateInit2(&stream, -MAX_WBITS)
                : deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    if (setUp != Z_OK) {
        return std::nullopt;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    std::string out;
    std::array<char, 4096> buffer{};
    int status = Z_OK;
    while (status == Z_OK && out.size() <= maxItemBytes) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
        stream.avail_out = static_cast<uInt>(buffer.size());
        status = inflate ? ::inflate(&stream, Z_NO_FLUSH) : ::deflate(&stream, Z_FINISH);
        out.append(buffer.data(), buffer.size() - stream.avail_out);
        if (inflate && status == Z_BUF_ERROR && stream.avail_in == 0) {
            break;
        }
    }
    inflate ? inflateEnd(&stream) : deflateEnd(&stream);
    if (status != Z_STREAM_END || out.size() > maxItemBytes) {
        return std::nullopt;
    }
    return out;
}

// The entries of an archive written as writeItems writes (local headers one after another, then the
// central directory); none for anything else.
std::optional<std::vector<ZipItem>> readItems(const uint8_t* data, size_t size) {
    std::vector<ZipItem> items;
    size_t at = 0;
    while (at + 30 <= size && read32(data + at) == 0x04034b50) {
        const std::uint16_t flags = read16(data + at + 6);
        const std::uint32_t compressed = read32(data + at + 18);
        const size_t nameLength = read16(data + at + 26);
        const size_t extraLength = read16(data + at + 28);
        const size_t start = at + 30 + nameLength + extraLength;
        if ((flags & 8) != 0 || start > size || compressed > size - start) {
            return std::nullopt;
        }
        ZipItem item;
        item.method = read16(data + at + 8);
        item.dosDate = read32(data + at + 10);
        item.name.assign(reinterpret_cast<const char*>(data + at + 30), nameLength);
        item.data.assign(reinterpret_cast<const char*>(data + start), compressed);
        if (item.method == 8) {
            item.data = deflateRaw(item.data, true).value_or(item.data);
        }
        if (item.method != 0 && item.method != 8) {
            item.method = 0;
        }
        items.push_back(std::move(item));
        at = start + compressed;
    }
    for (ZipItem& item : items) {
        if (at + 46 > size || read32(data + at) != 0x02014b50) {
            break;
        }
        item.versionMadeBy = read16(data + at + 4);
        item.externalAttributes = read32(data + at + 38);
        at += 46 + size_t(read16(data + at + 28)) + read16(data + at + 30) + read16(data + at + 32);
    }
    if (items.empty()) {
        return std::nullopt;
    }
    return items;
}

std::string writeItems(const std::vector<ZipItem>& items) {
    std::string out;
    std::string directory;
    for (const ZipItem& item : items) {
        const std::string stored =
            item.method == 8 ? deflateRaw(item.data, false).value_or(item.data) : item.data;
        const std::uint16_t method = item.method == 8 && stored != item.data ? 8 : 0;
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(item.data.data()), static_cast<uInt>(item.data.size())));
        const auto offset = static_cast<std::uint32_t>(out.size());
        put32(out, 0x04034b50);
        put16(out, 20);
        put16(out, 0);
        put16(out, method);
        put32(out, item.dosDate);
        put32(out, crc);
        put32(out, static_cast<std::uint32_t>(method == 8 ? stored.size() : item.data.size()));
        put32(out, static_cast<std::uint32_t>(item.data.size()));
        put16(out, static_cast<std::uint32_t>(item.name.size()));
        put16(out, 0);
        out += item.name;
        out += method == 8 ? stored : item.data;

        put32(directory, 0x02014b50);
        put16(directory, item.versionMadeBy);
        put16(directory, 20);
        put16(directory, 0);
        put16(directory, method);
        put32(directory, item.dosDate);
        put32(directory, crc);
        put32(directory, static_cast<std::uint32_t>(method == 8 ? stored.size() : item.data.size()));
        put32(directory, static_cast<std::uint32_t>(item.data.size()));
        put16(directory, static_cast<std::uint32_t>(item.name.size()));
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put32(directory, item.externalAttributes);
        put32(directory, offset);
        directory += item.name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<std::uint32_t>(items.size()));
    put16(out, static_cast<std::uint32_t>(items.size()));
    put32(out, static_cast<std::uint32_t>(directory.size()));
    put32(out, directoryOffset);
    put16(out, 0);
    return out;
}

// Lets libFuzzer's own byte mutations change the text, within the cap.
void mutateText(std::string& text, size_t cap) {
    const size_t size = text.size();
    text.resize(std::max(cap, size));
    text.resize(LLVMFuzzerMutate(reinterpret_cast<uint8_t*>(text.data()), size, text.size()));
}

// Parts of names that reach the unpacker's path checks.
constexpr std::array<const char*, 12> nameParts = {
    "f/",           "../", "./",      "\\",   "/", "a.svg", "d/d/d/d/d/d/d/d/d/",
    "fontdefs.xml", "..",  "f\\..\\", "\xff", "g/"};
// Type bits of the external attributes: none, a DOS folder, a stored folder type, a Unix link, folder and
// file.
constexpr std::array<std::uint32_t, 6> attributeValues = {
    0, 0x10, 0x4000, 0120777u << 16, 040755u << 16, 0100644u << 16};

} // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
    std::minstd_rand random(seed);
    std::optional<std::vector<ZipItem>> items = readItems(data, size);
    if (!items || random() % 8 == 0) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    ZipItem& item = (*items)[random() % items->size()];
    switch (random() % 8) {
    case 0:
        mutateText(item.name, 256);
        break;
    case 1:
        mutateText(item.data, 4096);
        break;
    case 2: {
        ZipItem added = item;
        added.name =
            std::string(nameParts[random() % nameParts.size()]) + nameParts[random() % nameParts.size()];
        items->insert(items->begin() + static_cast<std::ptrdiff_t>(random() % (items->size() + 1)), added);
        break;
    }
    case 3:
        if (items->size() > 1) {
            items->erase(items->begin() + static_cast<std::ptrdiff_t>(random() % items->size()));
        }
        break;
    case 4:
        item.method = item.method == 8 ? 0 : 8;
        break;
    case 5:
        item.externalAttributes = attributeValues[random() % attributeValues.size()];
        item.versionMadeBy = random() % 2 == 0 ? 20 : (3u << 8) | 20u;
        break;
    case 6:
        item.dosDate = static_cast<std::uint32_t>(random());
        break;
    default:
        item.name = nameParts[random() % nameParts.size()] + item.name;
        break;
    }
    const std::string archive = writeItems(*items);
    if (archive.size() > maxSize) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    std::memcpy(data, archive.data(), archive.size());
    return archive.size();
}

#endif
