#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class DraggingInfo;
}

// The pasteboard types of palette drags: each drag declares one of them, and holds under "itemType" a keyed
// archive of one number, the item's symbol type or unit type.
namespace TOVPaletteTypes {

inline const std::string SymbolForBarView = "TOVSymbolPaletteForBarViewData";
inline const std::string SymbolForBarlineView = "TOVSymbolPaletteForBarlineViewData";
inline const std::string SymbolForNoteView = "TOVSymbolPaletteForNoteViewData";
inline const std::string NoteForBarView = "TOVNotePaletteForBarViewData";
inline const std::string NoteForNoteView = "TOVNotePaletteForNoteViewData";
inline const std::string ItemType = "itemType";

// The five palette types, symbols palette first.
const std::vector<std::string>& allTypes();
// Whether the drag carries one of the symbols palette's types, or one of the notes palette's.
bool isSymbolPaletteDrag(const platform::DraggingInfo& info);
bool isNotePaletteDrag(const platform::DraggingInfo& info);
// The drag of one palette item, as a palette writes it: its pasteboard type declared without data (a
// marker of where the drag comes from and which targets it is for), then the item code archived under
// "itemType".
platform::DraggingInfo dragOfItem(const std::string& type, std::int32_t code);
// The item code of the drag: the number archived under "itemType", 0 when there is none or it cannot be
// read, cut to 32 bits.
std::int32_t itemCode(const platform::DraggingInfo& info);

} // namespace TOVPaletteTypes
