#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// A value kept in the user defaults: a boolean, an integer, a real number, a text (UTF-8) or bytes
// (an archived colour, for instance).
using DefaultsValue = std::variant<bool, std::int64_t, double, std::string, std::vector<std::uint8_t>>;

// Where the values the user has set are kept between runs. UserDefaults lays its registration domain
// under one of these.
class DefaultsStore {
public:
    virtual ~DefaultsStore() = default;
    // No value when nothing is stored under the key.
    virtual std::optional<DefaultsValue> value(const std::string& key) const = 0;
    virtual void setValue(const std::string& key, const DefaultsValue& value) = 0;
    virtual void removeValue(const std::string& key) = 0;
    // Writes pending changes out; false when that failed.
    virtual bool synchronize() = 0;
};

} // namespace platform
