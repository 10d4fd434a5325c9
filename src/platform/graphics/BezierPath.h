#pragma once

#include "platform/foundation/Geometry.h"

#include <array>
#include <cstddef>
#include <vector>

namespace platform {

class AffineTransform;

enum class PathElementType { MoveTo, LineTo, CurveTo, ClosePath };

// One element of a path. MoveTo and LineTo use points[0]; CurveTo holds its first control point,
// its second control point and its end point in points[0..2]; ClosePath uses none.
struct PathElement {
    PathElementType type = PathElementType::MoveTo;
    std::array<Point, 3> points{};

    Point endPoint() const { return type == PathElementType::CurveTo ? points[2] : points[0]; }
    friend bool operator==(const PathElement&, const PathElement&) = default;
};

enum class LineCap { Butt, Round, Square };
enum class LineJoin { Miter, Round, Bevel };
enum class WindingRule { NonZero, EvenOdd };

// A path of straight and cubic segments in a y-down space, with the attributes used to stroke and
// fill it. It is a value: copies are deep and independent.
//
// Drawing commands need a current point. A line or curve added to an empty path starts its subpath at
// (0, 0); a line or curve added right after a close starts a new subpath at the point the closed one
// began (an explicit MoveTo element is added in both cases).
//
// Rectangles, ovals and rounded rectangles are closed subpaths traced in the direction of increasing
// angle (from the x axis towards the y axis), the same direction as a counter-clockwise arc.
class BezierPath {
public:
    BezierPath() = default;

    static BezierPath withRect(const Rect& rect);
    static BezierPath withOvalInRect(const Rect& rect);
    static BezierPath withRoundedRect(const Rect& rect, double xRadius, double yRadius);

    // Construction.
    void moveTo(Point p);
    void lineTo(Point p);
    void curveTo(Point control1, Point control2, Point end);
    void closePath();
    // The relative forms take offsets from the current point ((0, 0) when there is none).
    void relativeMoveTo(Point offset);
    void relativeLineTo(Point offset);
    void relativeCurveTo(Point control1Offset, Point control2Offset, Point endOffset);

    void appendRect(const Rect& rect);
    void appendOvalInRect(const Rect& rect);
    // Radii are clamped to half the width and half the height; a radius of 0 gives square corners.
    void appendRoundedRect(const Rect& rect, double xRadius, double yRadius);
    // An arc of the circle around centre: a point at angle θ (degrees) is centre + r·(cos θ, sin θ), so
    // in the y-down space angles grow towards the y axis. Counter-clockwise (clockwise = false) walks
    // from start to end with increasing angle, clockwise with decreasing angle; a sweep of a full turn
    // or more draws one full circle. A line joins the current point to the arc's start (or the arc
    // starts a new subpath when there is no current point).
    void appendArc(Point centre, double radius, double startAngle, double endAngle, bool clockwise = false);
    // Appends the other path's elements; this path's line attributes stay.
    void appendPath(const BezierPath& other);

    void removeAllPoints();

    // Inspection.
    bool isEmpty() const { return elements_.empty(); }
    std::size_t elementCount() const { return elements_.size(); }
    const PathElement& elementAt(std::size_t index) const { return elements_.at(index); }
    const std::vector<PathElement>& elements() const { return elements_; }
    bool hasCurrentPoint() const { return !elements_.empty(); }
    // The end of the last element, or the start of the last subpath after a close; (0, 0) when empty.
    Point currentPoint() const;

    // The exact bounds of the outline (curve extrema solved, control points not counted); every
    // point the path moves or draws to is inside. An empty path has the zero rectangle.
    Rect bounds() const;
    // The bounds of every point of the path, control points included.
    Rect controlPointBounds() const;

    // Whether the point lies in the area the path fills under its winding rule (open subpaths count
    // as closed).
    bool containsPoint(Point p) const;

    // Changing in place.
    void transformUsingAffineTransform(const AffineTransform& transform);
    void translate(double dx, double dy);
    // Scales about (0, 0); a negative factor mirrors the path.
    void scale(double sx, double sy);

    // Line attributes. The dash pattern holds absolute lengths (on, off, on, ...) in the path's units,
    // independent of the line width; an empty pattern strokes a solid line.
    double lineWidth() const { return lineWidth_; }
    void setLineWidth(double width) { lineWidth_ = width; }
    LineCap lineCapStyle() const { return lineCap_; }
    void setLineCapStyle(LineCap cap) { lineCap_ = cap; }
    LineJoin lineJoinStyle() const { return lineJoin_; }
    void setLineJoinStyle(LineJoin join) { lineJoin_ = join; }
    // The largest ratio of a miter's length to the line width before the join is bevelled.
    double miterLimit() const { return miterLimit_; }
    void setMiterLimit(double limit) { miterLimit_ = limit; }
    const std::vector<double>& lineDashPattern() const { return dashPattern_; }
    double lineDashPhase() const { return dashPhase_; }
    void setLineDash(std::vector<double> pattern, double phase);
    WindingRule windingRule() const { return windingRule_; }
    void setWindingRule(WindingRule rule) { windingRule_ = rule; }

    friend bool operator==(const BezierPath&, const BezierPath&) = default;

private:
    void ensureSubpathForDrawing();

    std::vector<PathElement> elements_;
    // The index of the last MoveTo, so that the current point after a close is found without walking
    // back through the subpath (path data may close and draw on many thousands of times). Derived from
    // elements_ alone, so it never makes two paths with the same elements unequal.
    std::size_t subpathStart_ = 0;
    double lineWidth_ = 1.0;
    LineCap lineCap_ = LineCap::Butt;
    LineJoin lineJoin_ = LineJoin::Miter;
    double miterLimit_ = 10.0;
    std::vector<double> dashPattern_;
    double dashPhase_ = 0;
    WindingRule windingRule_ = WindingRule::NonZero;
};

} // namespace platform
