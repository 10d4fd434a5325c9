#include "platform/foundation/ByteStream.h"

#include <bit>
#include <cstring>

namespace platform {

void ByteWriter::writeBytes(std::span<const std::uint8_t> bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void ByteWriter::writeVarint(std::uint64_t v) {
    while (v >= 0x80) {
        m_bytes.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    m_bytes.push_back(static_cast<std::uint8_t>(v));
}

void ByteWriter::writeSignedVarint(std::int64_t v) {
    const auto u = static_cast<std::uint64_t>(v);
    writeVarint((u << 1) ^ (v < 0 ? ~std::uint64_t{0} : 0));
}

void ByteWriter::writeFloat(float v) {
    const auto bits = std::bit_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) {
        m_bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
}

void ByteWriter::writeDouble(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) {
        m_bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
}

void ByteWriter::writeText(const QString& text) {
    writeVarint(static_cast<std::uint64_t>(text.size()));
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        m_bytes.push_back(static_cast<std::uint8_t>(u));
        m_bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
}

void ByteWriter::writeByteString(std::string_view bytes) {
    writeVarint(bytes.size());
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void ByteReader::seek(std::size_t pos) {
    if (pos > m_bytes.size()) {
        m_failed = true;
        return;
    }
    m_pos = pos;
}

bool ByteReader::need(std::size_t n) {
    if (m_failed || n > remaining()) {
        m_failed = true;
        return false;
    }
    return true;
}

std::uint8_t ByteReader::readByte() {
    if (!need(1)) {
        return 0;
    }
    return m_bytes[m_pos++];
}

std::uint64_t ByteReader::readVarint() {
    std::uint64_t v = 0;
    std::size_t pos = m_pos;
    for (int shift = 0; shift < 64; shift += 7) {
        if (m_failed || pos >= m_bytes.size()) {
            m_failed = true;
            return 0;
        }
        const std::uint8_t b = m_bytes[pos++];
        // The tenth byte may only carry the single top bit.
        if (shift == 63 && b > 1) {
            break;
        }
        v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if ((b & 0x80) == 0) {
            m_pos = pos;
            return v;
        }
    }
    m_failed = true;
    return 0;
}

std::int64_t ByteReader::readSignedVarint() {
    const std::uint64_t u = readVarint();
    return static_cast<std::int64_t>((u >> 1) ^ (~(u & 1) + 1));
}

float ByteReader::readFloat() {
    if (!need(4)) {
        return 0;
    }
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(m_bytes[m_pos++]) << (8 * i);
    }
    return std::bit_cast<float>(bits);
}

double ByteReader::readDouble() {
    if (!need(8)) {
        return 0;
    }
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        bits |= static_cast<std::uint64_t>(m_bytes[m_pos++]) << (8 * i);
    }
    return std::bit_cast<double>(bits);
}

QString ByteReader::readText() {
    const std::size_t units = readCount(2);
    if (m_failed) {
        return {};
    }
    QString text(static_cast<qsizetype>(units), Qt::Uninitialized);
    for (std::size_t i = 0; i < units; ++i) {
        const auto lo = m_bytes[m_pos++];
        const auto hi = m_bytes[m_pos++];
        text[static_cast<qsizetype>(i)] = QChar(static_cast<char16_t>(lo | (hi << 8)));
    }
    return text;
}

std::string_view ByteReader::readByteString() {
    const auto bytes = readBytes(readCount(1));
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::span<const std::uint8_t> ByteReader::readBytes(std::size_t count) {
    if (!need(count)) {
        return {};
    }
    const auto out = m_bytes.subspan(m_pos, count);
    m_pos += count;
    return out;
}

std::size_t ByteReader::readCount(std::size_t minBytesPerItem) {
    const std::uint64_t count = readVarint();
    if (m_failed) {
        return 0;
    }
    const std::size_t perItem = minBytesPerItem > 0 ? minBytesPerItem : 1;
    if (count > remaining() / perItem) {
        m_failed = true;
        return 0;
    }
    return static_cast<std::size_t>(count);
}

} // namespace platform
