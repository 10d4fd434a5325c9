#pragma once

#include "platform/foundation/DefaultsStore.h"

#include <map>

namespace platform {

// Keeps the values in memory only: for tests, and for any run that must leave the user's settings alone.
class MemoryDefaultsStore : public DefaultsStore {
public:
    std::optional<DefaultsValue> value(const std::string& key) const override;
    void setValue(const std::string& key, const DefaultsValue& value) override;
    void removeValue(const std::string& key) override;
    bool synchronize() override { return true; }

private:
    std::map<std::string, DefaultsValue, std::less<>> values_;
};

} // namespace platform
