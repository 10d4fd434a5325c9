#include "platform/foundation/Gzip.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>
#include <zlib.h>

using platform::gzipInflate;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes gzipped(const Bytes& bytes) {
    return platform::gzipDeflate(bytes).value_or(Bytes{});
}

// A zlib stream, and the raw deflate stream inside it (without its two-byte header and its check value).
Bytes zlibbed(const Bytes& bytes) {
    uLongf size = compressBound(bytes.size());
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, bytes.data(), bytes.size(), Z_DEFAULT_COMPRESSION), Z_OK);
    out.resize(size);
    return out;
}

Bytes rawDeflate(const Bytes& bytes) {
    const Bytes zlib = zlibbed(bytes);
    return Bytes(zlib.begin() + 2, zlib.end() - 4);
}

} // namespace

TEST(GzipDeflateTest, MakesOneGzipStreamThatReadsBack) {
    EXPECT_EQ(platform::gzipDeflate(Bytes{}), Bytes{});
    Bytes large(100000);
    for (std::size_t i = 0; i < large.size(); ++i) {
        large[i] = static_cast<std::uint8_t>((i * 7919) >> 3); // little to compress: output grows in steps
    }
    for (const Bytes& input : {bytesOf("<tovrin/>"), large}) {
        const Bytes gzip = gzipped(input);
        ASSERT_GE(gzip.size(), 2u);
        EXPECT_EQ(gzip[0], 0x1F);
        EXPECT_EQ(gzip[1], 0x8B);
        EXPECT_EQ(gzipInflate(gzip, input.size()), input);
    }
}

TEST(GzipInflateTest, ReadsGzipAndZlibStreamsAndRefusesTheRest) {
    const Bytes text = bytesOf("<tovrin><pages/></tovrin>\n");
    const Bytes gzip = gzipped(text);
    Bytes twoMembers = gzip;
    const Bytes second = gzipped(bytesOf("other"));
    twoMembers.insert(twoMembers.end(), second.begin(), second.end());
    Bytes badCheck = gzip;
    badCheck[badCheck.size() - 5] ^= 0xFF; // the CRC

    struct Case {
        const char* name;
        Bytes input;
        std::optional<Bytes> output;
    };
    const Case cases[] = {
        {"empty", {}, Bytes{}},
        {"gzip", gzip, text},
        {"zlib", zlibbed(text), text},
        {"two gzip members: the first only", twoMembers, text},
        {"raw deflate", rawDeflate(text), std::nullopt},
        {"wrong check value", badCheck, std::nullopt},
        {"not compressed", text, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(gzipInflate(c.input, 1 << 20), c.output);
    }
    // Cut short anywhere, the stream fails.
    for (std::size_t length = 1; length < gzip.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_FALSE(gzipInflate(Bytes(gzip.begin(), gzip.begin() + length), 1 << 20));
    }
}

TEST(GzipInflateTest, OutputIsCappedHoweverSmallTheInput) {
    Bytes thousand;
    for (int i = 0; i < 100; ++i) {
        const Bytes digits = bytesOf("0123456789");
        thousand.insert(thousand.end(), digits.begin(), digits.end());
    }
    const Bytes exact = gzipped(thousand);
    EXPECT_EQ(gzipInflate(exact, 1000)->size(), 1000u);
    EXPECT_FALSE(gzipInflate(exact, 999));
    EXPECT_EQ(gzipInflate(exact, 0), std::nullopt);

    // A bomb: 64 MiB of zeros in a few hundred kilobytes stops at the cap.
    const Bytes bomb = gzipped(Bytes(64 << 20, 0));
    EXPECT_LT(bomb.size(), 1u << 20);
    EXPECT_FALSE(gzipInflate(bomb, 16 << 20));
}
