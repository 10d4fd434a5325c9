#include "platform/data/MemoryPasteboard.h"

#include <algorithm>

namespace platform {

void MemoryPasteboard::clearContents() {
    entries_.clear();
}

std::vector<std::pair<std::string, Bytes>>::iterator MemoryPasteboard::declare(std::string_view type) {
    auto it =
        std::find_if(entries_.begin(), entries_.end(), [type](const auto& e) { return e.first == type; });
    if (it == entries_.end()) {
        entries_.emplace_back(std::string(type), Bytes());
        it = std::prev(entries_.end());
    }
    return it;
}

bool MemoryPasteboard::addTypes(const std::vector<std::string>& types) {
    bool allValid = true;
    for (const std::string& type : types) {
        if (isValidTypeName(type)) {
            declare(type);
        } else {
            allValid = false;
        }
    }
    return allValid;
}

bool MemoryPasteboard::setDataForType(const Bytes& data, std::string_view type) {
    if (!isValidTypeName(type)) {
        return false;
    }
    declare(type)->second = data;
    return true;
}

std::vector<std::string> MemoryPasteboard::types() const {
    std::vector<std::string> result;
    result.reserve(entries_.size());
    for (const auto& entry : entries_) {
        result.push_back(entry.first);
    }
    return result;
}

std::optional<Bytes> MemoryPasteboard::dataForType(std::string_view type) const {
    auto it =
        std::find_if(entries_.begin(), entries_.end(), [type](const auto& e) { return e.first == type; });
    if (it == entries_.end() || it->second.empty()) {
        return std::nullopt;
    }
    return it->second;
}

} // namespace platform
