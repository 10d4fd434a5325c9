#include "layout/TOVPaletteTypes.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/ui/DraggingInfo.h"

#include <span>

namespace TOVPaletteTypes {

const std::vector<std::string>& allTypes() {
    static const std::vector<std::string> types{SymbolForBarView, SymbolForBarlineView, SymbolForNoteView,
                                                NoteForBarView, NoteForNoteView};
    return types;
}

bool isSymbolPaletteDrag(const platform::DraggingInfo& info) {
    return info.hasType(SymbolForBarView) || info.hasType(SymbolForBarlineView) ||
           info.hasType(SymbolForNoteView);
}

bool isNotePaletteDrag(const platform::DraggingInfo& info) {
    return info.hasType(NoteForBarView) || info.hasType(NoteForNoteView);
}

platform::DraggingInfo dragOfItem(const std::string& type, std::int32_t code) {
    platform::DraggingInfo info;
    info.addType(type);
    const auto bytes = platform::KeyedArchiver::archivedDataWithRootNumber(code);
    info.addType(ItemType, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                      static_cast<qsizetype>(bytes.size())));
    return info;
}

std::int32_t itemCode(const platform::DraggingInfo& info) {
    const QByteArray bytes = info.dataForType(ItemType);
    const auto number = platform::KeyedUnarchiver::unarchivedNumber(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
    return number ? static_cast<std::int32_t>(*number) : 0;
}

} // namespace TOVPaletteTypes
