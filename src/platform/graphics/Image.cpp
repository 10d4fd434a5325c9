#include "platform/graphics/Image.h"

#include <QImageReader>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Larger images are not read: a damaged or hostile file must not make us allocate gigabytes.
constexpr int kMaxPixelsPerSide = 8192;

int pixels(double points) {
    if (!(points > 0) || !std::isfinite(points)) {
        return 1;
    }
    // Clamped before the conversion: a double beyond the range of int has no int value.
    return static_cast<int>(std::clamp(std::ceil(points), 1.0, static_cast<double>(kMaxPixelsPerSide)));
}

} // namespace

Image::Image(Size size) {
    image_ = QImage(pixels(size.width), pixels(size.height), QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    size_ = Size{std::max(size.width, 0.0), std::max(size.height, 0.0)};
}

Image Image::fromFile(const QString& path) {
    Image result;
    QImageReader reader(path);
    const QSize declared = reader.size();
    if (declared.isValid() &&
        (declared.width() > kMaxPixelsPerSide || declared.height() > kMaxPixelsPerSide)) {
        return result;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return result;
    }
    result.image_ = std::move(image);
    result.size_ =
        Size{static_cast<double>(result.image_.width()), static_cast<double>(result.image_.height())};
    result.sourcePath_ = path;
    return result;
}

} // namespace platform
