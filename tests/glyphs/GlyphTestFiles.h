#pragma once

#include "platform/graphics/BezierPath.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace glyphtest {

// An SVG file holding one filled rectangle of the given size, drawn away from the origin so that the
// reader's normalisation shows.
inline std::string rectangleGlyph(double width, double height) {
    auto n = [](double v) {
        std::string s = std::to_string(v);
        return s;
    };
    return "<svg xmlns=\"http://www.w3.org/2000/svg\"><path d=\"M5,7L" + n(5 + width) + ",7L" + n(5 + width) +
           "," + n(7 + height) + "L5," + n(7 + height) + "Z\"/></svg>";
}

// The bounds of each subpath of a path, in order: for a path made of rectangles, the rectangles.
inline std::vector<platform::Rect> subpathBounds(const platform::BezierPath& path) {
    std::vector<platform::Rect> result;
    platform::BezierPath current;
    auto flush = [&] {
        if (!current.isEmpty()) {
            result.push_back(current.bounds());
        }
        current = platform::BezierPath();
    };
    for (const auto& element : path.elements()) {
        switch (element.type) {
        case platform::PathElementType::MoveTo:
            flush();
            current.moveTo(element.points[0]);
            break;
        case platform::PathElementType::LineTo:
            current.lineTo(element.points[0]);
            break;
        case platform::PathElementType::CurveTo:
            current.curveTo(element.points[0], element.points[1], element.points[2]);
            break;
        case platform::PathElementType::ClosePath:
            current.closePath();
            break;
        }
    }
    flush();
    return result;
}

} // namespace glyphtest
