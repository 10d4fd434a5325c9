#include "platform/data/Pasteboard.h"

#include <algorithm>

namespace platform {

bool Pasteboard::containsType(std::string_view type) const {
    const std::vector<std::string> held = types();
    return std::find(held.begin(), held.end(), type) != held.end();
}

std::optional<std::string> Pasteboard::availableTypeFromArray(const std::vector<std::string>& wanted) const {
    const std::vector<std::string> held = types();
    for (const std::string& type : wanted) {
        if (std::find(held.begin(), held.end(), type) != held.end()) {
            return type;
        }
    }
    return std::nullopt;
}

bool Pasteboard::isValidTypeName(std::string_view type) {
    constexpr std::size_t kMaxLength = 200;
    if (type.empty() || type.size() > kMaxLength) {
        return false;
    }
    return std::all_of(type.begin(), type.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
               c == '-' || c == '_';
    });
}

} // namespace platform
