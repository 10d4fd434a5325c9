#include "platform/data/Value.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace platform {

namespace {

std::int64_t clampedInt64(double d) {
    if (std::isnan(d)) {
        return 0;
    }
    // 2^63 is exact in a double; anything at or beyond it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (d >= limit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (d < -limit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(d);
}

} // namespace

bool Value::isNumber() const {
    return std::holds_alternative<std::int64_t>(v_) || std::holds_alternative<bool>(v_) ||
           std::holds_alternative<double>(v_);
}

std::int64_t Value::toInt64() const {
    if (const auto* i = std::get_if<std::int64_t>(&v_)) {
        return *i;
    }
    if (const auto* b = std::get_if<bool>(&v_)) {
        return *b ? 1 : 0;
    }
    if (const auto* d = std::get_if<double>(&v_)) {
        return clampedInt64(*d);
    }
    return 0;
}

double Value::toDouble() const {
    if (const auto* i = std::get_if<std::int64_t>(&v_)) {
        return static_cast<double>(*i);
    }
    if (const auto* b = std::get_if<bool>(&v_)) {
        return *b ? 1.0 : 0.0;
    }
    if (const auto* d = std::get_if<double>(&v_)) {
        return *d;
    }
    return 0.0;
}

bool Value::toBool() const {
    if (const auto* d = std::get_if<double>(&v_)) {
        return *d != 0.0;
    }
    return toInt64() != 0;
}

const std::string& Value::toString() const {
    static const std::string empty;
    const auto* s = std::get_if<std::string>(&v_);
    return s != nullptr ? *s : empty;
}

const Bytes& Value::toBytes() const {
    static const Bytes empty;
    const auto* b = std::get_if<Bytes>(&v_);
    return b != nullptr ? *b : empty;
}

std::optional<Value> Value::storedAs(AttributeType type) const {
    if (isNothing()) {
        return Value();
    }
    switch (type) {
    case AttributeType::Integer16:
    case AttributeType::Integer32:
    case AttributeType::Integer64: {
        if (!isNumber()) {
            return std::nullopt;
        }
        const std::int64_t v = toInt64();
        if (type == AttributeType::Integer16) {
            return Value(static_cast<std::int16_t>(v));
        }
        if (type == AttributeType::Integer32) {
            return Value(static_cast<std::int32_t>(v));
        }
        return Value(v);
    }
    case AttributeType::Boolean:
        return isNumber() ? std::optional<Value>(Value(toBool())) : std::nullopt;
    case AttributeType::Float:
        // Out-of-range doubles become infinities, as the conversion rounds in IEEE arithmetic.
        return isNumber() ? std::optional<Value>(Value(static_cast<float>(toDouble()))) : std::nullopt;
    case AttributeType::Double:
        return isNumber() ? std::optional<Value>(Value(toDouble())) : std::nullopt;
    case AttributeType::String:
        return isString() ? std::optional<Value>(*this) : std::nullopt;
    case AttributeType::Binary:
    case AttributeType::Transformable:
        return isBytes() ? std::optional<Value>(*this) : std::nullopt;
    }
    return std::nullopt;
}

bool operator==(const Value& a, const Value& b) {
    if (a.v_.index() != b.v_.index()) {
        return false;
    }
    if (const auto* da = std::get_if<double>(&a.v_)) {
        const double db = std::get<double>(b.v_);
        return *da == db || (std::isnan(*da) && std::isnan(db));
    }
    return a.v_ == b.v_;
}

std::string Value::description() const {
    char buffer[64];
    if (isNothing()) {
        return "-";
    }
    if (const auto* i = std::get_if<std::int64_t>(&v_)) {
        return std::to_string(*i);
    }
    if (const auto* b = std::get_if<bool>(&v_)) {
        return *b ? "YES" : "NO";
    }
    if (const auto* d = std::get_if<double>(&v_)) {
        std::snprintf(buffer, sizeof buffer, "%.17g", *d);
        return buffer;
    }
    if (const auto* s = std::get_if<std::string>(&v_)) {
        std::string out = "\"";
        for (const char c : *s) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                std::snprintf(buffer, sizeof buffer, "\\x%02x", static_cast<unsigned>(c));
                out += buffer;
            } else {
                out += c;
            }
        }
        return out + "\"";
    }
    std::string out = "<";
    for (const std::uint8_t byte : std::get<Bytes>(v_)) {
        std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned>(byte));
        out += buffer;
    }
    return out + ">";
}

} // namespace platform
