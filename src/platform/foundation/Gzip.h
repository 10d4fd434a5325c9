#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform {

// One complete gzip stream of the bytes (zlib's default level and header); empty input gives empty output,
// not a stream of nothing. No value when the compressor cannot be set up.
std::optional<std::vector<std::uint8_t>> gzipDeflate(std::span<const std::uint8_t> bytes);

// What an unpacking tells beside its bytes: that the cap refused the stream, or that bytes follow the end
// of the stream (another gzip member, or anything else), which the unpacking did not read.
struct InflateReport {
    bool tooLarge = false;
    bool bytesAfterStream = false;
};

// Unpacks a gzip or zlib stream (the header tells which; a raw deflate stream is refused). Only the first
// gzip member is read; bytes after the end of the stream are ignored (the report tells of them). Empty
// input gives empty output. No value when the stream is damaged, ends early or would unpack to more than
// maxBytes: a few kilobytes of input can describe gigabytes, so the cap is what bounds the memory a hostile
// file can take, and output grows only as the stream delivers it.
std::optional<std::vector<std::uint8_t>> gzipInflate(std::span<const std::uint8_t> bytes,
                                                     std::size_t maxBytes, InflateReport* report = nullptr);

} // namespace platform
