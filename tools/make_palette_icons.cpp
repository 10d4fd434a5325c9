// Writes the PNG icons of the symbols palette's cells. Each is the item's own view from the built-in
// glyphs, drawn as the score draws it at 100 % (barlines on a piece of staff), black on transparent,
// centred in an icon of one size. Signs that stretch (hairpins, octave lines) are given a length that
// fits the icon; the invisible barline shows grey.
//
// Usage: tovrin_make_palette_icons <glyph folder> [output folder]   (default: the glyph folder)
//        tovrin_make_palette_icons --grab <glyph folder> <output folder>
// The second form writes a picture of the palette window in each category, its second cell selected, for
// checking the icons as the palette shows them.

#include "glyphs/TOVBarLineView.h"
#include "glyphs/TOVLongRestView.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "input/TOVPaletteItem.h"
#include "input/TOVSymbolsPaletteWindowController.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteViewFactory.h"
#include "notation/TOVNoteViewLibrary.h"
#include "page_images/PageImages.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/QPainterGraphicsContext.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/ToolbarItem.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <memory>
#include <string>

using platform::Rect;
using platform::Size;

namespace {

constexpr int kIconWidth = static_cast<int>(TOVPaletteItem::kIconSize.width);
constexpr int kIconHeight = static_cast<int>(TOVPaletteItem::kIconSize.height);
// Where a sign is drawn on the work canvas, and how large that canvas is.
constexpr double kOrigin = 40;
constexpr int kCanvas = 240;
// A barline stands in the middle of a piece of staff this wide.
constexpr double kStaffPiece = 36;
constexpr double kStaffLineWidth = 0.4;
constexpr double kStaffHeight = 4 * TOVStaffSpace;

// The view that shows the item in the score, in a frame that fits an icon; null when there is none.
std::shared_ptr<platform::View> viewOfItem(int code, const TOVObjectViewFactory& symbols,
                                           const TOVNoteViewLibrary& notes) {
    switch (code & TOVSymbolCategoryMask) {
    case TOVSymbolCategoryBarline: {
        auto barline = TOVBarLineView::withFrame(Rect(0, 0, kStaffPiece, kStaffHeight));
        // The invisible barline is drawn as a single one (and greyed by the caller).
        barline->setBarLineType(code == TOVBarlineTransparent ? TOVBarlineSingle : code);
        return barline;
    }
    case TOVSymbolCategoryArticulation: {
        auto view = notes.articulationViewWithSymbolType(code);
        // A slur takes the length of its notes; here that of a short one.
        if (view && code == TOVSymbolSlur) {
            view->setFrameSize(Size{kIconWidth - 32.0, 12});
        }
        return view;
    }
    default:
        break;
    }
    if (code == TOVSymbolLongRest) {
        // Between the second and the fourth staff line; its count is asked for when it is dropped.
        return std::make_shared<TOVLongRestView>(Rect(0, 0, kIconWidth - 12, 2 * TOVStaffSpace));
    }
    std::shared_ptr<TOVObjectView> view = symbols.symbolObjectViewWithSymbolTypeFontID(code, "Default");
    if (view && view->frame().width() > kIconWidth) {
        view->setFrameSize(Size{kIconWidth - 8.0, view->frame().height()});
    }
    return view;
}

int grabPalette(const std::string& out) {
    TOVSymbolsPaletteWindowController palette;
    palette.showUp();
    bool ok = true;
    for (std::size_t tag = 0; tag < TOVSymbolsPaletteWindowController::CategoryCount; ++tag) {
        const std::string name = palette.toolbar()->items()[tag]->itemIdentifier();
        palette.toolbar()->setSelectedItemIdentifier(name);
        palette.changeCategory(tag);
        palette.collectionView()->setSelectionIndexes({1});
        QApplication::processEvents();
        ok = pageimages::savePng(palette.window()->grab().toImage(), out,
                                 "palette-" + std::to_string(tag) + "-" + name) &&
             ok;
    }
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <glyph folder> [output folder]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    if (std::string(argv[1]) == "--grab") {
        if (argc < 4) {
            std::fprintf(stderr, "usage: %s --grab <glyph folder> <output folder>\n", argv[0]);
            return 2;
        }
        TOVUtils::overrideResourceDirectory(argv[2]);
        return grabPalette(argv[3]);
    }
    const std::string glyphs = argv[1];
    const std::string out = argc > 2 ? argv[2] : glyphs;
    TOVUtils::overrideResourceDirectory(glyphs);
    TOVObjectViewFactory symbols;
    symbols.installPluginFontID("Default");
    TOVNoteViewFactory noteFactory;
    const auto notes = noteFactory.installPluginFontID("Default");
    TOVUtils::Services services;
    services.objectViewFactory = [&symbols] { return &symbols; };
    TOVUtils::registerServices(services);

    bool ok = true;
    const TOVSymbolsPaletteWindowController palette;
    for (const TOVPaletteItems& items : palette.paletteItemsArray()) {
        for (const TOVPaletteItem& item : items) {
            const int code = *item.itemType;
            const auto view = viewOfItem(code, symbols, *notes);
            if (!view) {
                std::fprintf(stderr, "no view for %s (0x%X)\n", item.iconName.c_str(), code);
                ok = false;
                continue;
            }
            QImage canvas(kCanvas, kCanvas, QImage::Format_ARGB32_Premultiplied);
            canvas.fill(Qt::transparent);
            {
                QPainter painter(&canvas);
                painter.setRenderHint(QPainter::Antialiasing);
                platform::QPainterGraphicsContext ctx(painter, false);
                ctx.concatTransform(platform::AffineTransform::translation(kOrigin, kOrigin));
                if ((code & TOVSymbolCategoryMask) == TOVSymbolCategoryBarline) {
                    ctx.setFillColor(platform::Color::black());
                    for (int line = 0; line < 5; ++line) {
                        ctx.fillRect(Rect(0, line * TOVStaffSpace - kStaffLineWidth / 2, kStaffPiece,
                                          kStaffLineWidth));
                    }
                }
                if (code == TOVBarlineTransparent) {
                    painter.setOpacity(0.3);
                }
                view->drawTree(view->bounds(), ctx);
            }
            const QRect ink = inkBounds(canvas);
            if (ink.isEmpty() || ink.width() > kIconWidth || ink.height() > kIconHeight) {
                std::fprintf(stderr, "%s: drawing of %d x %d does not fit\n", item.iconName.c_str(),
                             ink.width(), ink.height());
                ok = false;
                continue;
            }
            QImage icon(kIconWidth, kIconHeight, QImage::Format_ARGB32_Premultiplied);
            icon.fill(Qt::transparent);
            {
                QPainter painter(&icon);
                painter.drawImage(QPoint((kIconWidth - ink.width()) / 2, (kIconHeight - ink.height()) / 2),
                                  canvas.copy(ink));
            }
            ok = pageimages::savePng(icon, out, item.iconName) && ok;
        }
    }
    TOVUtils::registerServices({});
    return ok ? 0 : 1;
}
