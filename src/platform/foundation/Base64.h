#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Standard base64 (alphabet A-Z a-z 0-9 + /, "=" padding), written on one line without breaks.
std::string base64Encode(std::span<const std::uint8_t> bytes);
std::string base64Encode(std::string_view bytes);

// Decodes strictly: any character outside the alphabet (white space and line breaks included), padding
// anywhere but at the end, more than two padding characters, or a length that no encoding can have gives
// no value. Input without its final padding is accepted.
std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text);

} // namespace platform
