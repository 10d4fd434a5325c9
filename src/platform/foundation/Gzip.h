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

// Unpacks a gzip or zlib stream (the header tells which; a raw deflate stream is refused). Only the first
// gzip member is read; bytes after the end of the stream are ignored. Empty input gives empty output. No
// value when the stream is damaged, ends early or would unpack to more than maxBytes: a few kilobytes of
// input can describe gigabytes, so the cap is what bounds the memory a hostile file can take, and output
// grows only as the stream delivers it.
std::optional<std::vector<std::uint8_t>> gzipInflate(std::span<const std::uint8_t> bytes,
                                                     std::size_t maxBytes);

} // namespace platform
