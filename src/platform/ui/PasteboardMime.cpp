#include "platform/ui/PasteboardMime.h"

#include <QMimeData>
#include <QStringList>

namespace platform {

namespace {

bool isPlainByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '+' || c == '_' || c == '-';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

QString mimeFormatForPasteboardType(std::string_view type) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out(kPasteboardMimePrefix);
    for (char ch : type) {
        const auto c = static_cast<unsigned char>(ch);
        if (isPlainByte(c)) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 0xF]);
        }
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

std::optional<std::string> pasteboardTypeForMimeFormat(const QString& format) {
    const QByteArray bytes = format.toUtf8();
    const std::string_view text(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (text.size() <= kPasteboardMimePrefix.size() ||
        text.substr(0, kPasteboardMimePrefix.size()) != kPasteboardMimePrefix) {
        return std::nullopt;
    }
    std::string type;
    for (size_t i = kPasteboardMimePrefix.size(); i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '%') {
            if (i + 2 >= text.size()) {
                return std::nullopt;
            }
            const int hi = hexValue(text[i + 1]);
            const int lo = hexValue(text[i + 2]);
            if (hi < 0 || lo < 0) {
                return std::nullopt;
            }
            type.push_back(static_cast<char>(hi * 16 + lo));
            i += 2;
        } else if (isPlainByte(c)) {
            type.push_back(static_cast<char>(c));
        } else {
            return std::nullopt;
        }
    }
    return type;
}

void writePasteboardType(QMimeData& mime, std::string_view type, const QByteArray& data) {
    mime.setData(mimeFormatForPasteboardType(type), data);
}

std::unique_ptr<QMimeData> mimeDataFromDraggingInfo(const DraggingInfo& info) {
    auto mime = std::make_unique<QMimeData>();
    for (const auto& type : info.types()) {
        writePasteboardType(*mime, type, info.dataForType(type));
    }
    return mime;
}

DraggingInfo draggingInfoFromMimeData(const QMimeData& mime, Point locationInHost) {
    DraggingInfo info;
    const QStringList formats = mime.formats();
    for (const QString& format : formats) {
        if (auto type = pasteboardTypeForMimeFormat(format)) {
            info.addType(*type, mime.data(format));
        }
    }
    info.setDraggingLocation(locationInHost);
    return info;
}

} // namespace platform
