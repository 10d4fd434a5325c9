#pragma once

#include <initializer_list>
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

// The smallest rectangle holding every point (the zero rectangle for none).
Rect boundingRectOfPoints(std::initializer_list<Point> points);

// The text form "{{x, y}, {w, h}}" (points "{x, y}", sizes "{w, h}"), with "." as the decimal point
// whatever the locale. Each number is written in the shortest form that reads back as exactly the same
// double ("0.1", "1e-07", "-3.25", "1e+20"). Reading is lenient: the numbers are taken in order wherever
// they stand, skipping braces, commas and anything else; numbers that are missing read 0, so text without
// any number gives the zero rectangle. Infinities and NaN have no text form that reads back.
std::string stringFromRect(const Rect& r);
Rect rectFromString(std::string_view text);
std::string stringFromPoint(Point p);
Point pointFromString(std::string_view text);
std::string stringFromSize(Size s);
Size sizeFromString(std::string_view text);

} // namespace platform
