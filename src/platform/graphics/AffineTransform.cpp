#include "platform/graphics/AffineTransform.h"

#include "platform/graphics/BezierPath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

namespace {

// Cosine and sine of an angle in degrees, exact for multiples of 90 so that quarter turns map
// integer coordinates to integer coordinates.
void cosSinDegrees(double degrees, double& c, double& s) {
    const double quarter = degrees / 90.0;
    if (std::isfinite(quarter) && quarter == std::floor(quarter) && std::fabs(quarter) < 1e15) {
        const long long k = static_cast<long long>(quarter) % 4;
        switch ((k + 4) % 4) {
        case 0:
            c = 1, s = 0;
            return;
        case 1:
            c = 0, s = 1;
            return;
        case 2:
            c = -1, s = 0;
            return;
        default:
            c = 0, s = -1;
            return;
        }
    }
    const double radians = degrees * std::numbers::pi / 180.0;
    c = std::cos(radians);
    s = std::sin(radians);
}

// The transform that applies a first, then b.
AffineTransform concatenated(const AffineTransform& a, const AffineTransform& b) {
    return AffineTransform(a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
                           a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22,
                           a.tX * b.m11 + a.tY * b.m21 + b.tX, a.tX * b.m12 + a.tY * b.m22 + b.tY);
}

} // namespace

AffineTransform AffineTransform::rotation(double degrees) {
    double c = 1;
    double s = 0;
    cosSinDegrees(degrees, c, s);
    return AffineTransform(c, s, -s, c, 0, 0);
}

void AffineTransform::translate(double tx, double ty) {
    prependTransform(translation(tx, ty));
}

void AffineTransform::scale(double sx, double sy) {
    prependTransform(scaling(sx, sy));
}

void AffineTransform::rotateByDegrees(double degrees) {
    prependTransform(rotation(degrees));
}

void AffineTransform::rotateByRadians(double radians) {
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    prependTransform(AffineTransform(c, s, -s, c, 0, 0));
}

void AffineTransform::appendTransform(const AffineTransform& other) {
    *this = concatenated(*this, other);
}

void AffineTransform::prependTransform(const AffineTransform& other) {
    *this = concatenated(other, *this);
}

bool AffineTransform::invert() {
    const double det = m11 * m22 - m12 * m21;
    if (det == 0 || !std::isfinite(det)) {
        return false;
    }
    const double i11 = m22 / det;
    const double i12 = -m12 / det;
    const double i21 = -m21 / det;
    const double i22 = m11 / det;
    const double itX = -(tX * i11 + tY * i21);
    const double itY = -(tX * i12 + tY * i22);
    *this = AffineTransform(i11, i12, i21, i22, itX, itY);
    return true;
}

std::optional<AffineTransform> AffineTransform::inverted() const {
    AffineTransform t = *this;
    if (!t.invert()) {
        return std::nullopt;
    }
    return t;
}

Point AffineTransform::transformPoint(Point p) const {
    return Point{m11 * p.x + m21 * p.y + tX, m12 * p.x + m22 * p.y + tY};
}

Size AffineTransform::transformSize(Size s) const {
    return Size{m11 * s.width + m21 * s.height, m12 * s.width + m22 * s.height};
}

Rect AffineTransform::transformRect(const Rect& r) const {
    return boundingRectOfPoints({transformPoint({r.minX(), r.minY()}), transformPoint({r.maxX(), r.minY()}),
                                 transformPoint({r.maxX(), r.maxY()}), transformPoint({r.minX(), r.maxY()})});
}

BezierPath AffineTransform::transformBezierPath(const BezierPath& path) const {
    BezierPath result = path;
    result.transformUsingAffineTransform(*this);
    return result;
}

} // namespace platform
