#pragma once

#include "platform/foundation/AttributedString.h"
#include "platform/foundation/Coding.h"
#include "platform/foundation/Color.h"
#include "platform/foundation/Geometry.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// Reads a keyed archive written by KeyedArchiver. The bytes may come from anywhere (the pasteboard, user
// defaults), so nothing in them is trusted:
// - the whole archive is checked before any object is made: a wrong header, truncation, a count larger
//   than the data, an unknown value kind, nesting deeper than 64 levels or bytes after the end fail;
// - an object is made only when its class name is registered, and at most objectLimit() objects are made;
// - a key whose value has the wrong kind (a text where a number is asked for, an object of another class)
//   fails the unarchiving.
// Once failed, every further read answers a zero value and the convenience readers answer nothing.
//
// A key that is not there reads 0, NO, the zero rectangle, size or point, or no value (no string, object
// or array). Numbers convert between integer, floating-point and boolean kinds; an integer read of a
// floating-point value truncates, and one that does not fit the type asked for fails.
class KeyedUnarchiver {
public:
    using Factory = std::function<std::unique_ptr<Coding>()>;

    // Makes objects of this class name from now on (a later registration under the same name replaces
    // the earlier one). Registration is explicit: call it from the set-up code of the classes' library.
    static void registerClass(std::string name, Factory factory);
    template <typename T>
    static void registerClass(std::string name) {
        registerClass(std::move(name), [] { return std::unique_ptr<Coding>(std::make_unique<T>()); });
    }

    explicit KeyedUnarchiver(std::span<const std::uint8_t> data);
    KeyedUnarchiver(const KeyedUnarchiver&) = delete;
    KeyedUnarchiver& operator=(const KeyedUnarchiver&) = delete;
    ~KeyedUnarchiver();

    bool failed() const { return m_failed; }
    const std::string& failureReason() const { return m_failureReason; }
    // Lets an object refuse what it read (a value out of its range); the whole unarchiving fails.
    void failWithReason(std::string reason);

    std::size_t objectLimit() const { return m_objectLimit; }
    void setObjectLimit(std::size_t limit) { m_objectLimit = limit; }

    // Reads of the object being decoded (at first, the archive's top level).
    bool containsValueForKey(std::string_view key) const;
    std::int64_t decodeIntegerForKey(std::string_view key);
    int decodeIntForKey(std::string_view key);
    float decodeFloatForKey(std::string_view key);
    double decodeDoubleForKey(std::string_view key);
    bool decodeBoolForKey(std::string_view key);
    std::optional<QString> decodeStringForKey(std::string_view key);
    Point decodePointForKey(std::string_view key);
    Size decodeSizeForKey(std::string_view key);
    Rect decodeRectForKey(std::string_view key);
    std::optional<Color> decodeColorForKey(std::string_view key);
    std::optional<AttributedString> decodeAttributedStringForKey(std::string_view key);

    template <typename T>
    std::unique_ptr<T> decodeObjectOfClassForKey(std::string_view key) {
        return castOrFail<T>(decodeObjectForKey(key));
    }
    // No value when the key is missing or holds nil; nil elements come back as null pointers.
    template <typename T>
    std::optional<std::vector<std::unique_ptr<T>>> decodeArrayOfObjectsOfClassForKey(std::string_view key) {
        auto objects = decodeArrayOfObjectsForKey(key);
        if (!objects) {
            return std::nullopt;
        }
        std::vector<std::unique_ptr<T>> out;
        out.reserve(objects->size());
        for (auto& object : *objects) {
            const bool present = object != nullptr;
            out.push_back(castOrFail<T>(std::move(object)));
            if (present && out.back() == nullptr) {
                return std::nullopt;
            }
        }
        return out;
    }

    // Whole archives made by the KeyedArchiver conveniences; nothing when the data cannot be read or its
    // root is not of the kind asked for.
    template <typename T>
    static std::unique_ptr<T> unarchivedObjectOfClass(std::span<const std::uint8_t> data) {
        KeyedUnarchiver unarchiver(data);
        auto object = unarchiver.decodeObjectOfClassForKey<T>("root");
        return unarchiver.failed() ? nullptr : std::move(object);
    }
    template <typename T>
    static std::optional<std::vector<std::unique_ptr<T>>>
    unarchivedArrayOfObjectsOfClass(std::span<const std::uint8_t> data) {
        KeyedUnarchiver unarchiver(data);
        auto objects = unarchiver.decodeArrayOfObjectsOfClassForKey<T>("root");
        if (unarchiver.failed()) {
            return std::nullopt;
        }
        return objects;
    }
    static std::optional<std::int64_t> unarchivedNumber(std::span<const std::uint8_t> data);
    static std::optional<Color> unarchivedColor(std::span<const std::uint8_t> data);

private:
    struct Frame;

    std::unique_ptr<Coding> decodeObjectForKey(std::string_view key);
    std::optional<std::vector<std::unique_ptr<Coding>>> decodeArrayOfObjectsForKey(std::string_view key);

    template <typename T>
    std::unique_ptr<T> castOrFail(std::unique_ptr<Coding> object) {
        if (object == nullptr) {
            return nullptr;
        }
        T* typed = dynamic_cast<T*>(object.get());
        if (typed == nullptr) {
            failWithReason("object of an unexpected class");
            return nullptr;
        }
        object.release();
        return std::unique_ptr<T>(typed);
    }

    bool validate();
    bool skipValue(std::size_t& pos, int depth);
    std::optional<std::size_t> valuePosition(std::string_view key) const;
    std::uint8_t tagAt(std::size_t pos) const;
    struct Number;
    std::optional<Number> numberForKey(std::string_view key);
    std::unique_ptr<Coding> makeObject(std::size_t pos);
    std::unique_ptr<Coding> objectValueAt(std::size_t& pos);
    bool readDoubles(std::string_view key, std::uint8_t tag, double* values, int count);

    std::vector<std::uint8_t> m_data;
    std::vector<std::string_view> m_strings;
    // Start and end offsets of every object and array, in the order they start, so that stepping over one
    // never walks its contents again.
    std::vector<std::pair<std::size_t, std::size_t>> m_containers;
    std::vector<Frame> m_frames;
    std::size_t m_objectCount = 0;
    std::size_t m_objectLimit;
    bool m_validated = false;
    bool m_failed = false;
    std::string m_failureReason;
};

} // namespace platform
