#include "PageImages.h"

#include <QImageWriter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace pageimages {

namespace {

// The grey of a pixel, white outside the image.
int greyAt(const QImage& grey, int x, int y) {
    if (x >= grey.width() || y >= grey.height()) {
        return 255;
    }
    return grey.constScanLine(y)[x];
}

} // namespace

QImage greyOnWhite(const QImage& page) {
    if (page.format() == QImage::Format_Grayscale8) {
        return page;
    }
    const QImage argb = page.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage grey(argb.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            // Premultiplied colour over white paper.
            const int paper = 255 - qAlpha(in[x]);
            out[x] =
                static_cast<uchar>(qGray(qRed(in[x]) + paper, qGreen(in[x]) + paper, qBlue(in[x]) + paper));
        }
    }
    return grey;
}

Difference compare(const QImage& before, const QImage& after) {
    const QImage a = greyOnWhite(before);
    const QImage b = greyOnWhite(after);
    Difference difference;
    difference.sizeDiffers = a.size() != b.size();
    const int width = std::max(a.width(), b.width());
    const int height = std::max(a.height(), b.height());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inBoth = x < a.width() && y < a.height() && x < b.width() && y < b.height();
            const int delta = std::abs(greyAt(a, x, y) - greyAt(b, x, y));
            if (delta > 0 || !inBoth) {
                ++difference.changedPixels;
            }
            if (delta > kMarkedLevel) {
                ++difference.markedPixels;
            }
        }
    }
    return difference;
}

QImage differenceImage(const QImage& before, const QImage& after) {
    const QImage a = greyOnWhite(before);
    const QImage b = greyOnWhite(after);
    QImage picture(std::max(a.width(), b.width()), std::max(a.height(), b.height()), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const int inkBefore = 255 - greyAt(a, x, y);
            const int inkAfter = 255 - greyAt(b, x, y);
            const int common = std::min(inkBefore, inkAfter);
            const int light = 255 - common / 3;
            if (inkBefore > inkAfter) {
                const int gone = inkBefore - inkAfter;
                out[x] = qRgb(light, std::max(0, light - gone), std::max(0, light - gone));
            } else if (inkAfter > inkBefore) {
                const int come = inkAfter - inkBefore;
                out[x] = qRgb(std::max(0, light - come), std::max(0, light - come), light);
            } else {
                out[x] = qRgb(light, light, light);
            }
        }
    }
    return picture;
}

bool saveGreyPng(const QImage& page, const QString& path) {
    QImageWriter writer(path, "PNG");
    // The smallest files (quality 0 is the strongest compression): references live in the repository.
    writer.setQuality(0);
    return writer.write(greyOnWhite(page));
}

bool savePng(const QImage& image, const std::string& folder, const std::string& name) {
    const std::string file = folder + "/" + name + ".png";
    if (!image.save(QString::fromStdString(file), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return false;
    }
    return true;
}

} // namespace pageimages
