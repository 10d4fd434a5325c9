#pragma once

#include "platform/graphics/Image.h"
#include "platform/graphics/QPainterGraphicsContext.h"

#include <QImage>
#include <QRect>
#include <functional>

namespace rendertest {

// Draws into a transparent image of the given size and answers its pixels.
inline QImage render(int width, int height, const std::function<void(platform::GraphicsContext&)>& draw) {
    platform::Image image(platform::Size{double(width), double(height)});
    {
        platform::QPainterGraphicsContext context(image);
        draw(context);
    }
    return image.qImage();
}

inline bool inked(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) > 127;
}

// The smallest rectangle of pixels holding every inked pixel; null when nothing is inked.
inline QRect inkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 40) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

} // namespace rendertest
