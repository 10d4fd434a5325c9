#pragma once

#include <QImage>
#include <QRect>

namespace tovtest {

// How many pixels of the area (clipped to the image) are darker than the grey threshold: the ink a
// render test expects, or expects not to find, in one place of a drawn page or sheet.
inline int inkIn(const QImage& image, const QRect& area, int threshold = 200) {
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (qGray(image.pixel(x, y)) < threshold) {
                ++count;
            }
        }
    }
    return count;
}

} // namespace tovtest
