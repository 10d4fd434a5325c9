#pragma once

#include "platform/foundation/Geometry.h"

#include <string>

class QCursor;

namespace platform {

// A mouse cursor that a view shows over one of its cursor areas: one of the desktop's shapes or an image
// file with its hot spot.
class Cursor {
public:
    enum class Shape { Arrow, ResizeLeftRight, ResizeUpDown, Image };

    Cursor() = default;
    explicit Cursor(Shape shape) : shape_(shape) {}
    static Cursor arrow() { return Cursor(Shape::Arrow); }
    static Cursor resizeLeftRight() { return Cursor(Shape::ResizeLeftRight); }
    static Cursor resizeUpDown() { return Cursor(Shape::ResizeUpDown); }
    // An image cursor; a file that cannot be read shows the arrow.
    static Cursor fromImageFile(std::string path, Point hotSpot);

    Shape shape() const { return shape_; }
    const std::string& imagePath() const { return imagePath_; }
    Point hotSpot() const { return hotSpot_; }

    QCursor toQCursor() const;

    friend bool operator==(const Cursor&, const Cursor&) = default;

private:
    Shape shape_ = Shape::Arrow;
    std::string imagePath_;
    Point hotSpot_;
};

} // namespace platform
