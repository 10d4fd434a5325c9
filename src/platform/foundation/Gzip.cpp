#include "platform/foundation/Gzip.h"

#include <algorithm>
#include <climits>
#include <zlib.h>

namespace platform {

namespace {

// Ends the inflate stream however the read ends.
class InflateStream {
public:
    InflateStream() = default;
    ~InflateStream() {
        if (open_) {
            inflateEnd(&stream_);
        }
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;

    // 15 window bits plus 32: a gzip or a zlib header is recognised.
    bool open() { return open_ = inflateInit2(&stream_, 15 + 32) == Z_OK; }
    z_stream& get() { return stream_; }

private:
    z_stream stream_{};
    bool open_ = false;
};

// Points the stream at the next input (when it has used up what it had) and at the free rest of the output;
// answers the room it was given. zlib counts both in 32-bit units.
uInt offer(z_stream& stream, std::span<const std::uint8_t> bytes, std::size_t& consumed,
           std::vector<std::uint8_t>& out, std::size_t produced) {
    if (stream.avail_in == 0) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - consumed, UINT_MAX);
        stream.next_in = const_cast<Bytef*>(bytes.data() + consumed);
        stream.avail_in = static_cast<uInt>(chunk);
        consumed += chunk;
    }
    const uInt room = static_cast<uInt>(std::min<std::size_t>(out.size() - produced, UINT_MAX));
    stream.next_out = out.data() + produced;
    stream.avail_out = room;
    return room;
}

} // namespace

std::optional<std::vector<std::uint8_t>> gzipDeflate(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return std::vector<std::uint8_t>{};
    }
    z_stream stream{};
    // 15 window bits plus 16: a gzip wrapper.
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        return std::nullopt;
    }
    constexpr std::size_t step = 16384;
    std::vector<std::uint8_t> out;
    std::size_t produced = 0;
    std::size_t consumed = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END && status != Z_STREAM_ERROR) {
        if (produced == out.size()) {
            out.resize(out.size() + step);
        }
        const uInt room = offer(stream, bytes, consumed, out, produced);
        status = deflate(&stream, consumed == bytes.size() ? Z_FINISH : Z_NO_FLUSH);
        produced += room - stream.avail_out;
    }
    deflateEnd(&stream);
    if (status != Z_STREAM_END) {
        return std::nullopt;
    }
    out.resize(produced);
    return out;
}

std::optional<std::vector<std::uint8_t>> gzipInflate(std::span<const std::uint8_t> bytes,
                                                     std::size_t maxBytes, InflateReport* report) {
    InflateReport ignored;
    InflateReport& outcome = report != nullptr ? *report : ignored;
    outcome = InflateReport{};
    if (bytes.empty()) {
        return std::vector<std::uint8_t>{};
    }
    InflateStream inflater;
    if (!inflater.open()) {
        return std::nullopt;
    }
    z_stream& stream = inflater.get();
    // Output starts at one and a half times the input and grows by half the input or by its own size,
    // whichever is more (a fixed step would copy a highly compressed stream's output over and over), never
    // past one byte over the cap, which tells that the cap was exceeded.
    const std::size_t step = std::max<std::size_t>(bytes.size() / 2, 1);
    const std::size_t limit = maxBytes + 1;
    std::vector<std::uint8_t> out(std::min(bytes.size() + step, limit));
    std::size_t produced = 0;
    std::size_t consumed = 0;
    for (;;) {
        if (produced == out.size()) {
            if (out.size() == limit) {
                outcome.tooLarge = true;
                return std::nullopt;
            }
            out.resize(std::min(out.size() + std::max(step, out.size()), limit));
        }
        const uInt room = offer(stream, bytes, consumed, out, produced);
        const int status = inflate(&stream, Z_SYNC_FLUSH);
        produced += room - stream.avail_out;
        if (status == Z_STREAM_END) {
            if (produced > maxBytes) {
                outcome.tooLarge = true;
                return std::nullopt;
            }
            outcome.bytesAfterStream = consumed - stream.avail_in < bytes.size();
            out.resize(produced);
            return out;
        }
        // Anything but progress (damaged data, a wrong check value, input that ends before the stream,
        // no memory) fails the whole read.
        if (status != Z_OK) {
            return std::nullopt;
        }
    }
}

} // namespace platform
