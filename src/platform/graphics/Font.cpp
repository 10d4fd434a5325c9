#include "platform/graphics/Font.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QRawFont>
#include <QStringList>
#include <cmath>
#include <vector>

namespace platform {

namespace {

constexpr double kDefaultSize = 12.0;
const char* const kSubstituteFamily = "DejaVu Sans";

struct Face {
    QString family;
    QString style;
    QString fullName;
    QString postScriptName;
    int weight = 400;
    bool italic = false;
};

quint16 readU16(const QByteArray& data, qsizetype at) {
    return static_cast<quint16>((static_cast<unsigned char>(data[at]) << 8) |
                                static_cast<unsigned char>(data[at + 1]));
}

// Reads one name (full name 4 or PostScript name 6) from an OpenType "name" table, preferring the
// Unicode and Windows records over the Macintosh ones. Every offset is checked: font files are installed
// by users.
QString nameFromTable(const QByteArray& table, quint16 wantedId) {
    if (table.size() < 6) {
        return {};
    }
    const quint16 count = readU16(table, 2);
    const quint16 storage = readU16(table, 4);
    QString macName;
    for (quint16 i = 0; i < count; ++i) {
        const qsizetype rec = 6 + qsizetype(i) * 12;
        if (rec + 12 > table.size()) {
            break;
        }
        const quint16 platformId = readU16(table, rec);
        const quint16 nameId = readU16(table, rec + 6);
        const quint16 length = readU16(table, rec + 8);
        const quint16 offset = readU16(table, rec + 10);
        if (nameId != wantedId) {
            continue;
        }
        const qsizetype start = qsizetype(storage) + offset;
        if (start + length > table.size()) {
            continue;
        }
        if (platformId == 0 || platformId == 3) {
            QString s;
            for (qsizetype k = 0; k + 1 < length; k += 2) {
                s.append(QChar(readU16(table, start + k)));
            }
            if (!s.isEmpty()) {
                return s;
            }
        } else if (platformId == 1 && macName.isEmpty()) {
            macName = QString::fromLatin1(table.constData() + start, length);
        }
    }
    return macName;
}

bool sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// Every installed face, once. Aliases of the font configuration ("Sans Serif") stand for other
// families and are left out, so that only names of real faces match.
const std::vector<Face>& installedFaces() {
    static const std::vector<Face> faces = [] {
        std::vector<Face> result;
        for (const QString& family : QFontDatabase::families()) {
            for (const QString& style : QFontDatabase::styles(family)) {
                const QFont font = QFontDatabase::font(family, style, 12);
                const QRawFont raw = QRawFont::fromFont(font);
                if (!raw.isValid() || !sameName(raw.familyName(), family)) {
                    continue;
                }
                const QByteArray table = raw.fontTable("name");
                Face face;
                face.family = family;
                face.style = style;
                face.fullName = nameFromTable(table, 4);
                face.postScriptName = nameFromTable(table, 6);
                if (face.fullName.isEmpty()) {
                    face.fullName = family + QLatin1Char(' ') + style;
                }
                if (face.postScriptName.isEmpty()) {
                    face.postScriptName = QString(face.fullName).remove(QLatin1Char(' '));
                }
                face.weight = QFontDatabase::weight(family, style);
                face.italic = QFontDatabase::italic(family, style);
                bool duplicate = false;
                for (const Face& f : result) {
                    if (f.postScriptName == face.postScriptName) {
                        duplicate = true;
                        break;
                    }
                }
                if (!duplicate) {
                    result.push_back(face);
                }
            }
        }
        return result;
    }();
    return faces;
}

// The regular face of a family: the one whose full name is the family name, else one with a plain
// style name, else an upright face of normal weight that is not condensed, else the first.
const Face* regularFaceOfFamily(const QString& family, int weight = 400) {
    const std::vector<Face>& faces = installedFaces();
    std::vector<const Face*> members;
    for (const Face& f : faces) {
        if (sameName(f.family, family)) {
            members.push_back(&f);
        }
    }
    if (members.empty()) {
        return nullptr;
    }
    if (weight == 400) {
        for (const Face* f : members) {
            if (sameName(f->fullName, f->family)) {
                return f;
            }
        }
        for (const char* plain : {"Regular", "Book", "Normal", "Roman"}) {
            for (const Face* f : members) {
                if (sameName(f->style, QLatin1String(plain))) {
                    return f;
                }
            }
        }
    }
    for (const Face* f : members) {
        if (f->weight == weight && !f->italic &&
            !f->style.contains(QLatin1String("Condensed"), Qt::CaseInsensitive) &&
            !f->style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive)) {
            return f;
        }
    }
    return weight == 400 ? members.front() : nullptr;
}

const Face* findFace(const QString& name) {
    const std::vector<Face>& faces = installedFaces();
    for (const Face& f : faces) {
        if (sameName(f.fullName, name)) {
            return &f;
        }
    }
    for (const Face& f : faces) {
        if (sameName(f.postScriptName, name)) {
            return &f;
        }
    }
    return regularFaceOfFamily(name);
}

struct Substitution {
    const char* name;
    const char* postScriptName;
    int weight;
    bool italic;
};

// Names of fonts the documents use that Linux does not have: the PostScript names and the full names
// ("Helvetica Oblique Bold" is how a stored family, style and weight read together). The substitute
// keeps the asked name, so the text is written back as it came, and keeps its weight and slant.
const Substitution kSubstitutions[] = {
    {"Lucida Grande", "LucidaGrande", 400, false},
    {"LucidaGrande", "LucidaGrande", 400, false},
    {"Lucida Grande Bold", "LucidaGrande-Bold", 700, false},
    {"LucidaGrande-Bold", "LucidaGrande-Bold", 700, false},
    {"Helvetica", "Helvetica", 400, false},
    {"Helvetica-Bold", "Helvetica-Bold", 700, false},
    {"Helvetica Bold", "Helvetica-Bold", 700, false},
    {"Helvetica-Oblique", "Helvetica-Oblique", 400, true},
    {"Helvetica Oblique", "Helvetica-Oblique", 400, true},
    {"Helvetica-BoldOblique", "Helvetica-BoldOblique", 700, true},
    {"Helvetica Bold Oblique", "Helvetica-BoldOblique", 700, true},
    {"Helvetica Oblique Bold", "Helvetica-BoldOblique", 700, true},
};

// The slanted face of a family of the weight, when it has one.
const Face* slantedFaceOfFamily(const QString& family, int weight) {
    for (const Face& f : installedFaces()) {
        const bool slanted = f.italic || f.style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive) ||
                             f.style.contains(QLatin1String("Italic"), Qt::CaseInsensitive);
        if (sameName(f.family, family) && slanted && f.weight == weight &&
            !f.style.contains(QLatin1String("Condensed"), Qt::CaseInsensitive)) {
            return &f;
        }
    }
    return nullptr;
}

double usableSize(double size) {
    return (size > 0 && std::isfinite(size)) ? size : kDefaultSize;
}

// A 72 dpi device for measuring, so that a font of n points measures n units per em.
const QImage& referenceDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dotsPerMeter = static_cast<int>(std::lround(72.0 / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

QStringList linesOf(const QString& text) {
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    normalised.replace(QChar(0x2028), QLatin1Char('\n'));
    normalised.replace(QChar(0x2029), QLatin1Char('\n'));
    QStringList lines = normalised.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.back().isEmpty()) {
        lines.removeLast(); // a closing line break adds no line
    }
    return lines;
}

} // namespace

Font::Font() : Font(userFont(kDefaultSize)) {}

Font::Font(QString fontName, QString family, QString style, double size, bool substitute)
    : fontName_(std::move(fontName)), family_(std::move(family)), style_(std::move(style)), size_(size),
      substitute_(substitute) {
    qFont_ = QFont(family_);
    if (!style_.isEmpty()) {
        qFont_.setStyleName(style_);
    }
    qFont_.setPointSizeF(size_);
    // Unhinted outlines keep widths proportional to the size at every zoom.
    qFont_.setHintingPreference(QFont::PreferNoHinting);
}

std::optional<Font> Font::named(const QString& name, double size) {
    const double s = usableSize(size);
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    if (const Face* face = findFace(trimmed)) {
        return Font(face->postScriptName, face->family, face->style, s, false);
    }
    for (const Substitution& sub : kSubstitutions) {
        if (sameName(trimmed, QLatin1String(sub.name))) {
            const Face* face =
                sub.italic ? slantedFaceOfFamily(QLatin1String(kSubstituteFamily), sub.weight) : nullptr;
            if (face == nullptr) {
                face = regularFaceOfFamily(QLatin1String(kSubstituteFamily), sub.weight);
            }
            if (face == nullptr) {
                face = regularFaceOfFamily(QLatin1String(kSubstituteFamily));
            }
            if (face != nullptr) {
                return Font(QLatin1String(sub.postScriptName), face->family, face->style, s, true);
            }
            const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
            return Font(QLatin1String(sub.postScriptName), general.family(), QString(), s, true);
        }
    }
    return std::nullopt;
}

Font Font::userFont(double size) {
    const double s = usableSize(size);
    if (const Face* face = regularFaceOfFamily(QLatin1String(kSubstituteFamily))) {
        return Font(face->postScriptName, face->family, face->style, s, false);
    }
    const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (const Face* face = regularFaceOfFamily(general.family())) {
        return Font(face->postScriptName, face->family, face->style, s, false);
    }
    return Font(QString(general.family()).remove(QLatin1Char(' ')), general.family(), QString(), s, false);
}

Font Font::namedOrUserFont(const QString& name, double size) {
    if (std::optional<Font> font = named(name, size)) {
        return *font;
    }
    return userFont(size);
}

double Font::ascender() const {
    return QFontMetricsF(qFont_, &referenceDevice()).ascent();
}

double Font::descender() const {
    return QFontMetricsF(qFont_, &referenceDevice()).descent();
}

double Font::lineHeight() const {
    const QFontMetricsF metrics(qFont_, &referenceDevice());
    return metrics.ascent() + metrics.descent() + std::max(metrics.leading(), 0.0);
}

double Font::underlinePosition() const {
    return QFontMetricsF(qFont_, &referenceDevice()).underlinePos();
}

double Font::strikeoutPosition() const {
    return QFontMetricsF(qFont_, &referenceDevice()).strikeOutPos();
}

double Font::lineThickness() const {
    return QFontMetricsF(qFont_, &referenceDevice()).lineWidth();
}

double Font::widthOfString(const QString& text) const {
    const QFontMetricsF metrics(qFont_, &referenceDevice());
    double width = 0;
    for (const QString& line : linesOf(text)) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    return width;
}

Size Font::sizeOfString(const QString& text) const {
    if (text.isEmpty()) {
        return Size{0, 0};
    }
    const QStringList lines = linesOf(text);
    return Size{widthOfString(text), lineHeight() * static_cast<double>(lines.size())};
}

QFont Font::qFontForDevice(int logicalDpi) const {
    QFont font = qFont_;
    if (logicalDpi > 0) {
        font.setPointSizeF(size_ * 72.0 / logicalDpi);
    }
    return font;
}

} // namespace platform
