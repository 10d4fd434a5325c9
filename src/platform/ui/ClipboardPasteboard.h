#pragma once

#include "platform/data/Pasteboard.h"

#include <QClipboard>
#include <QString>

#include <optional>
#include <string>

class QMimeData;

namespace platform {

// The system clipboard as a pasteboard: each type is one MIME format, named as drags name them
// (PasteboardMime.h). Every write replaces the clipboard with our own formats (the previous content of
// another program is dropped); reads see only our formats. Without a GUI application nothing is held.
class ClipboardPasteboard : public Pasteboard {
public:
    explicit ClipboardPasteboard(QClipboard::Mode mode = QClipboard::Clipboard);

    void clearContents() override;
    bool addTypes(const std::vector<std::string>& types) override;
    bool setDataForType(const Bytes& data, std::string_view type) override;
    std::vector<std::string> types() const override;
    std::optional<Bytes> dataForType(std::string_view type) const override;

    // The MIME format of a pasteboard type, and back (nothing for a format that is not one of ours or
    // whose name is not a valid type name). Drag sources and destinations use the same mapping.
    static QString mimeTypeForType(std::string_view type);
    static std::optional<std::string> typeForMimeType(const QString& mimeType);

private:
    QClipboard* clipboard() const;
    // A copy of our formats on the clipboard, to be changed and set back.
    QMimeData* copyOfOwnFormats() const;

    QClipboard::Mode mode_;
};

} // namespace platform
