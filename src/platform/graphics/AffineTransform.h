#pragma once

#include "platform/foundation/Geometry.h"

#include <optional>

namespace platform {

class BezierPath;

// A 2-D affine transform. Points are row vectors: a point (x, y) maps to
//     x' = m11·x + m21·y + tX,   y' = m12·x + m22·y + tY.
//
// The building operations translate, scale and rotate act on points BEFORE what the transform already
// holds. After
//     t.translate(10, 0); t.scale(2, 2);
// a point is first scaled and then translated: (1, 1) maps to (12, 2). So a sequence of calls reads
// from the last to the first when following a point. appendTransform and prependTransform make the
// order explicit for whole transforms.
//
// Angles are in degrees; in the y-down space of the views a positive angle turns clockwise on screen
// (the x axis towards the y axis).
class AffineTransform {
public:
    double m11 = 1;
    double m12 = 0;
    double m21 = 0;
    double m22 = 1;
    double tX = 0;
    double tY = 0;

    AffineTransform() = default;
    AffineTransform(double m11, double m12, double m21, double m22, double tX, double tY)
        : m11(m11), m12(m12), m21(m21), m22(m22), tX(tX), tY(tY) {}

    static AffineTransform identity() { return AffineTransform(); }
    static AffineTransform translation(double tx, double ty) { return AffineTransform(1, 0, 0, 1, tx, ty); }
    static AffineTransform scaling(double sx, double sy) { return AffineTransform(sx, 0, 0, sy, 0, 0); }
    static AffineTransform rotation(double degrees);

    // Each acts on points before the current contents (see above).
    void translate(double tx, double ty);
    void scale(double s) { scale(s, s); }
    void scale(double sx, double sy);
    void rotateByDegrees(double degrees);
    void rotateByRadians(double radians);

    // After appendTransform(other) a point goes through this transform first, then through other.
    void appendTransform(const AffineTransform& other);
    // After prependTransform(other) a point goes through other first, then through this transform.
    void prependTransform(const AffineTransform& other);

    // Turns the transform into its inverse; answers false and leaves it unchanged when it is singular.
    bool invert();
    std::optional<AffineTransform> inverted() const;

    bool isIdentity() const { return *this == AffineTransform(); }

    Point transformPoint(Point p) const;
    // Sizes are vectors: the translation does not apply.
    Size transformSize(Size s) const;
    // The bounding box of the four transformed corners.
    Rect transformRect(const Rect& r) const;
    BezierPath transformBezierPath(const BezierPath& path) const;

    friend bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

} // namespace platform
