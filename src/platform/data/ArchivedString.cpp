#include "platform/data/ArchivedString.h"

#include <QStringDecoder>

#include <string_view>

namespace platform {

namespace {

constexpr std::string_view kSignature = "streamtyped";
constexpr std::uint8_t kNew = 0x84;
constexpr std::uint8_t kInt16 = 0x81;
constexpr std::uint8_t kInt32 = 0x82;
constexpr std::uint8_t kFirstTag = 0x80;

// The length at bytes[i], advancing i past it; no value when it is not a length.
std::optional<std::uint64_t> readLength(std::span<const std::uint8_t> bytes, std::size_t& i) {
    if (i >= bytes.size()) {
        return std::nullopt;
    }
    const std::uint8_t lead = bytes[i++];
    std::size_t width = 0;
    if (lead == kInt16) {
        width = 2;
    } else if (lead == kInt32) {
        width = 4;
    } else if (lead >= kFirstTag) {
        // Other tags, and the negative one-byte numbers above them, are no length.
        return std::nullopt;
    } else {
        return lead;
    }
    if (bytes.size() - i < width) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (std::size_t k = 0; k < width; ++k) {
        value |= static_cast<std::uint64_t>(bytes[i + k]) << (8 * k);
    }
    i += width;
    // The widths are signed in the archive.
    if ((width == 2 && value >= 0x8000) || (width == 4 && value >= 0x80000000u)) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<QString> ArchivedString::plainString(std::span<const std::uint8_t> bytes) {
    const std::size_t headerLength = 2 + kSignature.size();
    if (bytes.size() < headerLength || (bytes[0] != 3 && bytes[0] != 4) || bytes[1] != kSignature.size() ||
        std::string_view(reinterpret_cast<const char*>(bytes.data()) + 2, kSignature.size()) != kSignature) {
        return std::nullopt;
    }
    for (std::size_t i = headerLength; i + 3 <= bytes.size(); ++i) {
        if (bytes[i] != kNew || bytes[i + 1] != 1 || bytes[i + 2] != '+') {
            continue;
        }
        std::size_t at = i + 3;
        const auto length = readLength(bytes, at);
        if (!length || *length > bytes.size() - at) {
            continue;
        }
        const QByteArrayView utf8(bytes.data() + at, static_cast<qsizetype>(*length));
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(utf8);
        if (decoder.hasError()) {
            continue;
        }
        return text;
    }
    return std::nullopt;
}

} // namespace platform
