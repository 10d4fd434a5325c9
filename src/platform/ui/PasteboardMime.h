#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/ui/DraggingInfo.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QMimeData;

namespace platform {

// Pasteboard types travel through Qt as MIME formats, one format per type:
// "application/x-tovrin-" followed by the type, where every byte outside A-Z, a-z, 0-9 and ". + _ -"
// (the type is UTF-8) is written as %XX with upper-case hex digits. So "itemType" becomes
// "application/x-tovrin-itemType". The bytes of a type are the data of its format; a type declared without
// bytes is a format with empty data.
inline constexpr std::string_view kPasteboardMimePrefix = "application/x-tovrin-";

QString mimeFormatForPasteboardType(std::string_view type);
// The type a format stands for; nothing for a format of another program or a malformed escape.
std::optional<std::string> pasteboardTypeForMimeFormat(const QString& format);

// Adds one pasteboard type with its bytes to MIME data (a drag source's write).
void writePasteboardType(QMimeData& mime, std::string_view type, const QByteArray& data);
// The types of a drag, in order, with their bytes; for a drag source or a test.
std::unique_ptr<QMimeData> mimeDataFromDraggingInfo(const DraggingInfo& info);
// What a drag destination sees of MIME data: our formats in their order, other formats left out.
DraggingInfo draggingInfoFromMimeData(const QMimeData& mime, Point locationInHost);

} // namespace platform
