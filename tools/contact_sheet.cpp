// Draws the glyphs of a glyph folder at the size and place the score gives them, on staves, into PNG
// files for a person to look at: a contact sheet of every symbol and note glyph, and a chart of chord
// symbols typeset by the chord factory at real bar geometry under each notation profile.
//
// Usage: tovrin_contact_sheet <glyph folder> <sheet.png> <chords.png> [zoom]

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVChordViewFactory.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVUtils.h"
#include "platform/graphics/QtPathConversion.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr double kSymbol = 0.59; // drawn scale of symbol and note glyphs

class Sheet {
public:
    Sheet(double width, double height, double zoom)
        : image_(int(width * zoom), int(height * zoom), QImage::Format_ARGB32), painter_() {
        image_.fill(Qt::white);
        painter_.begin(&image_);
        painter_.setRenderHint(QPainter::Antialiasing);
        painter_.scale(zoom, zoom);
    }

    void staff(double x, double top, double width) {
        for (int i = 0; i < 5; ++i) {
            painter_.fillRect(QRectF(x, top + i * TOVStaffSpace, width, 0.2), Qt::black);
        }
    }
    void barline(double x, double top) { painter_.fillRect(QRectF(x, top, 0.2, 23.8), Qt::black); }

    // Fills the glyph of the folder at the symbol scale with its top-left corner at (x, y); answers its
    // drawn size, or an empty size (and a red box) when the file is missing or empty.
    platform::Size glyph(const std::string& folder, const std::string& key, double x, double y,
                         double scale = kSymbol) {
        auto path = SVGUtils::bezierPathFromSVGFile(folder + "/" + key + ".svg");
        if (!path || path->isEmpty()) {
            painter_.fillRect(QRectF(x, y, 6, 6), Qt::red);
            std::fprintf(stderr, "missing or empty: %s\n", key.c_str());
            return {};
        }
        SVGUtils::scaleBezierPathXByYBy(&*path, scale, scale);
        fill(*path, x, y);
        return path->bounds().size;
    }

    void fill(platform::BezierPath path, double x, double y, QColor colour = Qt::black) {
        SVGUtils::moveBezierPathXByYBy(&path, x, y);
        painter_.fillPath(platform::toQPainterPath(path), colour);
    }

    void label(double x, double y, const QString& text, double size = 4.0) {
        QFont font("DejaVu Sans");
        font.setPixelSize(int(size * 2));
        painter_.save();
        painter_.translate(x, y);
        painter_.scale(0.5, 0.5);
        painter_.setFont(font);
        painter_.setPen(Qt::darkGray);
        painter_.drawText(QPointF(0, 0), text);
        painter_.restore();
    }

    bool save(const std::string& file) {
        painter_.end();
        return image_.save(QString::fromStdString(file));
    }

private:
    QImage image_;
    QPainter painter_;
};

// A row of glyphs standing on one staff, each put where its view would put it. `place` answers the y
// of a glyph's top edge from the staff's top line.
struct Row {
    std::string title;
    std::vector<std::string> keys;
    std::function<double(const std::string&, double top, double height)> place;
};

std::vector<std::string> numbered(const std::string& stem, int from, int to, const std::string& tail = "") {
    std::vector<std::string> keys;
    for (int i = from; i <= to; ++i) {
        keys.push_back(stem + std::to_string(i) + tail);
    }
    return keys;
}

double above(const std::string&, double top, double height) {
    return top - 6.0 - height;
}
double onTop(const std::string&, double top, double) {
    return top;
}

void drawSymbols(const std::string& folder, const std::string& file, double zoom) {
    const double width = 620;
    const double rowHeight = 66;
    auto keyTop = [](const std::string& key, double top, double) {
        const int n = key.back() - '0';
        if (key.rfind("keySharp", 0) == 0) {
            return top - (n <= 2 ? 8.0 : 11.0);
        }
        return top + (n == 1 ? 2.6 : -6.6);
    };
    const double middle = 11.8;
    std::vector<Row> rows = {
        {"clefs (G 8.0 and F 1.0 above the top line), common time, 4/4 ...",
         {"clefToon", "clefHeon", "time_c", "time4_4", "time3_4", "time6_8", "time12_8", "time1_4", "time2_4",
          "time5_4", "time7_4", "time3_8", "time5_8", "time7_8", "time9_8"},
         [](const std::string& key, double top, double) {
             if (key == "clefToon")
                 return top - 8.0;
             if (key == "clefHeon")
                 return top - 1.0;
             if (key == "time_c")
                 return top + 5.6;
             return top;
         }},
        {"sharps (treble)", numbered("keySharpX", 1, 7), keyTop},
        {"flats (treble)", numbered("keyFlatX", 1, 7), keyTop},
        {"heads on the middle line; slash heads on level -2",
         {"OnpuTamaKuro", "OnpuTama2", "OnpuTamaZen", "SlashTamaKuro", "SlashTamaShiro", "SlashTamaZen"},
         [&](const std::string& key, double top, double height) {
             const double centre = key.rfind("Slash", 0) == 0 ? top + middle + TOVStaffSpace : top + middle;
             return centre - height / 2;
         }},
        {"rests: top at the cell's distance above the middle line",
         {"KyuuhuZen", "Kyuuhu2", "Kyuuhu4", "Kyuuhu8", "Kyuuhu16", "Kyuuhu32"},
         [&](const std::string& key, double top, double) {
             const std::map<std::string, double> offsets = {{"KyuuhuZen", 6.0}, {"Kyuuhu2", 3.0},
                                                            {"Kyuuhu4", 11.0},  {"Kyuuhu8", 5.0},
                                                            {"Kyuuhu16", 5.0},  {"Kyuuhu32", 10.0}};
             return top + middle - offsets.at(key);
         }},
        {"dynamics",
         {"dynamicsPPP", "dynamicsPP", "dynamicsP", "dynamicsMP", "dynamicsMF", "dynamicsF", "dynamicsFF",
          "dynamicsFFF", "dynamicsFP", "dynamicsSF", "dynamicsSFZ", "dynamicsFZ"},
         above},
        {"navigation",
         {"repeatSegno", "repeatCoda", "repeatDaCapo", "repeatDalSegno", "repeatToCoda", "repeatFine",
          "repeatStraight", "repeatSimile", "repeatTacet"},
         above},
        {"repeat signs",
         {"repeatPrevBar", "repeatPrev2Bar", "repeatPrev4Bar", "repeatRepeat2", "repeatRepeat3",
          "repeatRepeat12", "octave8va", "octave15ma", "octave8vaBassa", "octave15maBassa"},
         [](const std::string& key, double top, double height) {
             if (key.rfind("repeatPrev", 0) == 0)
                 return top + 11.8 - height / 2;
             return top - 6.0 - height;
         }},
        {"tempo",
         {"tempoRit", "tempoPocoRit", "tempoAccel", "tempoPocoAccel", "tempoATempo", "tempoRubato",
          "tempoSpeed", "shuffle8", "shuffle16", "push8", "push16"},
         above},
        {"digits and circled digits", numbered("generalNumber", 0, 9), above},
        {"", numbered("generalNumberCircle", 0, 9), above},
        {"barlines, brace",
         {"barlinesSingle", "barlinesDotted", "barlinesDouble", "barlinesGrateDouble", "barlinesBrace"},
         onTop},
    };
    Sheet sheet(width, rowHeight * (rows.size() + 4) + 20, zoom);
    double y = 30;
    for (const auto& row : rows) {
        const double top = y;
        sheet.staff(10, top, width - 20);
        sheet.label(12, top - 20, QString::fromStdString(row.title));
        double x = 16;
        for (const auto& key : row.keys) {
            auto path = SVGUtils::bezierPathFromSVGFile(folder + "/" + key + ".svg");
            const double height = path ? path->bounds().height() * kSymbol : 0.0;
            const auto size = sheet.glyph(folder, key, x, row.place(key, top, height));
            x += std::max(size.width, 4.0) + 10;
        }
        y += rowHeight;
    }

    // Notes as the note view builds them: a head with its stem, flag and accidental.
    {
        const double top = y;
        sheet.staff(10, top, width - 20);
        sheet.label(12, top - 20,
                    "stems up with flags 8/16/32; accidentals at their default place; "
                    "articulations; dotted, repeat barlines");
        double x = 30;
        const char* flags[] = {"OnpuHata8", "OnpuHata16", "OnpuHata32"};
        for (const char* flag : flags) {
            auto head = SVGUtils::bezierPathFromSVGFile(folder + "/OnpuTamaKuro.svg");
            SVGUtils::defaultScaleBezierPath(&*head);
            const auto hb = head->bounds();
            const double level = 1; // the third space
            const double headTop = top + middle - level * TOVLevelPitch - hb.height() / 2;
            sheet.fill(*head, x, headTop);
            const double stemX = x + hb.width() - 0.6;
            const double stemTop = headTop + hb.height() / 2 - 3.5 * TOVStaffSpace;
            platform::BezierPath stem;
            stem.appendRect(platform::Rect(stemX, stemTop, 0.6, 3.5 * TOVStaffSpace));
            sheet.fill(stem, 0, 0);
            auto flagPath = SVGUtils::bezierPathFromSVGFile(folder + "/" + flag + ".svg");
            SVGUtils::defaultScaleBezierPath(&*flagPath);
            sheet.fill(*flagPath, stemX + 0.6 - 0.1, stemTop);
            x += 24;
        }
        struct Acc {
            const char* key;
            double dx, dy;
        };
        for (const Acc& acc : {Acc{"HenkaSharpX1", -4.8, -6.2}, Acc{"HenkaFlatX1", -5.0, -7.8},
                               Acc{"HenkaNatural", -4.2, -6.8}, Acc{"HenkaSharpX2", -5.5, -2.2},
                               Acc{"HenkaFlatX2", -9.0, -7.8}}) {
            x += 8;
            auto head = SVGUtils::bezierPathFromSVGFile(folder + "/OnpuTamaKuro.svg");
            SVGUtils::defaultScaleBezierPath(&*head);
            const double headTop = top + middle - head->bounds().height() / 2;
            sheet.fill(*head, x, headTop);
            sheet.glyph(folder, acc.key, x + acc.dx, headTop + acc.dy);
            x += 16;
        }
        for (const char* key :
             {"ArticulationAccento", "ArticulationMarcato", "ArticulationFermata", "ArticulationStaccato",
              "ArticulationTenuto", "ArticulationS", "ArticulationSlur"}) {
            const auto size = sheet.glyph(folder, key, x, top - 12);
            x += size.width + 6;
        }
        // Repeat barlines as the barline view composes them (thick parts from the wing glyphs).
        auto wing = [&](const char* key, double gx, double gy, bool upper) {
            auto path = SVGUtils::bezierPathFromSVGFile(folder + "/" + key + ".svg");
            if (!path)
                return;
            const double dy = upper ? gy - path->bounds().height() : gy;
            sheet.fill(*path, gx, dy);
        };
        x += 10;
        const double o = top;
        wing("barlinesRepeatLeftUpper", x, o + 23.8, true);
        wing("barlinesRepeatLeftLower", x, o, false);
        platform::BezierPath parts;
        parts.appendRect(platform::Rect(x + 3.5, o, 0.2, 23.8));
        parts.appendOvalInRect(platform::Rect(x + 5.2, o + 7.35, 3.0, 3.0));
        parts.appendOvalInRect(platform::Rect(x + 5.2, o + 13.25, 3.0, 3.0));
        sheet.fill(parts, 0, 0);
        x += 30;
        platform::BezierPath endParts;
        endParts.appendOvalInRect(platform::Rect(x, o + 7.35, 3.0, 3.0));
        endParts.appendOvalInRect(platform::Rect(x, o + 13.25, 3.0, 3.0));
        endParts.appendRect(platform::Rect(x + 4.5, o, 0.2, 23.8));
        sheet.fill(endParts, 0, 0);
        auto upper = SVGUtils::bezierPathFromSVGFile(folder + "/barlinesRepeatRightUpper.svg");
        const double rx = x + 6.2 - (upper ? upper->bounds().width() : 0) + 2.0;
        wing("barlinesRepeatRightUpper", rx, o + 23.8, true);
        wing("barlinesRepeatRightLower", rx, o, false);
        y += rowHeight;
    }

    // Composed glyphs as the factory builds them: a metronome mark with its speed (digits 2.0 right
    // and 8.0 below the glyph's top, 4.0 apart), a sign with circled pass numbers (2.0 apart, tops
    // aligned) and a long rest's count (digits doubled, centred between the second and fourth lines).
    {
        const double top = y;
        sheet.staff(10, top, width - 20);
        sheet.label(12, top - 20, "composed: metronome 120, D.S. with passes 1 and 2, Coda 3, long rest 12");
        auto read = [&](const std::string& key) {
            auto path = SVGUtils::bezierPathFromSVGFile(folder + "/" + key + ".svg");
            SVGUtils::defaultScaleBezierPath(&*path);
            return *path;
        };
        auto digits = [&](const std::string& number) {
            platform::BezierPath result;
            for (std::size_t i = 0; i < number.size(); ++i) {
                auto digit = read(std::string("generalNumber") + number[i]);
                SVGUtils::moveBezierPathXByYBy(&digit, 4.0 * double(i), 0);
                result.appendPath(digit);
            }
            return result;
        };
        double x = 20;
        auto metronome = read("tempoSpeed");
        auto speed = digits("120");
        SVGUtils::moveBezierPathXByYBy(&speed, metronome.bounds().width() + 2.0, 8.0);
        metronome.appendPath(speed);
        sheet.fill(metronome, x, top - 6 - metronome.bounds().height());
        x += metronome.bounds().width() + 20;
        for (const auto& [sign, passes] : std::vector<std::pair<std::string, std::string>>{
                 {"repeatDalSegno", "12"}, {"repeatCoda", "3"}}) {
            auto composed = read(sign);
            for (char pass : passes) {
                auto circled = read(std::string("generalNumberCircle") + pass);
                SVGUtils::moveBezierPathXByYBy(&circled, composed.bounds().width() + 2.0, 0);
                composed.appendPath(circled);
            }
            sheet.fill(composed, x, top - 6 - composed.bounds().height());
            x += composed.bounds().width() + 20;
        }
        // Long rest across a 120-point notes area, from the second to the fourth line.
        const double w = 120, h = 11.8, ly = top + TOVStaffSpace;
        auto count = digits("12");
        SVGUtils::scaleBezierPathXByYBy(&count, 2.0, 2.0);
        const auto cb = count.bounds();
        const double dx = (w - cb.width()) / 2;
        SVGUtils::moveBezierPathXByYBy(&count, x + dx, ly + (h - cb.height()) / 2);
        platform::BezierPath bars;
        bars.appendRect(platform::Rect(x + 4.0, ly, 2.0, h));
        bars.appendRect(platform::Rect(x + w - 6.0, ly, 2.0, h));
        bars.appendRect(platform::Rect(x + 5.0, ly + h / 2 - 2.0, dx - 10.0, 4.0));
        bars.appendRect(platform::Rect(x + dx + cb.width() + 5.0, ly + h / 2 - 2.0,
                                       w - 10.0 - dx - cb.width() - 5.0, 4.0));
        sheet.fill(bars, 0, 0);
        sheet.fill(count, 0, 0);
        y += rowHeight;
    }
    sheet.save(file);
}

// A chart of chords at the geometry of the score: bars of 130 points, chords on beats 1 and 3, the root
// standing on a base line above the staff, lowered by the chord's own offset.
void drawChords(const std::string& folder, const std::string& file, double zoom) {
    TOVUtils::overrideResourceDirectory(folder);
    TOVChordViewFactory factory;
    factory.installPluginFontID("Default");

    struct Entry {
        TOVChordElems chord;
    };
    auto c = [](int root, int quality, int tension = 70, int bass = 17) {
        return TOVChordElems::fromCodes(root, quality, tension, bass);
    };
    // C, Cm7, C-7, Cdim7, C half-dim, C+, F#m7(b5), Bbmaj7, Bb7(b9), C#7(9), Ebmaj7(#11), G7(b9,13),
    // C/E, Ab7(#9)/Gb, then a few more roots and tensions.
    const std::vector<TOVChordElems> chords = {
        c(0, 12),        c(0, 7),         c(0, 1),      c(0, 8),         c(0, 2),     c(0, 12, 20),
        c(8, 2),         c(15, 6),        c(15, 3, 10), c(1, 3, 3),      c(5, 6, 11), c(10, 3, 52),
        c(0, 12, 70, 6), c(12, 3, 17, 9), c(2, 5),      c(4, 7, 4),      c(9, 10),    c(11, 12, 1),
        c(14, 12, 0),    c(6, 1, 4),      c(13, 3, 45), c(16, 3, 43),    c(7, 12, 7), c(3, 0, 9),
        c(12, 12, 29),   c(0, 12, 5),     c(8, 1, 2),   c(15, 12, 70, 2)};
    struct Profile {
        const char* name;
        TOVChordNotationProfile profile;
    };
    const std::vector<Profile> profiles = {
        {"default profile", TOVChordNotationProfile{}},
        {"major 0, minor 1, diminished 1, augmented 1, sharpFlat 1",
         TOVChordNotationProfile{0, 1, 1, 1, 0, 1}},
        {"on 1 (bass under a bar), sharpFlat 1", TOVChordNotationProfile{1, 0, 0, 0, 1, 1}},
    };
    const double barWidth = 130.0;
    const int barsPerLine = 4;
    const double lineHeight = 84.0;
    const int perLine = barsPerLine * 2;
    const int linesPerProfile = int((chords.size() + perLine - 1) / perLine);
    const double width = 40 + barWidth * barsPerLine + 20;
    Sheet sheet(width, 20 + profiles.size() * (linesPerProfile * lineHeight + 20), zoom);
    double y = 10;
    for (const auto& [name, profile] : profiles) {
        factory.setProfile(profile);
        sheet.label(12, y + 10, name);
        y += 20;
        for (int line = 0; line < linesPerProfile; ++line) {
            const double top = y + 48; // top staff line
            sheet.staff(40, top, barWidth * barsPerLine);
            for (int b = 0; b <= barsPerLine; ++b) {
                sheet.barline(40 + b * barWidth, top);
            }
            const double base = top - 8.0; // chord base line
            for (int i = 0; i < perLine; ++i) {
                const std::size_t index = std::size_t(line * perLine + i);
                if (index >= chords.size())
                    break;
                auto path = factory.bezierPathFromChordFontID(chords[index], "Default");
                if (!path)
                    continue;
                const double x = 40 + 6 + (i / 2) * barWidth + (i % 2) * barWidth * 0.5;
                const double cy =
                    base - path->bounds().height() + factory.offsetYUnderBaseline(chords[index]);
                sheet.fill(*path, x, cy);
                std::printf("%s, chord %2d: %5.1f x %4.1f points\n", name, int(index), path->bounds().width(),
                            path->bounds().height());
            }
            y += lineHeight;
        }
    }
    sheet.save(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <glyph folder> <sheet.png> <chords.png> [zoom]\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const double zoom = argc > 4 ? std::atof(argv[4]) : 3.0;
    drawSymbols(argv[1], argv[2], zoom);
    drawChords(argv[1], argv[3], zoom);
    return 0;
}
