#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/CellGrid.h"
#include "platform/ui/DraggingInfo.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One cell of a palette: made when its palette is made, never changed afterwards.
struct TOVPaletteItem {
    // Every icon has this size (tools/make_palette_icons draws them).
    static constexpr platform::Size kIconSize{72, 44};

    // The name of the icon's PNG resource.
    std::string iconName;
    // The icon of the application's PNG resource named after the item; null when it cannot be loaded.
    platform::Image icon;
    // Short name and usage hint, in the user's language (the English text when there is no translation).
    std::string label;
    std::string hint;
    // A symbol type for the symbols palette, a unit type for the notes palette.
    std::optional<std::int32_t> itemType;
    // One of the palette pasteboard types: which drop targets take the item.
    std::string pBoardType;

    // The item of an icon resource, an English label and hint, a code and a pasteboard type.
    static TOVPaletteItem make(const char* iconName, const char* label, const char* hint, std::int32_t code,
                               const std::string& pBoardType);
};

using TOVPaletteItems = std::vector<TOVPaletteItem>;

// The smallest rectangle that holds every pixel of the image that is not wholly transparent.
QRect inkBounds(const QImage& image);

// The drag of the first of the dragged cells (further ones are ignored): its pasteboard type as a marker,
// then its code under "itemType". Nothing, so no drag, for an index past the items or an item without a
// code or a type.
std::optional<platform::DraggingInfo> writeItemsAtIndexes(const TOVPaletteItems& items,
                                                          const platform::CellGrid::IndexSet& indexes);

// The grid of a palette: one cell per item, its icon in the middle; pale grey cells, the selected one
// blue. It never takes the keyboard focus. Dragging a cell drags its item.
class TOVPaletteCollectionView : public platform::CellGrid {
    Q_OBJECT
public:
    static constexpr platform::Size kCellSize{76, 48};

    explicit TOVPaletteCollectionView(QWidget* parent = nullptr);

    // The items shown; the selection is kept as far as it still fits.
    void setItems(const TOVPaletteItems* items);
    const TOVPaletteItems* items() const { return items_; }

private:
    const TOVPaletteItems* items_ = nullptr;
};
