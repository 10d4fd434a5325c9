#include "platform/graphics/BezierPath.h"

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/QtPathConversion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

namespace {

// The handle length of a cubic that approximates a quarter of a unit circle.
constexpr double kQuarterCircleHandle = 0.55228474983079339840;

Point pointAt(Point centre, double radius, double degrees) {
    const double quarter = degrees / 90.0;
    double c = 0;
    double s = 0;
    if (std::isfinite(quarter) && quarter == std::floor(quarter) && std::fabs(quarter) < 1e15) {
        const long long k = ((static_cast<long long>(quarter) % 4) + 4) % 4;
        c = (k == 0) ? 1 : (k == 2 ? -1 : 0);
        s = (k == 1) ? 1 : (k == 3 ? -1 : 0);
    } else {
        const double radians = degrees * std::numbers::pi / 180.0;
        c = std::cos(radians);
        s = std::sin(radians);
    }
    return Point{centre.x + radius * c, centre.y + radius * s};
}

struct Extent {
    double minX = 0;
    double minY = 0;
    double maxX = 0;
    double maxY = 0;
    bool any = false;

    void add(Point p) {
        if (!any) {
            minX = maxX = p.x;
            minY = maxY = p.y;
            any = true;
            return;
        }
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }

    Rect rect() const { return any ? Rect(minX, minY, maxX - minX, maxY - minY) : Rect(); }
};

double cubicAt(double p0, double p1, double p2, double p3, double t) {
    const double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

// Parameters in (0, 1) where one coordinate of the cubic has a zero derivative.
int cubicExtrema(double p0, double p1, double p2, double p3, double out[2]) {
    // B'(t) / 3 = a·t² + b·t + c
    const double a = -p0 + 3 * p1 - 3 * p2 + p3;
    const double b = 2 * (p0 - 2 * p1 + p2);
    const double c = p1 - p0;
    int count = 0;
    auto keep = [&](double t) {
        if (t > 0 && t < 1) {
            out[count++] = t;
        }
    };
    const double scale = std::max({std::fabs(a), std::fabs(b), std::fabs(c)});
    if (scale == 0) {
        return 0;
    }
    if (std::fabs(a) <= 1e-12 * scale) {
        if (b != 0) {
            keep(-c / b);
        }
        return count;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0) {
        return 0;
    }
    const double root = std::sqrt(disc);
    // The numerically stable pair of roots.
    const double q = -0.5 * (b + (b >= 0 ? root : -root));
    keep(q / a);
    if (q != 0) {
        keep(c / q);
    }
    return count;
}

} // namespace

BezierPath BezierPath::withRect(const Rect& rect) {
    BezierPath path;
    path.appendRect(rect);
    return path;
}

BezierPath BezierPath::withOvalInRect(const Rect& rect) {
    BezierPath path;
    path.appendOvalInRect(rect);
    return path;
}

BezierPath BezierPath::withRoundedRect(const Rect& rect, double xRadius, double yRadius) {
    BezierPath path;
    path.appendRoundedRect(rect, xRadius, yRadius);
    return path;
}

void BezierPath::moveTo(Point p) {
    subpathStart_ = elements_.size();
    elements_.push_back(PathElement{PathElementType::MoveTo, {p, {}, {}}});
}

void BezierPath::ensureSubpathForDrawing() {
    if (elements_.empty()) {
        moveTo(Point{0, 0});
    } else if (elements_.back().type == PathElementType::ClosePath) {
        moveTo(currentPoint());
    }
}

void BezierPath::lineTo(Point p) {
    ensureSubpathForDrawing();
    elements_.push_back(PathElement{PathElementType::LineTo, {p, {}, {}}});
}

void BezierPath::curveTo(Point control1, Point control2, Point end) {
    ensureSubpathForDrawing();
    elements_.push_back(PathElement{PathElementType::CurveTo, {control1, control2, end}});
}

void BezierPath::closePath() {
    if (elements_.empty() || elements_.back().type == PathElementType::ClosePath) {
        return;
    }
    elements_.push_back(PathElement{PathElementType::ClosePath, {}});
}

void BezierPath::relativeMoveTo(Point offset) {
    const Point c = currentPoint();
    moveTo(Point{c.x + offset.x, c.y + offset.y});
}

void BezierPath::relativeLineTo(Point offset) {
    const Point c = currentPoint();
    lineTo(Point{c.x + offset.x, c.y + offset.y});
}

void BezierPath::relativeCurveTo(Point control1Offset, Point control2Offset, Point endOffset) {
    const Point c = currentPoint();
    curveTo(Point{c.x + control1Offset.x, c.y + control1Offset.y},
            Point{c.x + control2Offset.x, c.y + control2Offset.y},
            Point{c.x + endOffset.x, c.y + endOffset.y});
}

void BezierPath::appendRect(const Rect& rect) {
    const Rect r = rect.standardized();
    moveTo(Point{r.minX(), r.minY()});
    lineTo(Point{r.maxX(), r.minY()});
    lineTo(Point{r.maxX(), r.maxY()});
    lineTo(Point{r.minX(), r.maxY()});
    closePath();
}

void BezierPath::appendOvalInRect(const Rect& rect) {
    const Rect r = rect.standardized();
    const double cx = r.midX();
    const double cy = r.midY();
    const double hx = r.width() / 2 * kQuarterCircleHandle;
    const double hy = r.height() / 2 * kQuarterCircleHandle;
    moveTo(Point{r.maxX(), cy});
    curveTo(Point{r.maxX(), cy + hy}, Point{cx + hx, r.maxY()}, Point{cx, r.maxY()});
    curveTo(Point{cx - hx, r.maxY()}, Point{r.minX(), cy + hy}, Point{r.minX(), cy});
    curveTo(Point{r.minX(), cy - hy}, Point{cx - hx, r.minY()}, Point{cx, r.minY()});
    curveTo(Point{cx + hx, r.minY()}, Point{r.maxX(), cy - hy}, Point{r.maxX(), cy});
    closePath();
}

void BezierPath::appendRoundedRect(const Rect& rect, double xRadius, double yRadius) {
    const Rect r = rect.standardized();
    const double rx = std::min(xRadius, r.width() / 2);
    const double ry = std::min(yRadius, r.height() / 2);
    if (!(rx > 0) || !(ry > 0)) {
        appendRect(r);
        return;
    }
    const double hx = rx * kQuarterCircleHandle;
    const double hy = ry * kQuarterCircleHandle;
    const double x0 = r.minX();
    const double y0 = r.minY();
    const double x1 = r.maxX();
    const double y1 = r.maxY();
    moveTo(Point{x0 + rx, y0});
    lineTo(Point{x1 - rx, y0});
    curveTo(Point{x1 - rx + hx, y0}, Point{x1, y0 + ry - hy}, Point{x1, y0 + ry});
    lineTo(Point{x1, y1 - ry});
    curveTo(Point{x1, y1 - ry + hy}, Point{x1 - rx + hx, y1}, Point{x1 - rx, y1});
    lineTo(Point{x0 + rx, y1});
    curveTo(Point{x0 + rx - hx, y1}, Point{x0, y1 - ry + hy}, Point{x0, y1 - ry});
    lineTo(Point{x0, y0 + ry});
    curveTo(Point{x0, y0 + ry - hy}, Point{x0 + rx - hx, y0}, Point{x0 + rx, y0});
    closePath();
}

void BezierPath::appendArc(Point centre, double radius, double startAngle, double endAngle, bool clockwise) {
    if (!std::isfinite(startAngle) || !std::isfinite(endAngle) || !std::isfinite(radius)) {
        return;
    }
    const double r = std::max(radius, 0.0);
    double sweep = endAngle - startAngle;
    if (clockwise) {
        if (sweep > 0) {
            sweep = std::fmod(sweep, 360.0) - 360.0;
            if (sweep == -360.0) {
                sweep = 0; // end equals start plus whole turns in the other direction: nothing to sweep
            }
        }
        sweep = std::max(sweep, -360.0);
    } else {
        if (sweep < 0) {
            sweep = std::fmod(sweep, 360.0) + 360.0;
            if (sweep == 360.0) {
                sweep = 0;
            }
        }
        sweep = std::min(sweep, 360.0);
    }

    const Point start = pointAt(centre, r, startAngle);
    if (!hasCurrentPoint()) {
        moveTo(start);
    } else if (elements_.back().type == PathElementType::ClosePath || !(currentPoint() == start)) {
        lineTo(start);
    }
    if (sweep == 0 || r == 0) {
        return;
    }

    const int segments = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / 90.0 - 1e-9)));
    const double step = sweep / segments;
    const double handle = 4.0 / 3.0 * std::tan(step * std::numbers::pi / 180.0 / 4.0) * r;
    Point p0 = start;
    for (int i = 1; i <= segments; ++i) {
        const double a1 = startAngle + step * i;
        const Point p3 = pointAt(centre, r, a1);
        // Unit tangents at both ends, in the direction of increasing angle.
        const double t0x = -(p0.y - centre.y) / r;
        const double t0y = (p0.x - centre.x) / r;
        const double t1x = -(p3.y - centre.y) / r;
        const double t1y = (p3.x - centre.x) / r;
        curveTo(Point{p0.x + handle * t0x, p0.y + handle * t0y},
                Point{p3.x - handle * t1x, p3.y - handle * t1y}, p3);
        p0 = p3;
    }
}

void BezierPath::appendPath(const BezierPath& other) {
    const std::size_t offset = elements_.size();
    const bool otherHasMove =
        !other.elements_.empty() && other.elements_[other.subpathStart_].type == PathElementType::MoveTo;
    const std::size_t otherStart = other.subpathStart_;
    if (&other == this) {
        const std::vector<PathElement> copy = other.elements_;
        elements_.insert(elements_.end(), copy.begin(), copy.end());
    } else {
        elements_.insert(elements_.end(), other.elements_.begin(), other.elements_.end());
    }
    if (otherHasMove) {
        subpathStart_ = offset + otherStart;
    }
}

void BezierPath::removeAllPoints() {
    elements_.clear();
    subpathStart_ = 0;
}

Point BezierPath::currentPoint() const {
    if (elements_.empty()) {
        return Point{0, 0};
    }
    const PathElement& last = elements_.back();
    if (last.type != PathElementType::ClosePath) {
        return last.endPoint();
    }
    const PathElement& start = elements_[subpathStart_];
    return start.type == PathElementType::MoveTo ? start.points[0] : Point{0, 0};
}

Rect BezierPath::bounds() const {
    Extent extent;
    Point current{0, 0};
    Point subpathStart{0, 0};
    for (const PathElement& e : elements_) {
        switch (e.type) {
        case PathElementType::MoveTo:
            current = subpathStart = e.points[0];
            extent.add(current);
            break;
        case PathElementType::LineTo:
            current = e.points[0];
            extent.add(current);
            break;
        case PathElementType::CurveTo: {
            const Point& c1 = e.points[0];
            const Point& c2 = e.points[1];
            const Point& end = e.points[2];
            double ts[2];
            const int nx = cubicExtrema(current.x, c1.x, c2.x, end.x, ts);
            for (int i = 0; i < nx; ++i) {
                extent.add(Point{cubicAt(current.x, c1.x, c2.x, end.x, ts[i]),
                                 cubicAt(current.y, c1.y, c2.y, end.y, ts[i])});
            }
            const int ny = cubicExtrema(current.y, c1.y, c2.y, end.y, ts);
            for (int i = 0; i < ny; ++i) {
                extent.add(Point{cubicAt(current.x, c1.x, c2.x, end.x, ts[i]),
                                 cubicAt(current.y, c1.y, c2.y, end.y, ts[i])});
            }
            extent.add(end);
            current = end;
            break;
        }
        case PathElementType::ClosePath:
            current = subpathStart;
            break;
        }
    }
    return extent.rect();
}

Rect BezierPath::controlPointBounds() const {
    Extent extent;
    for (const PathElement& e : elements_) {
        switch (e.type) {
        case PathElementType::MoveTo:
        case PathElementType::LineTo:
            extent.add(e.points[0]);
            break;
        case PathElementType::CurveTo:
            extent.add(e.points[0]);
            extent.add(e.points[1]);
            extent.add(e.points[2]);
            break;
        case PathElementType::ClosePath:
            break;
        }
    }
    return extent.rect();
}

bool BezierPath::containsPoint(Point p) const {
    if (elements_.empty()) {
        return false;
    }
    return toQPainterPath(*this).contains(QPointF(p.x, p.y));
}

void BezierPath::transformUsingAffineTransform(const AffineTransform& transform) {
    for (PathElement& e : elements_) {
        const int count =
            e.type == PathElementType::CurveTo ? 3 : (e.type == PathElementType::ClosePath ? 0 : 1);
        for (int i = 0; i < count; ++i) {
            e.points[i] = transform.transformPoint(e.points[i]);
        }
    }
}

void BezierPath::translate(double dx, double dy) {
    transformUsingAffineTransform(AffineTransform::translation(dx, dy));
}

void BezierPath::scale(double sx, double sy) {
    transformUsingAffineTransform(AffineTransform::scaling(sx, sy));
}

void BezierPath::setLineDash(std::vector<double> pattern, double phase) {
    dashPattern_ = std::move(pattern);
    dashPhase_ = phase;
}

} // namespace platform
