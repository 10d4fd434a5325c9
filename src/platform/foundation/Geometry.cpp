#include "platform/foundation/Geometry.h"

#include "platform/foundation/Numbers.h"

#include <algorithm>

namespace platform {

double Rect::minX() const {
    return std::min(origin.x, origin.x + size.width);
}
double Rect::minY() const {
    return std::min(origin.y, origin.y + size.height);
}
double Rect::maxX() const {
    return std::max(origin.x, origin.x + size.width);
}
double Rect::maxY() const {
    return std::max(origin.y, origin.y + size.height);
}

Rect Rect::standardized() const {
    return Rect(minX(), minY(), maxX() - minX(), maxY() - minY());
}

bool Rect::containsPoint(Point p) const {
    return !isEmpty() && p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::intersects(const Rect& other) const {
    return !intersection(other).isEmpty();
}

Rect Rect::intersection(const Rect& other) const {
    const double x0 = std::max(minX(), other.minX());
    const double y0 = std::max(minY(), other.minY());
    const double x1 = std::min(maxX(), other.maxX());
    const double y1 = std::min(maxY(), other.maxY());
    if (x1 <= x0 || y1 <= y0) {
        return Rect();
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::unionWith(const Rect& other) const {
    if (isEmpty()) {
        return other;
    }
    if (other.isEmpty()) {
        return *this;
    }
    const double x0 = std::min(minX(), other.minX());
    const double y0 = std::min(minY(), other.minY());
    const double x1 = std::max(maxX(), other.maxX());
    const double y1 = std::max(maxY(), other.maxY());
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect boundingRectOfPoints(std::initializer_list<Point> points) {
    if (points.size() == 0) {
        return Rect();
    }
    double x0 = points.begin()->x;
    double x1 = x0;
    double y0 = points.begin()->y;
    double y1 = y0;
    for (const Point& p : points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::offsetBy(double dx, double dy) const {
    return Rect(origin.x + dx, origin.y + dy, size.width, size.height);
}

Rect Rect::insetBy(double dx, double dy) const {
    return Rect(origin.x + dx, origin.y + dy, size.width - 2 * dx, size.height - 2 * dy);
}

} // namespace platform

// Text form. Numbers are written in their shortest exact form, so "{{0.1, 1e-07}, {-3.25, 1e+20}}" reads
// back bit for bit. Reading takes the numbers in order wherever they stand, skipping everything else
// (braces, commas, blanks or garbage); numbers that are not there read 0.

namespace platform {

namespace {

template <std::size_t N>
void scanNumbers(std::string_view text, double (&values)[N]) {
    std::size_t pos = 0;
    for (std::size_t k = 0; k < N && pos < text.size(); ++k) {
        while (pos < text.size()) {
            const std::size_t used = scanDouble(text.substr(pos), values[k]);
            if (used > 0) {
                pos += used;
                break;
            }
            ++pos;
        }
    }
}

} // namespace

std::string stringFromPoint(Point p) {
    return "{" + formatShortest(p.x) + ", " + formatShortest(p.y) + "}";
}

std::string stringFromSize(Size s) {
    return "{" + formatShortest(s.width) + ", " + formatShortest(s.height) + "}";
}

std::string stringFromRect(const Rect& r) {
    return "{" + stringFromPoint(r.origin) + ", " + stringFromSize(r.size) + "}";
}

Point pointFromString(std::string_view text) {
    double v[2] = {0, 0};
    scanNumbers(text, v);
    return Point{v[0], v[1]};
}

Size sizeFromString(std::string_view text) {
    double v[2] = {0, 0};
    scanNumbers(text, v);
    return Size{v[0], v[1]};
}

Rect rectFromString(std::string_view text) {
    double v[4] = {0, 0, 0, 0};
    scanNumbers(text, v);
    return Rect(v[0], v[1], v[2], v[3]);
}

} // namespace platform
