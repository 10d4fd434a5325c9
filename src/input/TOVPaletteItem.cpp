#include "input/TOVPaletteItem.h"

#include "layout/TOVPaletteTypes.h"
#include "model/TOVUtils.h"
#include "platform/foundation/Resources.h"
#include "platform/graphics/GraphicsContext.h"

#include <QString>

#include <cmath>

TOVPaletteItem TOVPaletteItem::make(const char* iconName, const char* label, const char* hint,
                                    std::int32_t code, const std::string& pBoardType) {
    TOVPaletteItem item;
    item.iconName = iconName;
    if (const auto path = TOVUtils::pathForResourceOfType(iconName, "png")) {
        item.icon = platform::Image::fromFile(QString::fromStdString(*path));
    }
    item.label = platform::localized(label);
    item.hint = platform::localized(hint);
    item.itemType = code;
    item.pBoardType = pBoardType;
    return item;
}

QRect inkBounds(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

std::optional<platform::DraggingInfo> writeItemsAtIndexes(const TOVPaletteItems& items,
                                                          const platform::CellGrid::IndexSet& indexes) {
    if (indexes.empty() || *indexes.begin() >= items.size()) {
        return std::nullopt;
    }
    const TOVPaletteItem& item = items[*indexes.begin()];
    if (!item.itemType || item.pBoardType.empty()) {
        return std::nullopt;
    }
    return TOVPaletteTypes::dragOfItem(item.pBoardType, *item.itemType);
}

TOVPaletteCollectionView::TOVPaletteCollectionView(QWidget* parent) : platform::CellGrid(parent) {
    setAcceptsFirstResponder(false);
    setCellSize(kCellSize);
    constexpr platform::Color kNormal = platform::Color::fromRGB(0.949, 0.949, 0.949);
    setColors(
        Colors{kNormal, kNormal, platform::Color::cellSelectedFill(), platform::Color::cellSelectedBorder()});
    setCellDrawer([this](std::size_t index, platform::GraphicsContext& context, platform::Size cell) {
        if (items_ == nullptr || index >= items_->size()) {
            return;
        }
        const platform::Image& icon = (*items_)[index].icon;
        if (icon.isNull()) {
            return;
        }
        // The icons are drawn for these cells at one pixel per point; a larger one is scaled down.
        const platform::Size size = icon.size();
        const double scale = std::min({1.0, cell.width / size.width, cell.height / size.height});
        const double w = size.width * scale;
        const double h = size.height * scale;
        context.drawImage(
            icon, platform::Rect(std::round((cell.width - w) / 2), std::round((cell.height - h) / 2), w, h));
    });
    setDragWriter([this](const IndexSet& indexes) -> std::optional<platform::DraggingInfo> {
        if (items_ == nullptr) {
            return std::nullopt;
        }
        return writeItemsAtIndexes(*items_, indexes);
    });
}

void TOVPaletteCollectionView::setItems(const TOVPaletteItems* items) {
    items_ = items;
    setItemCount(items != nullptr ? items->size() : 0);
    reloadData();
}
