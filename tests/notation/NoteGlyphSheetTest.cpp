// Every note glyph the factory gives for the built-in font, set on staves the way a score shows them (heads
// on lines and spaces, stems with flags up and down, dots, rests at their heights, accidentals before
// heads, articulations above them, the tie template, the drag preview with ledger lines, the palette's
// drag images), painted by a window. Set TOVRIN_SHEET_OUT to a file name to keep the picture.

#include "glyphs/TOVFlippedView.h"
#include "glyphs/TOVObjectView.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNotePreview.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ViewHost.h"
#include "support/ImageInk.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using platform::BezierPath;
using platform::Rect;

namespace {

using tovtest::inkIn;

constexpr double kStep = TOVLevelPitch;
constexpr double kStaffHeight = 23.6;
constexpr double kStemWidth = 0.8;
constexpr double kStemLength = 3.5 * TOVStaffSpace;

// A sheet of staves with glyphs placed on it and labels beside them.
class Sheet : public TOVFlippedView {
public:
    struct Placed {
        std::string what;
        BezierPath path; // already at its place
    };
    struct Picture {
        std::string what;
        platform::Image image;
        platform::Point at;
    };

    using TOVFlippedView::TOVFlippedView;

    // A staff whose top line is at y; answers the y of its middle line.
    double staff(double y, const QString& label, double labelAbove = 11) {
        staves_.push_back(y);
        labels_.push_back({label, y - labelAbove});
        return y + 2 * TOVStaffSpace;
    }
    void place(const std::string& what, BezierPath path, double x, double y) {
        path.translate(x, y);
        placed_.push_back({what, std::move(path)});
    }
    void label(const QString& text, double y) { labels_.push_back({text, y}); }
    void picture(const std::string& what, const platform::Image& image, platform::Point at) {
        pictures_.push_back({what, image, at});
    }
    void rect(const Rect& r) {
        BezierPath p;
        p.appendRect(r);
        placed_.push_back({"stem", p});
    }
    const std::vector<Placed>& placed() const { return placed_; }
    const std::vector<Picture>& pictures() const { return pictures_; }

    void drawRect(const Rect& dirty, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{1, 1, 1, 1});
        ctx.fillRect(dirty);
        ctx.setFillColor(platform::Color::black());
        for (double y : staves_) {
            for (int i = 0; i < 5; ++i) {
                ctx.fillRect(Rect(4, y + i * TOVStaffSpace, bounds().width() - 8, 0.2));
            }
        }
        for (const auto& label : labels_) {
            ctx.drawText(label.first, platform::Font::userFont(6), {4, label.second});
        }
        for (const auto& p : placed_) {
            ctx.fillPath(p.path);
        }
        for (const auto& p : pictures_) {
            ctx.drawImage(p.image, Rect(p.at, p.image.size()));
        }
    }

private:
    std::vector<double> staves_;
    std::vector<std::pair<QString, double>> labels_;
    std::vector<Placed> placed_;
    std::vector<Picture> pictures_;
};

TEST(NoteGlyphSheet, EveryNoteGlyphOnStaves) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVNoteViewFactory factory;
    factory.installPluginFontID("Default");
    const std::string font = "Default";

    constexpr double kZoom = 4.0;
    constexpr double kWidth = 330;
    constexpr double kHeight = 335;
    auto sheet = std::make_shared<Sheet>(Rect(0, 0, kWidth * kZoom, kHeight * kZoom));
    sheet->setBoundsSize({kWidth, kHeight});

    auto head = [&](std::uint64_t length, bool slash) {
        return slash ? *factory.defaultLibrary()->bezierPathForSlashHeadOfLength(length)
                     : *factory.defaultLibrary()->bezierPathForToneHeadOfLength(length);
    };
    // A head centred on the level's line or space, its dots right of it (in the space above when the
    // head is on a line); answers the head's bounds.
    auto note = [&](const std::string& what, std::uint64_t length, bool slash, double x, double middle,
                    int level) {
        BezierPath h = head(length, slash);
        const double centre = middle - level * kStep;
        const Rect b = h.bounds();
        sheet->place(what, h, x, centre - b.height() / 2);
        const Rect placed(x, centre - b.height() / 2, b.width(), b.height());
        if (auto dots = factory.bezierPathDotCircleOfLength(length)) {
            const double dotCentre = level % 2 == 0 ? centre - kStep : centre;
            sheet->place(what + " dots", *dots, placed.maxX() + 1.5, dotCentre - 1.0);
        }
        return placed;
    };

    // Row 1: heads of every length class, tone and slash, on a line and in a space, with dots.
    double middle =
        sheet->staff(20, "heads: 240 480 960, dotted 360 720, double-dotted 420 840; slash heads");
    double x = 12;
    for (auto [length, level] : std::vector<std::pair<std::uint64_t, int>>{
             {240, 0}, {480, 1}, {960, -2}, {360, 2}, {720, -1}, {420, 0}, {840, 3}, {160, -3}, {320, 4}}) {
        note("head " + std::to_string(length), length, false, x, middle, level);
        x += 22;
    }
    for (std::uint64_t length : {240u, 480u, 960u, 360u}) {
        note("slash " + std::to_string(length), length, true, x, middle, 0);
        x += 22;
    }

    // Row 2: stems with flags, up and down, 8th 16th 32nd (and the tuplet lengths 80 and 40).
    middle = sheet->staff(75, "flags up and down: 120 60 30, triplet 80 40");
    x = 12;
    for (bool flip : {false, true}) {
        for (std::uint64_t length : {120u, 60u, 30u, 80u, 40u}) {
            const Rect h = note("flagged head", 240, false, x, middle, flip ? 3 : -3);
            auto flag = factory.bezierPathFlagForLengthFlipFontID(length, flip, font);
            ASSERT_TRUE(flag) << length;
            if (!flip) {
                const double stemX = h.maxX() - kStemWidth;
                const double top = h.midY() - kStemLength;
                sheet->rect(Rect(stemX, top, kStemWidth, kStemLength));
                sheet->place("flag " + std::to_string(length), *flag, stemX + kStemWidth - 0.2, top);
            } else {
                const double stemX = h.x();
                const double bottom = h.midY() + kStemLength;
                sheet->rect(Rect(stemX, h.midY(), kStemWidth, kStemLength));
                sheet->place("flag down " + std::to_string(length), *flag, stemX + kStemWidth - 0.2, bottom);
            }
            x += 22;
        }
    }

    // Row 3: rests at the heights their glyphs are made for (each hangs from a fixed height above the
    // middle line).
    middle = sheet->staff(140, "rests: 30 60 120 240 480 960, and the tuplet lengths 40 80 160 320 640");
    x = 12;
    const std::pair<std::uint64_t, double> rests[] = {{30, 10.0},  {60, 5.0},  {120, 5.0}, {240, 11.0},
                                                      {480, 3.0},  {960, 6.0}, {40, 5.0},  {80, 5.0},
                                                      {160, 11.0}, {320, 3.0}, {640, 6.0}};
    for (const auto& [length, top] : rests) {
        auto rest = factory.defaultLibrary()->bezierPathForRestOfLength(length);
        ASSERT_TRUE(rest) << length;
        sheet->place("rest " + std::to_string(length), *rest, x, middle - top - rest->bounds().y());
        x += 20;
    }

    // Row 4: accidentals before heads, articulations above heads, the tie template between two heads.
    middle = sheet->staff(200, "sharp, double sharp, flat, double flat, natural; articulations; tie");
    x = 12;
    for (int type = TOVSymbolSharp; type <= TOVSymbolNatural; ++type) {
        const Rect h = note("head", 240, false, x + 11, middle, 0);
        auto accidental = factory.accidentalViewWithSymbolTypeFontID(type, font);
        ASSERT_TRUE(accidental && accidental->bezierPath()) << type;
        const Rect a = accidental->bezierPath()->bounds();
        sheet->place("accidental " + std::to_string(type), *accidental->bezierPath(), h.x() - 1.5 - a.width(),
                     h.midY() - a.height() / 2);
        x += 25;
    }
    for (int type = TOVSymbolTenuto; type <= TOVSymbolArpeggio; ++type) {
        const Rect h = note("head", 240, false, x, middle, -1);
        auto articulation = factory.articulationViewWithSymbolTypeFontID(type, font);
        ASSERT_TRUE(articulation && articulation->bezierPath()) << type;
        const Rect a = articulation->bezierPath()->bounds();
        if (type == TOVSymbolArpeggio) { // the arpeggio stands left of the head
            sheet->place("arpeggio", *articulation->bezierPath(), h.x() - 2 - a.width(),
                         h.midY() - a.height() / 2);
        } else {
            sheet->place("articulation " + std::to_string(type), *articulation->bezierPath(),
                         h.midX() - a.width() / 2, middle - 2 * TOVStaffSpace - 3 - a.height());
        }
        x += 18;
    }
    {
        const Rect left = note("tied head", 240, false, x, middle, -3);
        const Rect right = note("tied head", 240, false, x + 26, middle, -3);
        auto tie = factory.noteSymbolTieView();
        ASSERT_TRUE(tie && tie->bezierPath());
        const Rect t = tie->bezierPath()->bounds();
        sheet->place("tie", *tie->bezierPath(), left.midX() + (right.midX() - left.midX() - t.width()) / 2,
                     left.maxY() + 1);
    }

    // Row 5: the drag preview at a few levels (placed as the bar view places it), and the palette's drag
    // images.
    middle = sheet->staff(250, "drag preview at levels 8 7 1 0 -1 -6 -9", 30);
    x = 12;
    std::vector<std::shared_ptr<TOVNotePreview>> previews;
    for (int level : {8, 7, 1, 0, -1, -6, -9}) {
        auto preview = factory.tonePreviewForDraggingWithFontID(font);
        ASSERT_TRUE(preview);
        const double centre = middle - level * kStep;
        Rect frame;
        if (level >= 1) {
            frame = Rect(x, centre - kStep, preview->frame().width(), middle - centre + kStep);
        } else if (level == 0) {
            frame = Rect(x, middle - kStep, preview->frame().width(), 2 * kStep);
        } else {
            frame = Rect(x, middle, preview->frame().width(), centre + kStep - middle);
        }
        preview->setFrame(frame);
        preview->setLevel(level);
        preview->updateView();
        sheet->addSubview(preview);
        previews.push_back(preview);
        x += 20;
    }
    sheet->label("palette drag images: half note, rests, tie, accidentals, harmony tone, one-beat slash",
                 290);
    x = 12;
    for (std::uint32_t type : {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLength32nd),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLength16th),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDotted16th),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLength8th),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDotted8th),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDoubleDotted8th),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthQuarter),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDottedQuarter),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDoubleDottedQuarter),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthHalf),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDottedHalf),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDoubleDottedHalf),
                               TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthWhole),
                               TOVNoteItemTie,
                               TOVNoteItemSharp,
                               TOVNoteItemDoubleSharp,
                               TOVNoteItemNatural,
                               TOVNoteItemFlat,
                               TOVNoteItemDoubleFlat,
                               TOVNoteItemHarmonyTone,
                               TOVNoteItemBeatSlash}) {
        auto image = factory.imageForNotePaletteDraggingPreviewWithTypeFontID(type, font);
        ASSERT_TRUE(image) << std::hex << type;
        sheet->picture("drag image", *image, {x, 315 - image->size().height / 2});
        x += image->size().width + 3;
    }
    TOVUtils::overrideResourceDirectory(std::nullopt);

    platform::ViewHost host;
    host.setRootView(sheet);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage image = host.grab().toImage();
    if (const char* out = std::getenv("TOVRIN_SHEET_OUT")) {
        image.save(QString::fromLocal8Bit(out));
    }

    // Every glyph and picture put on the sheet shows ink where it was put.
    auto area = [&](const Rect& r) {
        return QRect(int(r.x() * kZoom), int(r.y() * kZoom), int(r.width() * kZoom) + 1,
                     int(r.height() * kZoom) + 1);
    };
    for (const auto& p : sheet->placed()) {
        EXPECT_GT(inkIn(image, area(p.path.bounds())), 0) << p.what;
    }
    for (const auto& p : sheet->pictures()) {
        EXPECT_GT(inkIn(image, area(Rect(p.at, p.image.size()))), 0) << p.what;
    }
    // The preview draws its ledger lines across its frame: the line of level 8 lies 3 spaces above the top
    // staff line... and the heads in the preview colour, not black.
    for (const auto& preview : previews) {
        const Rect f = preview->frame();
        EXPECT_GT(inkIn(image, area(f)), 0) << preview->level();
    }
}

} // namespace
