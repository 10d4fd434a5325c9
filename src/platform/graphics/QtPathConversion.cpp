#include "platform/graphics/QtPathConversion.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

double unit(double v) {
    if (!(v >= 0)) {
        return 0; // negative or NaN
    }
    return std::min(v, 1.0);
}

} // namespace

QColor toQColor(const Color& color) {
    return QColor::fromRgbF(static_cast<float>(unit(color.r)), static_cast<float>(unit(color.g)),
                            static_cast<float>(unit(color.b)), static_cast<float>(unit(color.a)));
}

QRectF toQRectF(const Rect& rect) {
    const Rect r = rect.standardized();
    return QRectF(r.x(), r.y(), r.width(), r.height());
}

QTransform toQTransform(const AffineTransform& t) {
    return QTransform(t.m11, t.m12, t.m21, t.m22, t.tX, t.tY);
}

QPainterPath toQPainterPath(const BezierPath& path) {
    QPainterPath q;
    q.setFillRule(path.windingRule() == WindingRule::EvenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    for (const PathElement& e : path.elements()) {
        switch (e.type) {
        case PathElementType::MoveTo:
            q.moveTo(e.points[0].x, e.points[0].y);
            break;
        case PathElementType::LineTo:
            q.lineTo(e.points[0].x, e.points[0].y);
            break;
        case PathElementType::CurveTo:
            q.cubicTo(e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x,
                      e.points[2].y);
            break;
        case PathElementType::ClosePath:
            q.closeSubpath();
            break;
        }
    }
    return q;
}

QPen toQPen(const BezierPath& path, const Color& color) {
    QPen pen(toQBrush(color), std::max(path.lineWidth(), 0.0));
    switch (path.lineCapStyle()) {
    case LineCap::Butt:
        pen.setCapStyle(Qt::FlatCap);
        break;
    case LineCap::Round:
        pen.setCapStyle(Qt::RoundCap);
        break;
    case LineCap::Square:
        pen.setCapStyle(Qt::SquareCap);
        break;
    }
    switch (path.lineJoinStyle()) {
    case LineJoin::Miter:
        // Bevels where the miter limit is exceeded, as the limit is meant.
        pen.setJoinStyle(Qt::SvgMiterJoin);
        break;
    case LineJoin::Round:
        pen.setJoinStyle(Qt::RoundJoin);
        break;
    case LineJoin::Bevel:
        pen.setJoinStyle(Qt::BevelJoin);
        break;
    }
    pen.setMiterLimit(path.miterLimit());

    const std::vector<double>& pattern = path.lineDashPattern();
    double total = 0;
    bool valid = !pattern.empty();
    for (double d : pattern) {
        if (!(d >= 0) || !std::isfinite(d)) {
            valid = false;
        }
        total += d;
    }
    if (valid && total > 0) {
        // A zero width is Qt's one-pixel hairline, whose dashes are measured in pixels.
        const double widthUnit = path.lineWidth() > 0 ? path.lineWidth() : 1.0;
        QList<qreal> dashes;
        // An odd number of lengths repeats once so that on and off alternate through the pattern.
        const int repeats = pattern.size() % 2 == 0 ? 1 : 2;
        for (int r = 0; r < repeats; ++r) {
            for (double d : pattern) {
                dashes.append(d / widthUnit);
            }
        }
        pen.setDashPattern(dashes);
        pen.setDashOffset(path.lineDashPhase() / widthUnit);
    }
    return pen;
}

QBrush toQBrush(const Color& color) {
    return QBrush(toQColor(color));
}

} // namespace platform
