#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/MemoryDefaultsStore.h"
#include "platform/foundation/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace platform {

namespace {

std::unique_ptr<UserDefaults>& sharedInstance() {
    static std::unique_ptr<UserDefaults> instance;
    return instance;
}

std::int64_t truncated(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 9223372036854775808.0) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (value < -9223372036854775808.0) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(value);
}

struct BoolOf {
    bool operator()(bool v) const { return v; }
    bool operator()(std::int64_t v) const { return v != 0; }
    bool operator()(double v) const { return v != 0; }
    bool operator()(const std::string& v) const { return boolValue(v); }
    bool operator()(const std::vector<std::uint8_t>&) const { return false; }
};

struct IntegerOf {
    std::int64_t operator()(bool v) const { return v ? 1 : 0; }
    std::int64_t operator()(std::int64_t v) const { return v; }
    std::int64_t operator()(double v) const { return truncated(v); }
    std::int64_t operator()(const std::string& v) const { return integerValue(v); }
    std::int64_t operator()(const std::vector<std::uint8_t>&) const { return 0; }
};

struct DoubleOf {
    double operator()(bool v) const { return v ? 1 : 0; }
    double operator()(std::int64_t v) const { return static_cast<double>(v); }
    double operator()(double v) const { return v; }
    double operator()(const std::string& v) const { return doubleValue(v); }
    double operator()(const std::vector<std::uint8_t>&) const { return 0; }
};

struct StringOf {
    std::optional<std::string> operator()(bool v) const { return std::string(v ? "1" : "0"); }
    std::optional<std::string> operator()(std::int64_t v) const { return std::to_string(v); }
    std::optional<std::string> operator()(double v) const { return formatShortest(v); }
    std::optional<std::string> operator()(const std::string& v) const { return v; }
    std::optional<std::string> operator()(const std::vector<std::uint8_t>&) const { return std::nullopt; }
};

} // namespace

UserDefaults::UserDefaults(std::unique_ptr<DefaultsStore> store) : store_(std::move(store)) {
    if (!store_) {
        store_ = std::make_unique<MemoryDefaultsStore>();
    }
}

UserDefaults::~UserDefaults() = default;

UserDefaults& UserDefaults::standard() {
    auto& instance = sharedInstance();
    if (!instance) {
        instance = std::make_unique<UserDefaults>(std::make_unique<MemoryDefaultsStore>());
    }
    return *instance;
}

std::unique_ptr<UserDefaults> UserDefaults::replaceStandard(std::unique_ptr<UserDefaults> defaults) {
    auto previous = std::move(sharedInstance());
    sharedInstance() = std::move(defaults);
    return previous;
}

void UserDefaults::registerDefaults(const std::map<std::string, DefaultsValue>& values) {
    std::vector<std::string> changed;
    for (const auto& [key, value] : values) {
        const auto before = objectForKey(key);
        registered_[key] = value;
        if (objectForKey(key) != before) {
            changed.push_back(key);
        }
    }
    for (const std::string& key : changed) {
        notify(key);
    }
}

std::optional<DefaultsValue> UserDefaults::objectForKey(const std::string& key) const {
    if (auto stored = store_->value(key)) {
        return stored;
    }
    const auto found = registered_.find(key);
    if (found == registered_.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool UserDefaults::boolForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    return value ? std::visit(BoolOf{}, *value) : false;
}

std::int64_t UserDefaults::integerForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    return value ? std::visit(IntegerOf{}, *value) : 0;
}

double UserDefaults::doubleForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    return value ? std::visit(DoubleOf{}, *value) : 0;
}

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    return value ? std::visit(StringOf{}, *value) : std::nullopt;
}

std::optional<std::vector<std::uint8_t>> UserDefaults::dataForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    if (value) {
        if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&*value)) {
            return *bytes;
        }
    }
    return std::nullopt;
}

void UserDefaults::setObject(const std::string& key, const DefaultsValue& value) {
    const auto before = objectForKey(key);
    store_->setValue(key, value);
    if (objectForKey(key) != before) {
        notify(key);
    }
}

void UserDefaults::removeObjectForKey(const std::string& key) {
    const auto before = objectForKey(key);
    store_->removeValue(key);
    if (objectForKey(key) != before) {
        notify(key);
    }
}

bool UserDefaults::synchronize() {
    return store_->synchronize();
}

UserDefaults::ObserverId UserDefaults::addObserver(const std::string& key, Observer observer) {
    const ObserverId id = nextObserverId_++;
    observers_.emplace(id, Registration{key, std::make_shared<Observer>(std::move(observer))});
    return id;
}

void UserDefaults::removeObserver(ObserverId id) {
    observers_.erase(id);
}

void UserDefaults::notify(const std::string& key) {
    // Observers may add or remove observers, or change values, while they are told.
    std::vector<std::pair<ObserverId, std::shared_ptr<Observer>>> toCall;
    for (const auto& [id, registration] : observers_) {
        if (registration.key == key) {
            toCall.emplace_back(id, registration.observer);
        }
    }
    for (const auto& [id, observer] : toCall) {
        if (observers_.count(id) != 0 && *observer) {
            (*observer)(key);
        }
    }
}

} // namespace platform
