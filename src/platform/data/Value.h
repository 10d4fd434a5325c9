#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

using Bytes = std::vector<std::uint8_t>;

// How an attribute is stored. Integers keep their width (a stored value wraps to it), `Float` rounds
// through single precision, `Transformable` holds an archive as bytes.
enum class AttributeType {
    Integer16,
    Integer32,
    Integer64,
    Boolean,
    Float,
    Double,
    String,
    Binary,
    Transformable,
};

// A stored attribute value, or nothing stored (which differs from 0, NO and the empty string).
class Value {
public:
    Value() = default;
    template <std::integral T>
    requires(!std::same_as<T, bool>) Value(T v) : v_(static_cast<std::int64_t>(v)) {}
    Value(bool v) : v_(v) {}
    Value(double v) : v_(v) {}
    Value(float v) : v_(static_cast<double>(v)) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(std::string_view v) : v_(std::string(v)) {}
    Value(const char* v) : v_(std::string(v)) {}
    Value(std::nullptr_t) = delete;
    Value(Bytes v) : v_(std::move(v)) {}

    bool isNothing() const { return std::holds_alternative<std::monostate>(v_); }
    bool isNumber() const;
    bool isString() const { return std::holds_alternative<std::string>(v_); }
    bool isBytes() const { return std::holds_alternative<Bytes>(v_); }

    // Numbers read across kinds (a double truncates toward zero, clamped to the range; NaN reads 0);
    // nothing stored, strings and bytes read 0.
    std::int64_t toInt64() const;
    std::uint64_t toUInt64() const { return static_cast<std::uint64_t>(toInt64()); }
    double toDouble() const;
    bool toBool() const;
    // The empty string or empty bytes unless the value holds one.
    const std::string& toString() const;
    const Bytes& toBytes() const;

    // The value as an attribute of the given type stores it, or nothing when the kinds do not fit (a
    // string for a number, a number for a string). Nothing stored fits every type.
    std::optional<Value> storedAs(AttributeType type) const;

    // Exact equality of kind and content; two NaNs are equal, so storing NaN again changes nothing.
    friend bool operator==(const Value& a, const Value& b);

    // A one-line text for dumps: "-" for nothing, numbers in full precision, strings quoted with escapes,
    // bytes in hex.
    std::string description() const;

private:
    std::variant<std::monostate, std::int64_t, bool, double, std::string, Bytes> v_;
};

} // namespace platform
