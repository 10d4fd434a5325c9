#pragma once

#include "platform/foundation/DefaultsStore.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The user's preferences: a registration domain of fallback values (set at start-up, never stored)
// under the values the user has set (kept in a DefaultsStore). A stored value always wins over a
// registered one. Typed readers convert whatever value is there; a missing key reads as false, 0, or
// no value. Observers of a key are called synchronously, right after its value has changed. Main
// thread only.
class UserDefaults {
public:
    using ObserverId = std::uint64_t;
    // Called with the key whose value changed.
    using Observer = std::function<void(const std::string& key)>;

    explicit UserDefaults(std::unique_ptr<DefaultsStore> store);
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The shared instance. The application installs one on its settings file at start-up; until then
    // (and in tests) it is an instance over a memory store.
    static UserDefaults& standard();
    // Makes another instance the shared one and hands back the one it replaces.
    static std::unique_ptr<UserDefaults> replaceStandard(std::unique_ptr<UserDefaults> defaults);

    // Adds to the registration domain; a key registered again takes the new value.
    void registerDefaults(const std::map<std::string, DefaultsValue>& values);

    // The stored value, else the registered one.
    std::optional<DefaultsValue> objectForKey(const std::string& key) const;
    // YES for true, a non-zero number, or a text that begins (after blanks and an optional sign with
    // zeros) with Y, y, T, t or a digit 1 to 9; false otherwise.
    bool boolForKey(const std::string& key) const;
    // Numbers as they are (reals truncated toward zero, saturating), booleans as 1 and 0, texts by
    // their leading decimal number ("100%" reads 100); bytes and missing keys 0.
    std::int64_t integerForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    // Texts as they are and numbers as their decimal text (booleans "1" and "0"); no value for bytes
    // and missing keys.
    std::optional<std::string> stringForKey(const std::string& key) const;
    // Bytes only.
    std::optional<std::vector<std::uint8_t>> dataForKey(const std::string& key) const;

    void setObject(const std::string& key, const DefaultsValue& value);
    void setBool(const std::string& key, bool value) { setObject(key, DefaultsValue(value)); }
    void setInteger(const std::string& key, std::int64_t value) { setObject(key, DefaultsValue(value)); }
    void setDouble(const std::string& key, double value) { setObject(key, DefaultsValue(value)); }
    void setString(const std::string& key, const std::string& value) { setObject(key, DefaultsValue(value)); }
    void setData(const std::string& key, const std::vector<std::uint8_t>& value) {
        setObject(key, DefaultsValue(value));
    }
    // Removes the stored value, so that the registered one shows again.
    void removeObjectForKey(const std::string& key);
    // Writes stored values out; false when that failed.
    bool synchronize();

    // Observers are told of every change of the key's value (a write of an equal value is no change),
    // including one that a registration or a removal makes. An observer removed while others are being
    // told is not called any more.
    ObserverId addObserver(const std::string& key, Observer observer);
    void removeObserver(ObserverId id);

private:
    void notify(const std::string& key);

    std::unique_ptr<DefaultsStore> store_;
    std::map<std::string, DefaultsValue> registered_;
    struct Registration {
        std::string key;
        std::shared_ptr<Observer> observer;
    };
    std::map<ObserverId, Registration> observers_;
    ObserverId nextObserverId_ = 1;
};

} // namespace platform
