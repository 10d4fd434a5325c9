#pragma once

// Pages rendered to images, compared the way the render checks want: as grey on white, pixel by pixel.
#include <QImage>
#include <QString>

#include <string>

namespace pageimages {

// The page as 8-bit grey on white paper (a transparent page is white), the form the references keep.
QImage greyOnWhite(const QImage& page);

// How far two renderings of a page lie apart.
struct Difference {
    // Pixels whose grey differs at all, and those that differ by more than the marked level: edges
    // drawn a little lighter or darker (anti-aliasing) change a pixel by less.
    long long changedPixels = 0;
    long long markedPixels = 0;
    // Whether the pages are of different sizes (every pixel outside the common part counts as changed).
    bool sizeDiffers = false;
};

// A pixel differs markedly when its grey moves by more than a quarter of the scale: anti-aliasing noise
// (a renderer's different rounding of edge coverage) stays below that, while ink that moves by a point
// (two pixels at scale 2) turns the pixels along its edges from paper to ink.
constexpr int kMarkedLevel = 64;
// A page matches its reference while no more pixels than these differ markedly: the odd edge pixel whose
// coverage rounds across the level, never the dozens a shifted glyph leaves, even one as small as a dot.
constexpr long long kMarkedPixelsAllowed = 4;

// Compares two pages in any format, each taken as grey on white.
Difference compare(const QImage& before, const QImage& after);

// Whether the page still matches its reference.
inline bool matches(const Difference& difference) {
    return !difference.sizeDiffers && difference.markedPixels <= kMarkedPixelsAllowed;
}

// A picture of the change, the size of the larger page: ink both have in light grey, ink only the first
// has in red, ink only the second has in blue.
QImage differenceImage(const QImage& before, const QImage& after);

// Writes the page as compact grey PNG; false when it cannot be written.
bool saveGreyPng(const QImage& page, const QString& path);

// Writes the image as folder/name.png as it is; says on standard error what could not be written.
bool savePng(const QImage& image, const std::string& folder, const std::string& name);

} // namespace pageimages
