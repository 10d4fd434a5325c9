#include "platform/foundation/MemoryDefaultsStore.h"

namespace platform {

std::optional<DefaultsValue> MemoryDefaultsStore::value(const std::string& key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void MemoryDefaultsStore::setValue(const std::string& key, const DefaultsValue& value) {
    values_[key] = value;
}

void MemoryDefaultsStore::removeValue(const std::string& key) {
    values_.erase(key);
}

} // namespace platform
