#include "platform/foundation/Base64.h"

#include <gtest/gtest.h>

namespace {

using platform::base64Decode;
using platform::base64Encode;

std::vector<std::uint8_t> bytesOf(std::string_view s) {
    return {s.begin(), s.end()};
}

TEST(Base64Test, EncodesTheStandardVectors) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(base64Encode(std::string_view(plain)), encoded);
        EXPECT_EQ(base64Decode(encoded), bytesOf(plain)) << encoded;
    }
    // The last two characters of the alphabet, and no line breaks however long the data.
    const std::vector<std::uint8_t> high = {0xFB, 0xFF, 0xBF};
    EXPECT_EQ(base64Encode(high), "+/+/");
    const std::string longText = base64Encode(std::string(300, 'x'));
    EXPECT_EQ(longText.find('\n'), std::string::npos);
    EXPECT_EQ(longText.size(), 400u);
}

TEST(Base64Test, RoundTripsEveryByte) {
    for (std::size_t length = 0; length < 260; length += 7) {
        std::vector<std::uint8_t> bytes(length);
        for (std::size_t i = 0; i < length; ++i) {
            bytes[i] = static_cast<std::uint8_t>(255 - i * 13);
        }
        EXPECT_EQ(base64Decode(base64Encode(bytes)), bytes);
    }
}

TEST(Base64Test, MalformedInputGivesNoValue) {
    for (const char* bad : {"Z", "Zg=", "Zm9vZ", "Zm9v\n", "Zm 9v", " Zm9v", "Zg==Zg==", "Zm9v====", "Z===",
                            "Zm9-", "Zm9_", "=Zm9", "Zm=v", "Zm9v=", "\xC3\xA4Zm"}) {
        EXPECT_FALSE(base64Decode(bad).has_value()) << bad;
    }
    // Input without its final padding is still read.
    EXPECT_EQ(base64Decode("Zg"), bytesOf("f"));
    EXPECT_EQ(base64Decode("Zm8"), bytesOf("fo"));
}

} // namespace
