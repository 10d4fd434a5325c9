#include "platform/foundation/KeyedArchiver.h"

#include "platform/foundation/KeyedArchiveFormat.h"

#include <cassert>

namespace platform {

using keyed_archive::Tag;

namespace {

void writeTag(ByteWriter& w, Tag tag) {
    w.writeByte(static_cast<std::uint8_t>(tag));
}

} // namespace

KeyedArchiver::KeyedArchiver() {
    // The root object's class name, the empty string, is always string 0.
    m_frames.push_back(Frame{intern(""), 0, {}});
}

std::uint32_t KeyedArchiver::intern(std::string_view text) {
    const auto it = m_stringIndex.find(std::string(text));
    if (it != m_stringIndex.end()) {
        return it->second;
    }
    const auto index = static_cast<std::uint32_t>(m_strings.size());
    m_strings.emplace_back(text);
    m_stringIndex.emplace(std::string(text), index);
    return index;
}

ByteWriter& KeyedArchiver::beginValueForKey(std::string_view key) {
    const std::uint32_t keyIndex = intern(key);
    Frame& frame = m_frames.back();
    frame.body.writeVarint(keyIndex);
    ++frame.pairCount;
    return frame.body;
}

void KeyedArchiver::encodeIntegerForKey(std::int64_t value, std::string_view key) {
    ByteWriter& w = beginValueForKey(key);
    writeTag(w, Tag::Integer);
    w.writeSignedVarint(value);
}

void KeyedArchiver::encodeFloatForKey(float value, std::string_view key) {
    ByteWriter& w = beginValueForKey(key);
    writeTag(w, Tag::Float);
    w.writeFloat(value);
}

void KeyedArchiver::encodeDoubleForKey(double value, std::string_view key) {
    ByteWriter& w = beginValueForKey(key);
    writeTag(w, Tag::Double);
    w.writeDouble(value);
}

void KeyedArchiver::encodeBoolForKey(bool value, std::string_view key) {
    writeTag(beginValueForKey(key), value ? Tag::True : Tag::False);
}

void KeyedArchiver::encodeStringForKey(const QString& value, std::string_view key) {
    ByteWriter& w = beginValueForKey(key);
    writeTag(w, Tag::String);
    w.writeText(value);
}

void KeyedArchiver::encodePointForKey(Point value, std::string_view key) {
    ByteWriter& w = beginValueForKey(key);
    writeTag(w, Tag::Point);
    w.writeDouble(value.x);
    w.writeDouble(value.y);
}

void KeyedArchiver::encodeSizeForKey(Size value, std::string_view key) {
    ByteWriter& w = beginValueForKey(key);
    writeTag(w, Tag::Size);
    w.writeDouble(value.width);
    w.writeDouble(value.height);
}

void KeyedArchiver::encodeRectForKey(const Rect& value, std::string_view key) {
    ByteWriter& w = beginValueForKey(key);
    writeTag(w, Tag::Rect);
    w.writeDouble(value.origin.x);
    w.writeDouble(value.origin.y);
    w.writeDouble(value.size.width);
    w.writeDouble(value.size.height);
}

void KeyedArchiver::encodeColorForKey(const Color& value, std::string_view key) {
    ByteWriter& w = beginValueForKey(key);
    writeTag(w, Tag::Color);
    w.writeDouble(value.r);
    w.writeDouble(value.g);
    w.writeDouble(value.b);
    w.writeDouble(value.a);
}

void KeyedArchiver::encodeAttributedStringForKey(const AttributedString& value, std::string_view key) {
    const std::vector<std::uint8_t> bytes = value.serialized();
    ByteWriter& w = beginValueForKey(key);
    writeTag(w, Tag::AttributedString);
    w.writeVarint(bytes.size());
    w.writeBytes(bytes);
}

void KeyedArchiver::encodeObjectForKey(const Coding* object, std::string_view key) {
    beginValueForKey(key);
    writeObjectValue(object);
}

void KeyedArchiver::beginArrayForKey(std::size_t count, std::string_view key) {
    ByteWriter& w = beginValueForKey(key);
    writeTag(w, Tag::Array);
    w.writeVarint(count);
}

void KeyedArchiver::writeObjectValue(const Coding* object) {
    if (object == nullptr) {
        writeTag(m_frames.back().body, Tag::Nil);
        return;
    }
    // An object graph deeper than a reader accepts is a programming error (archived objects are trees
    // of a few levels).
    assert(m_frames.size() < static_cast<std::size_t>(keyed_archive::kMaxDepth));
    m_frames.push_back(Frame{intern(object->archiveClassName()), 0, {}});
    object->encodeWithCoder(*this);
    Frame frame = std::move(m_frames.back());
    m_frames.pop_back();
    ByteWriter& w = m_frames.back().body;
    writeTag(w, Tag::Object);
    w.writeVarint(frame.classIndex);
    w.writeVarint(frame.pairCount);
    w.writeBytes(frame.body.bytes());
}

std::vector<std::uint8_t> KeyedArchiver::encodedData() const {
    assert(m_frames.size() == 1);
    ByteWriter w;
    w.writeBytes(keyed_archive::kMagic);
    w.writeVarint(m_strings.size());
    for (const std::string& s : m_strings) {
        w.writeByteString(s);
    }
    const Frame& root = m_frames.front();
    writeTag(w, Tag::Object);
    w.writeVarint(root.classIndex);
    w.writeVarint(root.pairCount);
    w.writeBytes(root.body.bytes());
    return w.take();
}

std::vector<std::uint8_t> KeyedArchiver::archivedDataWithRootObject(const Coding& root) {
    KeyedArchiver archiver;
    archiver.encodeObjectForKey(&root, keyed_archive::kRootKey);
    return archiver.encodedData();
}

std::vector<std::uint8_t> KeyedArchiver::archivedDataWithRootNumber(std::int64_t number) {
    KeyedArchiver archiver;
    archiver.encodeIntegerForKey(number, keyed_archive::kRootKey);
    return archiver.encodedData();
}

std::vector<std::uint8_t> KeyedArchiver::archivedDataWithRootColor(const Color& color) {
    KeyedArchiver archiver;
    archiver.encodeColorForKey(color, keyed_archive::kRootKey);
    return archiver.encodedData();
}

} // namespace platform
