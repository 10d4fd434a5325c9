#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// Stores of other programs keep formatted texts as a non-keyed archive of an attributed string (the
// "streamtyped" serialisation). We do not read such archives in full: what an import needs is the text
// itself, which the archive holds as the UTF-8 bytes of the string object it starts with, typed "+" and
// preceded by their length:
//
//     04 0B "streamtyped" 81 E8 03   header: streamer version, signature, system version
//     ... 84 01 2B <length> <bytes>  a new type string "+", then the string's length and UTF-8 bytes
//
// A length below 0x80 is one byte; 0x81 introduces a little-endian 16-bit length, 0x82 a 32-bit one.
class ArchivedString {
public:
    // The plain string of the archive; no value when the bytes are no such archive or its string does not
    // lie whole and valid inside them.
    static std::optional<QString> plainString(std::span<const std::uint8_t> bytes);
};

} // namespace platform
