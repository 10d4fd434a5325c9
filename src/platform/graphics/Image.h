#pragma once

#include "platform/foundation/Geometry.h"

#include <QImage>
#include <QString>

namespace platform {

// A raster image with a size in points. Images are read from PNG files (the callers find the files of
// named resources) or made empty and drawn into through a QPainterGraphicsContext.
class Image {
public:
    // The null image: no pixels, size (0, 0); drawing it does nothing.
    Image() = default;
    // A transparent image of the given size, one pixel per point (at least one pixel each way).
    explicit Image(Size size);

    // The image in the file, or the null image when the file is missing or not a readable image.
    static Image fromFile(const QString& path);

    bool isNull() const { return image_.isNull(); }
    Size size() const { return size_; }
    // The file the image was read from; empty for images made in memory.
    const QString& sourcePath() const { return sourcePath_; }

    const QImage& qImage() const { return image_; }
    QImage& qImage() { return image_; }

private:
    QImage image_;
    Size size_;
    QString sourcePath_;
};

} // namespace platform
