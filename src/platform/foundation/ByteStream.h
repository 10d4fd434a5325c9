#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace platform {

// Little-endian writer and bounds-checked reader for the binary formats of this folder (keyed archives,
// attributed strings). Integers are LEB128 varints (signed ones zigzag-coded), floating-point numbers
// their IEEE bytes, texts UTF-16 code units so that every QString comes back exactly.
class ByteWriter {
public:
    void writeByte(std::uint8_t b) { m_bytes.push_back(b); }
    void writeBytes(std::span<const std::uint8_t> bytes);
    void writeVarint(std::uint64_t v);
    void writeSignedVarint(std::int64_t v);
    void writeFloat(float v);
    void writeDouble(double v);
    // Length in code units, then the code units.
    void writeText(const QString& text);
    // Length in bytes, then the bytes.
    void writeByteString(std::string_view bytes);

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Every read checks the remaining length first; a read past the end, an overlong varint or a length that
// exceeds what is left sets the failed state, answers a zero value and leaves the position alone, so a
// caller may read on and test failed() once.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool failed() const { return m_failed; }
    void fail() { m_failed = true; }
    bool atEnd() const { return m_pos == m_bytes.size(); }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_bytes.size() - m_pos; }
    // Moves to an offset inside the data (used to revisit a value found earlier).
    void seek(std::size_t pos);

    std::uint8_t readByte();
    std::uint64_t readVarint();
    std::int64_t readSignedVarint();
    float readFloat();
    double readDouble();
    QString readText();
    std::string_view readByteString();
    std::span<const std::uint8_t> readBytes(std::size_t count);
    // A count of items that each take at least minBytesPerItem bytes: a count the rest of the data cannot
    // hold fails, so no hostile count ever leads to a large allocation.
    std::size_t readCount(std::size_t minBytesPerItem = 1);

private:
    bool need(std::size_t n);

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

} // namespace platform
