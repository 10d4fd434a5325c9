#include "platform/ui/ClipboardPasteboard.h"

#include "platform/ui/PasteboardMime.h"

#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>

namespace platform {

namespace {

QByteArray toByteArray(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

} // namespace

ClipboardPasteboard::ClipboardPasteboard(QClipboard::Mode mode) : mode_(mode) {}

QString ClipboardPasteboard::mimeTypeForType(std::string_view type) {
    return mimeFormatForPasteboardType(type);
}

std::optional<std::string> ClipboardPasteboard::typeForMimeType(const QString& mimeType) {
    std::optional<std::string> type = pasteboardTypeForMimeFormat(mimeType);
    if (!type || !isValidTypeName(*type)) {
        return std::nullopt;
    }
    return type;
}

QClipboard* ClipboardPasteboard::clipboard() const {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
               ? QGuiApplication::clipboard()
               : nullptr;
}

QMimeData* ClipboardPasteboard::copyOfOwnFormats() const {
    auto* copy = new QMimeData;
    QClipboard* board = clipboard();
    const QMimeData* current = board != nullptr ? board->mimeData(mode_) : nullptr;
    if (current != nullptr) {
        for (const QString& format : current->formats()) {
            if (typeForMimeType(format).has_value()) {
                copy->setData(format, current->data(format));
            }
        }
    }
    return copy;
}

void ClipboardPasteboard::clearContents() {
    if (QClipboard* board = clipboard()) {
        board->setMimeData(new QMimeData, mode_);
    }
}

bool ClipboardPasteboard::addTypes(const std::vector<std::string>& types) {
    QClipboard* board = clipboard();
    QMimeData* data = copyOfOwnFormats();
    bool allValid = true;
    for (const std::string& type : types) {
        if (!isValidTypeName(type)) {
            allValid = false;
            continue;
        }
        const QString format = mimeTypeForType(type);
        if (!data->hasFormat(format)) {
            data->setData(format, QByteArray());
        }
    }
    if (board != nullptr) {
        board->setMimeData(data, mode_);
    } else {
        delete data;
    }
    return allValid;
}

bool ClipboardPasteboard::setDataForType(const Bytes& bytes, std::string_view type) {
    if (!isValidTypeName(type)) {
        return false;
    }
    QClipboard* board = clipboard();
    QMimeData* data = copyOfOwnFormats();
    data->setData(mimeTypeForType(type), toByteArray(bytes));
    if (board != nullptr) {
        board->setMimeData(data, mode_);
    } else {
        delete data;
    }
    return true;
}

std::vector<std::string> ClipboardPasteboard::types() const {
    std::vector<std::string> result;
    QClipboard* board = clipboard();
    const QMimeData* current = board != nullptr ? board->mimeData(mode_) : nullptr;
    if (current == nullptr) {
        return result;
    }
    for (const QString& format : current->formats()) {
        if (std::optional<std::string> type = typeForMimeType(format)) {
            result.push_back(std::move(*type));
        }
    }
    return result;
}

std::optional<Bytes> ClipboardPasteboard::dataForType(std::string_view type) const {
    if (!isValidTypeName(type)) {
        return std::nullopt;
    }
    QClipboard* board = clipboard();
    const QMimeData* current = board != nullptr ? board->mimeData(mode_) : nullptr;
    if (current == nullptr) {
        return std::nullopt;
    }
    const QByteArray data = current->data(mimeTypeForType(type));
    if (data.isEmpty()) {
        return std::nullopt;
    }
    return Bytes(data.begin(), data.end());
}

} // namespace platform
