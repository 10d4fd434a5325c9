#include "platform/foundation/Numbers.h"

#include <QByteArray>

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

// Every conversion here goes through std::from_chars / std::to_chars, which never consult the C or C++
// locale; strtod, printf and streams would all follow a German user's "," decimal separator.

namespace platform {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipSpaces(std::string_view text, std::size_t i = 0) {
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    return i;
}

// The decimal number at the start of the text (after white space), split into its parts.
struct DecimalPrefix {
    bool found = false;
    bool negative = false;
    std::string_view unsignedPart; // digits, point, fraction and exponent, without the sign
    std::string_view integerDigits;
    std::string_view fractionDigits;
    std::int64_t exponent = 0; // saturated far beyond any representable magnitude
};

DecimalPrefix scanDecimal(std::string_view text) {
    DecimalPrefix p;
    std::size_t i = skipSpaces(text);
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        p.negative = text[i] == '-';
        ++i;
    }
    const std::size_t begin = i;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    p.integerDigits = text.substr(begin, i - begin);
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracBegin = i + 1;
        std::size_t j = fracBegin;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
        }
        p.fractionDigits = text.substr(fracBegin, j - fracBegin);
        i = j;
    }
    if (p.integerDigits.empty() && p.fractionDigits.empty()) {
        return DecimalPrefix{};
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            std::int64_t e = 0;
            while (j < text.size() && isDigit(text[j])) {
                e = std::min<std::int64_t>(e * 10 + (text[j] - '0'), 1'000'000'000);
                ++j;
            }
            p.exponent = expNegative ? -e : e;
            i = j;
        }
    }
    p.found = true;
    p.unsignedPart = text.substr(begin, i - begin);
    return p;
}

// For a value from_chars found out of range: true when it is too large (rather than too small).
bool overflows(const DecimalPrefix& p) {
    // Decimal magnitude of the first significant digit relative to the point.
    std::int64_t magnitude = 0;
    const std::size_t firstInt = p.integerDigits.find_first_not_of('0');
    if (firstInt != std::string_view::npos) {
        magnitude = static_cast<std::int64_t>(p.integerDigits.size() - firstInt);
    } else {
        const std::size_t firstFrac = p.fractionDigits.find_first_not_of('0');
        if (firstFrac == std::string_view::npos) {
            return false;
        }
        magnitude = -static_cast<std::int64_t>(firstFrac);
    }
    return magnitude + p.exponent > 0;
}

template <typename Float>
Float convertFloating(const DecimalPrefix& p) {
    Float value = 0;
    const char* first = p.unsignedPart.data();
    const char* last = first + p.unsignedPart.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = overflows(p) ? std::numeric_limits<Float>::infinity() : Float(0);
    } else if (result.ec != std::errc()) {
        value = 0;
    }
    return p.negative ? -value : value;
}

template <typename Float>
Float parseFloating(std::string_view text) {
    const DecimalPrefix p = scanDecimal(text);
    return p.found ? convertFloating<Float>(p) : Float(0);
}

template <typename Int>
Int parseInteger(std::string_view text) {
    std::size_t i = skipSpaces(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude, saturating one past the largest positive value (the negative limit).
    using U = std::make_unsigned_t<Int>;
    const U cap = static_cast<U>(std::numeric_limits<Int>::max()) + 1;
    U magnitude = 0;
    while (i < text.size() && isDigit(text[i])) {
        const U digit = static_cast<U>(text[i] - '0');
        magnitude = magnitude > (cap - digit) / 10 ? cap : magnitude * 10 + digit;
        ++i;
    }
    if (negative) {
        return magnitude >= cap ? std::numeric_limits<Int>::min()
                                : static_cast<Int>(-static_cast<Int>(magnitude));
    }
    return magnitude >= cap ? std::numeric_limits<Int>::max() : static_cast<Int>(magnitude);
}

std::string toChars(double value, std::chars_format format, int precision) {
    char buffer[64];
    const auto result = precision < 0
                            ? std::to_chars(buffer, buffer + sizeof buffer, value)
                            : std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return std::string(buffer, result.ptr);
}

} // namespace

double doubleValue(std::string_view text) {
    return parseFloating<double>(text);
}
float floatValue(std::string_view text) {
    return parseFloating<float>(text);
}
std::size_t scanDouble(std::string_view text, double& value) {
    const DecimalPrefix p = scanDecimal(text);
    if (!p.found) {
        return 0;
    }
    value = convertFloating<double>(p);
    return static_cast<std::size_t>(p.unsignedPart.data() + p.unsignedPart.size() - text.data());
}

int intValue(std::string_view text) {
    return parseInteger<int>(text);
}
std::int64_t integerValue(std::string_view text) {
    return parseInteger<std::int64_t>(text);
}

bool boolValue(std::string_view text) {
    std::size_t i = skipSpaces(text);
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

namespace {
template <typename Result>
Result viaUtf8(QStringView text, Result (*reader)(std::string_view)) {
    const QByteArray utf8 = text.toUtf8();
    return reader(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}
} // namespace

double doubleValue(QStringView text) {
    return viaUtf8<double>(text, doubleValue);
}
float floatValue(QStringView text) {
    return viaUtf8<float>(text, floatValue);
}
int intValue(QStringView text) {
    return viaUtf8<int>(text, intValue);
}
std::int64_t integerValue(QStringView text) {
    return viaUtf8<std::int64_t>(text, integerValue);
}
bool boolValue(QStringView text) {
    return viaUtf8<bool>(text, boolValue);
}

std::string formatG(double value) {
    return toChars(value, std::chars_format::general, 6);
}
std::string formatShortest(double value) {
    return toChars(value, std::chars_format::general, -1);
}

std::string formatInteger(std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string formatUnsigned(std::uint64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace platform
