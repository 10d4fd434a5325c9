#pragma once

// A gzip stream that holds bytes in stored (uncompressed) blocks. The fuzz targets that read songs wrap
// every input that is not gzip already in one, so that mutations reach the XML rather than dying at the
// stream's check value. Compressing them instead cost most of each run's time; the reader unpacks a stored
// stream through the same code as a compressed one.
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline std::vector<std::uint8_t> storedGzip(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> out = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 0xFF};
    out.reserve(bytes.size() + bytes.size() / 65535 * 5 + 32);
    const auto put32 = [&out](std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    };
    std::size_t at = 0;
    do {
        const std::size_t length = std::min<std::size_t>(bytes.size() - at, 65535);
        const bool last = at + length == bytes.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                   bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < bytes.size());
    put32(static_cast<std::uint32_t>(
        crc32(crc32(0, nullptr, 0), bytes.data(), static_cast<uInt>(bytes.size()))));
    put32(static_cast<std::uint32_t>(bytes.size()));
    return out;
}
