#pragma once

#include "platform/foundation/AttributedString.h"
#include "platform/foundation/ByteStream.h"
#include "platform/foundation/Coding.h"
#include "platform/foundation/Color.h"
#include "platform/foundation/Geometry.h"

#include <QString>

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace platform {

// Writes objects made of typed key/value pairs into our own compact binary keyed archive (read back by
// KeyedUnarchiver). Keys written at the top level of an archiver form the archive's root object; the
// static conveniences put a single value there under the key "root".
//
// Each key is written once per object; an object's pairs keep the order they were written in.
class KeyedArchiver {
public:
    KeyedArchiver();

    void encodeIntegerForKey(std::int64_t value, std::string_view key);
    void encodeIntForKey(int value, std::string_view key) { encodeIntegerForKey(value, key); }
    void encodeFloatForKey(float value, std::string_view key);
    void encodeDoubleForKey(double value, std::string_view key);
    void encodeBoolForKey(bool value, std::string_view key);
    void encodeStringForKey(const QString& value, std::string_view key);
    void encodePointForKey(Point value, std::string_view key);
    void encodeSizeForKey(Size value, std::string_view key);
    void encodeRectForKey(const Rect& value, std::string_view key);
    void encodeColorForKey(const Color& value, std::string_view key);
    void encodeAttributedStringForKey(const AttributedString& value, std::string_view key);
    // A null object is written as nil and reads back as no object.
    void encodeObjectForKey(const Coding* object, std::string_view key);
    // Objects given by raw or smart pointers, in order; null pointers are written as nil.
    template <typename Range>
    void encodeArrayOfObjectsForKey(const Range& objects, std::string_view key) {
        beginArrayForKey(static_cast<std::size_t>(std::size(objects)), key);
        for (const auto& object : objects) {
            if constexpr (std::is_pointer_v<std::remove_cvref_t<decltype(object)>>) {
                writeObjectValue(object);
            } else {
                writeObjectValue(object.get());
            }
        }
    }

    // The archive of everything encoded so far at the top level.
    std::vector<std::uint8_t> encodedData() const;

    static std::vector<std::uint8_t> archivedDataWithRootObject(const Coding& root);
    template <typename Range>
    static std::vector<std::uint8_t> archivedDataWithRootArray(const Range& objects) {
        KeyedArchiver archiver;
        archiver.encodeArrayOfObjectsForKey(objects, "root");
        return archiver.encodedData();
    }
    static std::vector<std::uint8_t> archivedDataWithRootNumber(std::int64_t number);
    static std::vector<std::uint8_t> archivedDataWithRootColor(const Color& color);

private:
    struct Frame {
        std::uint32_t classIndex = 0;
        std::uint64_t pairCount = 0;
        ByteWriter body;
    };

    std::uint32_t intern(std::string_view text);
    ByteWriter& beginValueForKey(std::string_view key);
    void beginArrayForKey(std::size_t count, std::string_view key);
    void writeObjectValue(const Coding* object);

    std::vector<std::string> m_strings;
    std::unordered_map<std::string, std::uint32_t> m_stringIndex;
    std::vector<Frame> m_frames;
};

} // namespace platform
