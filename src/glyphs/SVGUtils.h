#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BezierPath.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class XmlElement;
}

// Reads glyph outlines from SVG files and holds the path helpers the glyph code shares.
//
// Only geometry is read: the elements "path", "ellipse", "circle", "line" and "rect" at any depth, each
// with its own "transform"; path data with the commands M, L, H, V, C, S, Z in absolute and relative
// form. Coordinates are taken as written (y down). The result is moved so that its bounds start at
// (0, 0). Glyph files may come from fonts a user installs, so the reader never fails on content: a
// number it cannot read is 0, an operand it cannot use is skipped, and a file it cannot read gives an
// empty path.
class SVGUtils {
public:
    SVGUtils() = delete;

    // Symbol and note glyphs are drawn at this fraction of their file size.
    static constexpr double defaultScaleRatio() { return 0.59; }
    // Composed chord symbols are drawn at this fraction of their file size.
    static constexpr double defaultScaleRatioForChord() { return 0.767; }
    // Files larger than this are not read (glyph files are a few kilobytes).
    static constexpr std::size_t maxFileBytes = 4 * 1024 * 1024;

    // The glyph of the file; none when no file is there; an empty path when the file holds nothing
    // readable.
    static std::optional<platform::BezierPath> bezierPathFromSVGFile(const std::string& path);
    // The same for the bytes of a file.
    static platform::BezierPath bezierPathFromSVGData(std::string_view bytes);

    // Appends the elements of that name below the element: its own children first, then those of each
    // child element in turn.
    static void collectElementIntoFrom(std::string_view name, std::vector<const platform::XmlElement*>& into,
                                       const platform::XmlElement& from);

    static platform::BezierPath decodeSVGPathElement(const platform::XmlElement& element);
    static platform::BezierPath decodeSVGEllipseElement(const platform::XmlElement& element);
    static platform::BezierPath decodeSVGCircleElement(const platform::XmlElement& element);
    static platform::BezierPath decodeSVGLineElement(const platform::XmlElement& element);
    static platform::BezierPath decodeSVGRectElement(const platform::XmlElement& element);

    // Path data as tokens: one-character tokens (commands and any other character), point tokens
    // ("x,y") and single numbers.
    static std::vector<std::string> divideStringIntoNumAndStr(std::string_view text);
    // One run of number characters as point tokens, the last number alone when their count is odd.
    static std::vector<std::string> divideStringIntoPoints(std::string_view run);
    static bool isSVGCommandStr(std::string_view token);
    // The number before the comma and the number after it; a missing number reads 0.
    static platform::Point pointFromString(std::string_view token);

    // The transform of a "transform" attribute; none when it holds no usable keyword.
    static std::optional<platform::AffineTransform>
    transformWithString(const std::optional<std::string>& text);
    // The space-separated values inside the parentheses after the first occurrence of the keyword.
    static std::optional<std::vector<std::string>>
    attributeNumberArrayWithinBraceDefine(std::string_view text, std::string_view keyword);

    // In-place helpers; a missing path is left alone.
    static void moveBezierPathXByYBy(platform::BezierPath* path, double dx, double dy);
    static void scaleBezierPathXByYBy(platform::BezierPath* path, double sx, double sy);
    // Mirrors vertically within the height of the path's bounds: each y becomes height - y.
    static void flipBezierPath(platform::BezierPath* path);
    static void defaultScaleBezierPath(platform::BezierPath* path);
    static void defaultScaleBezierPathForChord(platform::BezierPath* path);
    static void normalizeOriginOfBezierPath(platform::BezierPath* path);
};
