#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/MemoryDefaultsStore.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace platform {

namespace {

std::unique_ptr<UserDefaults>& sharedInstance() {
    static std::unique_ptr<UserDefaults> instance;
    return instance;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::size_t skipBlanks(const std::string& text, std::size_t i = 0) {
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    return i;
}

bool textBoolValue(const std::string& text) {
    std::size_t i = skipBlanks(text);
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    while (i < text.size() && text[i] == '0') {
        ++i;
    }
    if (i >= text.size()) {
        return false;
    }
    const char c = text[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

// The leading decimal integer, saturating at the limits; 0 when there is none.
std::int64_t textIntegerValue(const std::string& text) {
    std::size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (negative) {
            if (value < (min + digit) / 10) {
                return min;
            }
            value = value * 10 - digit;
        } else {
            if (value > (max - digit) / 10) {
                return max;
            }
            value = value * 10 + digit;
        }
    }
    return value;
}

// The leading decimal number (exponent allowed), read the same in every locale; 0 when there is none.
double textDoubleValue(const std::string& text) {
    std::size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // A number starts with a digit or a point and a digit; "inf" and "nan" are no numbers here.
    const bool digitFirst = i < text.size() && text[i] >= '0' && text[i] <= '9';
    const bool pointFirst = i + 1 < text.size() && text[i] == '.' && text[i + 1] >= '0' && text[i + 1] <= '9';
    if (!digitFirst && !pointFirst) {
        return 0;
    }
    double value = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (result.ec != std::errc()) {
        return 0;
    }
    return negative ? -value : value;
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

std::string formatDouble(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

struct BoolOf {
    bool operator()(bool v) const { return v; }
    bool operator()(std::int64_t v) const { return v != 0; }
    bool operator()(double v) const { return v != 0; }
    bool operator()(const std::string& v) const { return textBoolValue(v); }
    bool operator()(const std::vector<std::uint8_t>&) const { return false; }
};

struct IntegerOf {
    std::int64_t operator()(bool v) const { return v ? 1 : 0; }
    std::int64_t operator()(std::int64_t v) const { return v; }
    std::int64_t operator()(double v) const { return truncated(v); }
    std::int64_t operator()(const std::string& v) const { return textIntegerValue(v); }
    std::int64_t operator()(const std::vector<std::uint8_t>&) const { return 0; }
};

struct DoubleOf {
    double operator()(bool v) const { return v ? 1 : 0; }
    double operator()(std::int64_t v) const { return static_cast<double>(v); }
    double operator()(double v) const { return v; }
    double operator()(const std::string& v) const { return textDoubleValue(v); }
    double operator()(const std::vector<std::uint8_t>&) const { return 0; }
};

struct StringOf {
    std::optional<std::string> operator()(bool v) const { return std::string(v ? "1" : "0"); }
    std::optional<std::string> operator()(std::int64_t v) const { return std::to_string(v); }
    std::optional<std::string> operator()(double v) const { return formatDouble(v); }
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
