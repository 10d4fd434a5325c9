#pragma once

#include <string>
#include <string_view>

namespace platform {

// Points, sizes and rectangles in doubles, y growing downward. Equality is exact, as the stored frames
// of symbols are compared value for value.
struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}
    Rect(Point o, Size s) : origin(o), size(s) {}

    double x() const { return origin.x; }
    double y() const { return origin.y; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    double minX() const;
    double minY() const;
    double maxX() const;
    double maxY() const;
    double midX() const { return (minX() + maxX()) / 2; }
    double midY() const { return (minY() + maxY()) / 2; }
    bool isEmpty() const { return size.width <= 0 || size.height <= 0; }
    // Rectangles with a negative width or height are turned around so that their size is positive.
    Rect standardized() const;
    bool containsPoint(Point p) const;
    bool intersects(const Rect& other) const;
    Rect intersection(const Rect& other) const;
    // The smallest rectangle holding both; an empty rectangle adds nothing.
    Rect unionWith(const Rect& other) const;
    Rect offsetBy(double dx, double dy) const;
    Rect insetBy(double dx, double dy) const;

    friend bool operator==(const Rect&, const Rect&) = default;
};

// The text form "{{x, y}, {w, h}}". Written with enough digits to read back exactly; read leniently:
// missing numbers read 0 and text that cannot be parsed gives the zero rectangle.
std::string stringFromRect(const Rect& r);
Rect rectFromString(std::string_view text);
std::string stringFromPoint(Point p);
Point pointFromString(std::string_view text);
std::string stringFromSize(Size s);
Size sizeFromString(std::string_view text);

} // namespace platform
