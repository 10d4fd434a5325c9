#include "platform/foundation/KeyedUnarchiver.h"

#include "platform/foundation/ByteStream.h"
#include "platform/foundation/KeyedArchiveFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>

namespace platform {

using keyed_archive::Tag;

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, KeyedUnarchiver::Factory, std::less<>> factories;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

constexpr std::uint8_t tagByte(Tag tag) {
    return static_cast<std::uint8_t>(tag);
}

} // namespace

struct KeyedUnarchiver::Frame {
    // Key and offset of its value, in archive order; a repeated key counts with its last value.
    std::vector<std::pair<std::string_view, std::size_t>> entries;
};

struct KeyedUnarchiver::Number {
    bool isInteger = true;
    std::int64_t integer = 0;
    double real = 0;
};

void KeyedUnarchiver::registerClass(std::string name, Factory factory) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.factories[std::move(name)] = std::move(factory);
}

KeyedUnarchiver::KeyedUnarchiver(std::span<const std::uint8_t> data)
    : m_data(data.begin(), data.end()), m_objectLimit(keyed_archive::kDefaultObjectLimit) {
    if (!validate()) {
        failWithReason("not a readable keyed archive");
    }
}

KeyedUnarchiver::~KeyedUnarchiver() = default;

void KeyedUnarchiver::failWithReason(std::string reason) {
    if (!m_failed) {
        m_failed = true;
        m_failureReason = std::move(reason);
    }
}

// Checks the whole archive once: after this, every offset, count and string index in it is known to be in
// range, and every object and array has its extent in m_containers.
bool KeyedUnarchiver::validate() {
    ByteReader r(m_data);
    const auto magic = r.readBytes(sizeof keyed_archive::kMagic);
    if (r.failed() || !std::equal(magic.begin(), magic.end(), std::begin(keyed_archive::kMagic))) {
        return false;
    }
    const std::size_t stringCount = r.readCount(1);
    m_strings.reserve(stringCount);
    for (std::size_t i = 0; i < stringCount && !r.failed(); ++i) {
        m_strings.push_back(r.readByteString());
    }
    if (r.failed()) {
        return false;
    }
    const std::size_t rootPos = r.position();
    // The root is an object of the empty class name.
    if (r.readByte() != tagByte(Tag::Object)) {
        return false;
    }
    const std::uint64_t rootClass = r.readVarint();
    if (r.failed() || rootClass >= m_strings.size() || !m_strings[rootClass].empty()) {
        return false;
    }
    std::size_t pos = rootPos;
    if (!skipValue(pos, 0) || pos != m_data.size()) {
        return false;
    }
    m_validated = true;
    Frame root;
    r.seek(rootPos);
    r.readByte();
    r.readVarint();
    const std::size_t pairs = r.readCount(2);
    for (std::size_t i = 0; i < pairs; ++i) {
        const std::string_view key = m_strings[r.readVarint()];
        std::size_t valuePos = r.position();
        root.entries.emplace_back(key, valuePos);
        skipValue(valuePos, 0);
        r.seek(valuePos);
    }
    m_frames.push_back(std::move(root));
    return true;
}

// Moves pos past the value that starts there. The first pass (before m_validated) checks everything
// and records the extent of every object and array; later passes step over those in one lookup.
bool KeyedUnarchiver::skipValue(std::size_t& pos, int depth) {
    if (depth > keyed_archive::kMaxDepth) {
        return false;
    }
    ByteReader r(m_data);
    r.seek(pos);
    const std::uint8_t tag = r.readByte();
    if (r.failed() || tag > keyed_archive::kLastTag) {
        return false;
    }
    if (m_validated && (tag == tagByte(Tag::Object) || tag == tagByte(Tag::Array))) {
        const auto it = std::lower_bound(m_containers.begin(), m_containers.end(), pos,
                                         [](const auto& extent, std::size_t p) { return extent.first < p; });
        if (it == m_containers.end() || it->first != pos) {
            return false;
        }
        pos = it->second;
        return true;
    }
    switch (static_cast<Tag>(tag)) {
    case Tag::Nil:
    case Tag::False:
    case Tag::True:
        break;
    case Tag::Integer:
        r.readVarint();
        break;
    case Tag::Float:
        r.readBytes(4);
        break;
    case Tag::Double:
        r.readBytes(8);
        break;
    case Tag::Point:
    case Tag::Size:
        r.readBytes(16);
        break;
    case Tag::Rect:
    case Tag::Color:
        r.readBytes(32);
        break;
    case Tag::String:
        r.readBytes(2 * r.readCount(2));
        break;
    case Tag::AttributedString:
        r.readBytes(r.readCount(1));
        break;
    case Tag::Array:
    case Tag::Object: {
        const std::size_t slot = m_containers.size();
        m_containers.emplace_back(pos, 0);
        const bool isObject = tag == tagByte(Tag::Object);
        if (isObject && r.readVarint() >= m_strings.size()) {
            return false;
        }
        // An object's pair takes at least a key and a tag, an array element at least a tag.
        const std::size_t count = r.readCount(isObject ? 2 : 1);
        for (std::size_t i = 0; i < count && !r.failed(); ++i) {
            if (isObject && r.readVarint() >= m_strings.size()) {
                return false;
            }
            std::size_t child = r.position();
            if (r.failed() || !skipValue(child, depth + 1)) {
                return false;
            }
            r.seek(child);
        }
        if (r.failed()) {
            return false;
        }
        m_containers[slot].second = r.position();
        break;
    }
    }
    if (r.failed()) {
        return false;
    }
    pos = r.position();
    return true;
}

std::optional<std::size_t> KeyedUnarchiver::valuePosition(std::string_view key) const {
    if (m_failed || m_frames.empty()) {
        return std::nullopt;
    }
    const auto& entries = m_frames.back().entries;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->first == key) {
            return it->second;
        }
    }
    return std::nullopt;
}

std::uint8_t KeyedUnarchiver::tagAt(std::size_t pos) const {
    return m_data[pos];
}

bool KeyedUnarchiver::containsValueForKey(std::string_view key) const {
    return valuePosition(key).has_value();
}

std::optional<KeyedUnarchiver::Number> KeyedUnarchiver::numberForKey(std::string_view key) {
    const auto pos = valuePosition(key);
    if (!pos) {
        return std::nullopt;
    }
    ByteReader r(m_data);
    r.seek(*pos + 1);
    Number n;
    switch (static_cast<Tag>(tagAt(*pos))) {
    case Tag::Integer:
        n.integer = r.readSignedVarint();
        return n;
    case Tag::False:
    case Tag::True:
        n.integer = tagAt(*pos) == tagByte(Tag::True) ? 1 : 0;
        return n;
    case Tag::Float:
        n.isInteger = false;
        n.real = r.readFloat();
        return n;
    case Tag::Double:
        n.isInteger = false;
        n.real = r.readDouble();
        return n;
    default:
        failWithReason("a number was expected under the key " + std::string(key));
        return std::nullopt;
    }
}

std::int64_t KeyedUnarchiver::decodeIntegerForKey(std::string_view key) {
    const auto n = numberForKey(key);
    if (!n) {
        return 0;
    }
    if (n->isInteger) {
        return n->integer;
    }
    // -2^63 <= real < 2^63 (NaN fails both comparisons).
    constexpr double limit = 9223372036854775808.0;
    if (!(n->real >= -limit && n->real < limit)) {
        failWithReason("number out of range under the key " + std::string(key));
        return 0;
    }
    return static_cast<std::int64_t>(n->real);
}

int KeyedUnarchiver::decodeIntForKey(std::string_view key) {
    const std::int64_t v = decodeIntegerForKey(key);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) {
        failWithReason("number out of range under the key " + std::string(key));
        return 0;
    }
    return static_cast<int>(v);
}

double KeyedUnarchiver::decodeDoubleForKey(std::string_view key) {
    const auto n = numberForKey(key);
    if (!n) {
        return 0;
    }
    return n->isInteger ? static_cast<double>(n->integer) : n->real;
}

float KeyedUnarchiver::decodeFloatForKey(std::string_view key) {
    const double v = decodeDoubleForKey(key);
    if (std::isfinite(v) && std::fabs(v) > std::numeric_limits<float>::max()) {
        return v > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(v);
}

bool KeyedUnarchiver::decodeBoolForKey(std::string_view key) {
    const auto n = numberForKey(key);
    if (!n) {
        return false;
    }
    return n->isInteger ? n->integer != 0 : n->real != 0;
}

std::optional<QString> KeyedUnarchiver::decodeStringForKey(std::string_view key) {
    const auto pos = valuePosition(key);
    if (!pos || tagAt(*pos) == tagByte(Tag::Nil)) {
        return std::nullopt;
    }
    if (tagAt(*pos) != tagByte(Tag::String)) {
        failWithReason("a string was expected under the key " + std::string(key));
        return std::nullopt;
    }
    ByteReader r(m_data);
    r.seek(*pos + 1);
    return r.readText();
}

bool KeyedUnarchiver::readDoubles(std::string_view key, std::uint8_t tag, double* values, int count) {
    const auto pos = valuePosition(key);
    if (!pos) {
        return false;
    }
    if (tagAt(*pos) != tag) {
        failWithReason("a value of another kind is stored under the key " + std::string(key));
        return false;
    }
    ByteReader r(m_data);
    r.seek(*pos + 1);
    for (int i = 0; i < count; ++i) {
        values[i] = r.readDouble();
    }
    return true;
}

Point KeyedUnarchiver::decodePointForKey(std::string_view key) {
    double v[2] = {0, 0};
    readDoubles(key, tagByte(Tag::Point), v, 2);
    return Point{v[0], v[1]};
}

Size KeyedUnarchiver::decodeSizeForKey(std::string_view key) {
    double v[2] = {0, 0};
    readDoubles(key, tagByte(Tag::Size), v, 2);
    return Size{v[0], v[1]};
}

Rect KeyedUnarchiver::decodeRectForKey(std::string_view key) {
    double v[4] = {0, 0, 0, 0};
    readDoubles(key, tagByte(Tag::Rect), v, 4);
    return Rect(v[0], v[1], v[2], v[3]);
}

std::optional<Color> KeyedUnarchiver::decodeColorForKey(std::string_view key) {
    const auto pos = valuePosition(key);
    if (!pos || tagAt(*pos) == tagByte(Tag::Nil)) {
        return std::nullopt;
    }
    double v[4] = {0, 0, 0, 0};
    if (!readDoubles(key, tagByte(Tag::Color), v, 4)) {
        return std::nullopt;
    }
    return Color{v[0], v[1], v[2], v[3]};
}

std::optional<AttributedString> KeyedUnarchiver::decodeAttributedStringForKey(std::string_view key) {
    const auto pos = valuePosition(key);
    if (!pos || tagAt(*pos) == tagByte(Tag::Nil)) {
        return std::nullopt;
    }
    if (tagAt(*pos) != tagByte(Tag::AttributedString)) {
        failWithReason("a formatted text was expected under the key " + std::string(key));
        return std::nullopt;
    }
    ByteReader r(m_data);
    r.seek(*pos + 1);
    auto text = AttributedString::fromSerialized(r.readBytes(r.readCount(1)));
    if (!text) {
        failWithReason("damaged formatted text under the key " + std::string(key));
    }
    return text;
}

std::unique_ptr<Coding> KeyedUnarchiver::decodeObjectForKey(std::string_view key) {
    auto pos = valuePosition(key);
    if (!pos) {
        return nullptr;
    }
    return objectValueAt(*pos);
}

std::optional<std::vector<std::unique_ptr<Coding>>>
KeyedUnarchiver::decodeArrayOfObjectsForKey(std::string_view key) {
    const auto pos = valuePosition(key);
    if (!pos || tagAt(*pos) == tagByte(Tag::Nil)) {
        return std::nullopt;
    }
    if (tagAt(*pos) != tagByte(Tag::Array)) {
        failWithReason("an array was expected under the key " + std::string(key));
        return std::nullopt;
    }
    ByteReader r(m_data);
    r.seek(*pos + 1);
    const std::size_t count = r.readCount(1);
    std::size_t element = r.position();
    std::vector<std::unique_ptr<Coding>> objects;
    objects.reserve(count);
    for (std::size_t i = 0; i < count && !m_failed; ++i) {
        objects.push_back(objectValueAt(element));
    }
    if (m_failed) {
        return std::nullopt;
    }
    return objects;
}

// The object or nil at pos; moves pos past it.
std::unique_ptr<Coding> KeyedUnarchiver::objectValueAt(std::size_t& pos) {
    const std::size_t start = pos;
    if (!skipValue(pos, 0)) {
        failWithReason("damaged archive");
        return nullptr;
    }
    if (tagAt(start) == tagByte(Tag::Nil)) {
        return nullptr;
    }
    if (tagAt(start) != tagByte(Tag::Object)) {
        failWithReason("an object was expected");
        return nullptr;
    }
    return makeObject(start);
}

std::unique_ptr<Coding> KeyedUnarchiver::makeObject(std::size_t pos) {
    if (m_failed) {
        return nullptr;
    }
    if (m_frames.size() > static_cast<std::size_t>(keyed_archive::kMaxDepth)) {
        failWithReason("objects nested too deeply");
        return nullptr;
    }
    ByteReader r(m_data);
    r.seek(pos + 1);
    const std::string_view className = m_strings[r.readVarint()];
    Factory factory;
    {
        Registry& reg = registry();
        std::lock_guard lock(reg.mutex);
        const auto it = reg.factories.find(className);
        if (it != reg.factories.end()) {
            factory = it->second;
        }
    }
    if (!factory) {
        failWithReason("unknown class " + std::string(className));
        return nullptr;
    }
    if (m_objectCount >= m_objectLimit) {
        failWithReason("too many objects");
        return nullptr;
    }
    ++m_objectCount;
    std::unique_ptr<Coding> object = factory();
    if (object == nullptr) {
        failWithReason("class " + std::string(className) + " made no object");
        return nullptr;
    }

    Frame frame;
    const std::size_t pairs = r.readCount(2);
    frame.entries.reserve(pairs);
    for (std::size_t i = 0; i < pairs; ++i) {
        const std::string_view key = m_strings[r.readVarint()];
        std::size_t valuePos = r.position();
        frame.entries.emplace_back(key, valuePos);
        skipValue(valuePos, 0);
        r.seek(valuePos);
    }
    m_frames.push_back(std::move(frame));
    object->initWithCoder(*this);
    m_frames.pop_back();
    return m_failed ? nullptr : std::move(object);
}

std::optional<std::int64_t> KeyedUnarchiver::unarchivedNumber(std::span<const std::uint8_t> data) {
    KeyedUnarchiver unarchiver(data);
    if (!unarchiver.containsValueForKey(keyed_archive::kRootKey)) {
        return std::nullopt;
    }
    const std::int64_t number = unarchiver.decodeIntegerForKey(keyed_archive::kRootKey);
    if (unarchiver.failed()) {
        return std::nullopt;
    }
    return number;
}

std::optional<Color> KeyedUnarchiver::unarchivedColor(std::span<const std::uint8_t> data) {
    KeyedUnarchiver unarchiver(data);
    auto color = unarchiver.decodeColorForKey(keyed_archive::kRootKey);
    if (unarchiver.failed()) {
        return std::nullopt;
    }
    return color;
}

} // namespace platform
