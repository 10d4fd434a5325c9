#pragma once

#include "platform/foundation/DefaultsStore.h"

#include <memory>

class QSettings;

namespace platform {

// Keeps the values in an INI file through QSettings: by default "Tovrin/Tovrin.conf" in the user's XDG
// config folder. INI text carries no types, so values are read back by their form: "true" and "false"
// as booleans, texts that an integer or a real number writes back identically as numbers, bytes as
// bytes, everything else as text. The typed readers of UserDefaults therefore answer as before the
// reload, except that a text stored as "true" or "false" comes back as a boolean.
class SettingsDefaultsStore : public DefaultsStore {
public:
    SettingsDefaultsStore();
    explicit SettingsDefaultsStore(const std::string& filePath);
    ~SettingsDefaultsStore() override;
    SettingsDefaultsStore(const SettingsDefaultsStore&) = delete;
    SettingsDefaultsStore& operator=(const SettingsDefaultsStore&) = delete;

    std::optional<DefaultsValue> value(const std::string& key) const override;
    void setValue(const std::string& key, const DefaultsValue& value) override;
    void removeValue(const std::string& key) override;
    bool synchronize() override;

    std::string fileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace platform
