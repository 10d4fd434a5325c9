#pragma once

#include "platform/foundation/Geometry.h"

#include <QFont>
#include <QString>
#include <optional>

namespace platform {

// A font face at a size in points, where one point is one unit of the drawing space.
//
// Fonts are found by their PostScript name ("DejaVuSans-Bold"), their full name ("DejaVu Sans Bold")
// or their family name ("DejaVu Sans", giving the family's regular face), compared without regard to
// case; a name that matches no installed face gives no font (never a nearest match). Families that the
// documents name but Linux lacks ("Lucida Grande") are drawn with a fixed substitute (DejaVu Sans),
// while the font keeps the name it was asked by, so that what is written back names the same font.
class Font {
public:
    // The user font at 12 points.
    Font();

    static std::optional<Font> named(const QString& name, double size);
    // The font for user text: DejaVu Sans when installed, else the desktop's general font.
    static Font userFont(double size);
    // named(name, size), or the user font at that size when there is no such font.
    static Font namedOrUserFont(const QString& name, double size);

    // The PostScript name (for a substitute, the PostScript name of the font that was asked for).
    const QString& fontName() const { return fontName_; }
    // The family and style of the face that is drawn.
    const QString& familyName() const { return family_; }
    const QString& styleName() const { return style_; }
    double pointSize() const { return size_; }
    bool isSubstitute() const { return substitute_; }

    // Distances from the baseline, both positive: up to the top of the line and down to its bottom.
    double ascender() const;
    double descender() const;
    // The height of one line of text: ascender + descender + leading.
    double lineHeight() const;
    // The width of the text's advance by the height of its lines; text with line breaks is measured
    // line by line.
    Size sizeOfString(const QString& text) const;
    double widthOfString(const QString& text) const;
    // Where lines under and through the text lie: the distance of the underline below the baseline, the
    // distance of the strike-through above it, and the thickness of a single line.
    double underlinePosition() const;
    double strikeoutPosition() const;
    double lineThickness() const;

    // The Qt font sized so that one point is one pixel on a 72 dpi device.
    const QFont& qFont() const { return qFont_; }
    // The Qt font for drawing on a device of that logical resolution so that one point stays one unit of
    // the painter's coordinates.
    QFont qFontForDevice(int logicalDpi) const;

    friend bool operator==(const Font& a, const Font& b) {
        return a.fontName_ == b.fontName_ && a.family_ == b.family_ && a.style_ == b.style_ &&
               a.size_ == b.size_ && a.substitute_ == b.substitute_;
    }

private:
    Font(QString fontName, QString family, QString style, double size, bool substitute);

    QString fontName_;
    QString family_;
    QString style_;
    double size_ = 12;
    bool substitute_ = false;
    QFont qFont_;
};

} // namespace platform
