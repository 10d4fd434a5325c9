// Writes the PNG images that rests, the tie, the accidentals and the one-beat slash of the notes palette
// show while they are dragged (notes and tuplets drag the note head, which is drawn at run time). Each
// is the item's glyph of the built-in font at one pixel per point, as large as it lands on the staff,
// black on transparent with one free pixel around it; dotted rests carry their dots.
//
// Usage: tovrin_make_note_drag_images <glyph folder> [output folder]   (default: the glyph folder)

#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVNoteViewFactory.h"
#include "notation/TOVNoteViewLibrary.h"
#include "page_images/PageImages.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/QPainterGraphicsContext.h"

#include <QGuiApplication>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using platform::BezierPath;
using platform::Rect;

namespace {

constexpr double kMargin = 1.0;
constexpr double kDotGap = 1.0;
// A one-beat slash stands on a stem three and a half spaces long at the right of its head.
constexpr double kStemLength = 3.5 * TOVStaffSpace;
constexpr double kStemWidth = 0.8;

// How far above the middle line each rest's outline starts (the rest glyphs are made to hang from it).
double restTop(const std::string& key) {
    if (key == "KyuuhuZen") {
        return 6.0;
    }
    if (key == "Kyuuhu2") {
        return 3.0;
    }
    if (key == "Kyuuhu4") {
        return 11.0;
    }
    if (key == "Kyuuhu32") {
        return 10.0;
    }
    return 5.0;
}

bool save(BezierPath path, const std::string& folder, const std::string& name) {
    const Rect b = path.bounds();
    path.translate(kMargin - b.x(), kMargin - b.y());
    platform::Image image(
        platform::Size{std::ceil(b.width() + 2 * kMargin), std::ceil(b.height() + 2 * kMargin)});
    {
        platform::QPainterGraphicsContext ctx(image);
        ctx.setFillColor(platform::Color::black());
        ctx.fillPath(path);
    }
    return pageimages::savePng(image.qImage(), folder, name);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <glyph folder> [output folder]\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const std::string glyphs = argv[1];
    const std::string out = argc > 2 ? argv[2] : glyphs;
    TOVUtils::overrideResourceDirectory(glyphs);
    TOVNoteViewFactory factory;
    const auto library = factory.installPluginFontID("Default");

    bool ok = true;
    struct Rest {
        const char* key;
        std::uint64_t length;
    };
    // The rests with their dotted forms: name suffix, dot count.
    const Rest rests[] = {{"Kyuuhu32", 30}, {"Kyuuhu16", 60}, {"Kyuuhu8", 120},
                          {"Kyuuhu4", 240}, {"Kyuuhu2", 480}, {"KyuuhuZen", 960}};
    for (const auto& rest : rests) {
        const auto glyph = library->bezierPathForRestOfLength(rest.length);
        if (!glyph) {
            std::fprintf(stderr, "missing rest %s\n", rest.key);
            ok = false;
            continue;
        }
        ok = save(*glyph, out, rest.key) && ok;
        if (rest.length == 30 || rest.length == 960) {
            continue;
        }
        // Dots stand in the space above the middle line, right of the rest.
        for (std::uint64_t dotted : {rest.length * 3 / 2, rest.length * 7 / 4}) {
            auto dots = factory.bezierPathDotCircleOfLength(dotted);
            if (!dots) {
                continue;
            }
            const double middle = glyph->bounds().y() + restTop(rest.key);
            dots->translate(glyph->bounds().maxX() + kDotGap,
                            middle - TOVLevelPitch - TOVNoteViewFactory::kDotSize / 2);
            BezierPath withDots = *glyph;
            withDots.appendPath(*dots);
            ok = save(withDots, out, std::string(rest.key) + (dotted == rest.length * 3 / 2 ? "H" : "HH")) &&
                 ok;
        }
    }
    const struct {
        int type;
        const char* name;
    } accidentals[] = {{TOVSymbolSharp, "HenkaSharpX1"},
                       {TOVSymbolDoubleSharp, "HenkaSharpX2"},
                       {TOVSymbolFlat, "HenkaFlatX1"},
                       {TOVSymbolDoubleFlat, "HenkaFlatX2"},
                       {TOVSymbolNatural, "HenkaNatural"}};
    for (const auto& a : accidentals) {
        const auto view = library->accidentalViewWithSymbolType(a.type);
        if (!view || !view->bezierPath()) {
            std::fprintf(stderr, "missing accidental %s\n", a.name);
            ok = false;
            continue;
        }
        ok = save(*view->bezierPath(), out, a.name) && ok;
    }
    if (const auto tie = factory.noteSymbolTieView(); tie && tie->bezierPath()) {
        ok = save(*tie->bezierPath(), out, "OnpuTie") && ok;
    } else {
        std::fprintf(stderr, "missing tie\n");
        ok = false;
    }
    if (auto slash = library->bezierPathForSlashHeadOfLength(240)) {
        const Rect head = slash->bounds();
        slash->appendRect(Rect(head.maxX() - kStemWidth, head.midY() - kStemLength, kStemWidth, kStemLength));
        ok = save(*slash, out, "Slash1haku") && ok;
    } else {
        std::fprintf(stderr, "missing slash head\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
