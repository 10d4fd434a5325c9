#include "glyphs/SVGUtils.h"

#include "GlyphTestFiles.h"
#include "platform/foundation/XmlDocument.h"
#include "platform/foundation/XmlElement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using platform::BezierPath;
using platform::PathElement;
using platform::PathElementType;
using platform::Point;
using platform::Rect;

namespace {

using Tokens = std::vector<std::string>;

struct TokenCase {
    std::string text;
    Tokens tokens;
};

TEST(SVGUtilsTokenizer, SplitsPathDataIntoCommandsPointsAndNumbers) {
    const std::vector<TokenCase> cases = {
        {"M10,20L30,20L30,40Z", {"M", "10,20", "L", "30,20", "L", "30,40", "Z"}},
        // The minus sign of the next number separates it.
        {"M10-20", {"M", "10,-20"}},
        {"3-4-5", {"3,-4", "-5"}},
        {"-3", {"-3"}},
        // Only numbers of one run are paired: blanks end a run.
        {"M 10 20", {"M", "10", "20"}},
        {"M0,0 10,10", {"M", "0,0", "10,10"}},
        {"1,2,3", {"1,2", "3"}},
        // Exponent letters and plus signs are one-character tokens.
        {"1e2", {"1", "e", "2"}},
        {"+5", {"+", "5"}},
        // A tab is no separator but a character of its own; line breaks separate.
        {"M\t5", {"M", "\t", "5"}},
        {"L1,2\r\n3,4", {"L", "1,2", "3,4"}},
        // A second full stop does not split a number.
        {"1.5.5", {"1.5.5"}},
        // Runs of commas alone vanish; a lone comma is a token of one character.
        {"M,,", {"M"}},
        {"M , 5", {"M", ",", "5"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SVGUtils::divideStringIntoNumAndStr(c.text), c.tokens) << "text: " << c.text;
    }
}

TEST(SVGUtilsTokenizer, CommandTokensAndPoints) {
    EXPECT_TRUE(SVGUtils::isSVGCommandStr("M"));
    EXPECT_TRUE(SVGUtils::isSVGCommandStr(","));
    EXPECT_FALSE(SVGUtils::isSVGCommandStr("5"));
    EXPECT_FALSE(SVGUtils::isSVGCommandStr("10"));
    EXPECT_FALSE(SVGUtils::isSVGCommandStr(""));

    EXPECT_EQ(SVGUtils::pointFromString("10,-20"), (Point{10, -20}));
    EXPECT_EQ(SVGUtils::pointFromString("1.5.5,2"), (Point{1.5, 2}));
    // A missing coordinate reads 0.
    EXPECT_EQ(SVGUtils::pointFromString("5"), (Point{5, 0}));
    EXPECT_EQ(SVGUtils::pointFromString("3,-"), (Point{3, 0}));
}

PathElement moveTo(double x, double y) {
    return {PathElementType::MoveTo, {Point{x, y}, Point{}, Point{}}};
}
PathElement lineTo(double x, double y) {
    return {PathElementType::LineTo, {Point{x, y}, Point{}, Point{}}};
}
PathElement curveTo(Point c1, Point c2, Point end) {
    return {PathElementType::CurveTo, {c1, c2, end}};
}
PathElement closePath() {
    return {PathElementType::ClosePath, {}};
}

std::vector<PathElement> elementsOfPathData(const std::string& data) {
    platform::XmlElement element("path");
    element.addAttribute("d", data);
    return SVGUtils::decodeSVGPathElement(element).elements();
}

struct PathCase {
    std::string data;
    std::vector<PathElement> elements;
};

TEST(SVGUtilsPathData, InterpretsCommands) {
    const std::vector<PathCase> cases = {
        {"M10,20L30,20L30,40Z", {moveTo(10, 20), lineTo(30, 20), lineTo(30, 40), closePath()}},
        {"M10-20", {moveTo(10, -20)}},
        // A further point after a move is another move.
        {"M0,0 10,10", {moveTo(0, 0), moveTo(10, 10)}},
        {"m1,1 2,2", {moveTo(1, 1), moveTo(3, 3)}},
        {"M1,2H5V7h1v1", {moveTo(1, 2), lineTo(5, 2), lineTo(5, 7), lineTo(6, 7), lineTo(6, 8)}},
        {"M1,1l2,0 0,3", {moveTo(1, 1), lineTo(3, 1), lineTo(3, 4)}},
        // A point given to h reads the number before its comma.
        {"M0,0h5,7", {moveTo(0, 0), lineTo(5, 0)}},
        {"M0,0C1,2,3,4,5,6", {moveTo(0, 0), curveTo({1, 2}, {3, 4}, {5, 6})}},
        {"M0,0c1,1,2,2,3,3 1,1,2,2,3,3",
         {moveTo(0, 0), curveTo({1, 1}, {2, 2}, {3, 3}), curveTo({4, 4}, {5, 5}, {6, 6})}},
        // Smooth curves reflect the last curve's second control point about the current point...
        {"M0,0C0,10,10,10,10,0S20,-10,20,0",
         {moveTo(0, 0), curveTo({0, 10}, {10, 10}, {10, 0}), curveTo({10, -10}, {20, -10}, {20, 0})}},
        {"M0,0c0,10,10,10,10,0s10,-10,10,0",
         {moveTo(0, 0), curveTo({0, 10}, {10, 10}, {10, 0}), curveTo({10, -10}, {20, -10}, {20, 0})}},
        // ...and start at the current point when the last element is no curve.
        {"M0,0L10,0S20,10,30,0", {moveTo(0, 0), lineTo(10, 0), curveTo({10, 0}, {20, 10}, {30, 0})}},
        {"M0,0L10,0s10,10,20,0", {moveTo(0, 0), lineTo(10, 0), curveTo({10, 0}, {20, 10}, {30, 0})}},
        // After a close the next drawing starts where the closed subpath began.
        {"M1,1l2,0z l0,3", {moveTo(1, 1), lineTo(3, 1), closePath(), moveTo(1, 1), lineTo(1, 4)}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(elementsOfPathData(c.data), c.elements) << "d: " << c.data;
    }
}

TEST(SVGUtilsPathData, SkipsWhatItCannotUse) {
    const std::vector<PathCase> cases = {
        // A command before any move starts from (0, 0).
        {"L5,5", {moveTo(0, 0), lineTo(5, 5)}},
        {"h5", {moveTo(0, 0), lineTo(5, 0)}},
        {"s1,1 2,2", {moveTo(0, 0), curveTo({0, 0}, {1, 1}, {2, 2})}},
        // Operands before the first command and after a close are ignored.
        {"5,5 M1,1", {moveTo(1, 1)}},
        {"M1,1Z 5,5", {moveTo(1, 1), closePath()}},
        // Unknown letters keep the current command.
        {"M0,0 X 5,5", {moveTo(0, 0), moveTo(5, 5)}},
        // Curves whose points run past the end, or meet a command, are skipped.
        {"M0,0C1,1 2,2", {moveTo(0, 0)}},
        {"M0,0S1,1", {moveTo(0, 0)}},
        {"M0,0C1,1 Z 2,2 3,3", {moveTo(0, 0), closePath()}},
        // Coordinates separated by blanks are single numbers: the missing y reads 0.
        {"M 10 20", {moveTo(10, 0), moveTo(20, 0)}},
        {"Z", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(elementsOfPathData(c.data), c.elements) << "d: " << c.data;
    }
}

// Operands after a close are skipped however many there are, and drawing resumes at the subpath's start.
TEST(SVGUtilsPathData, ManyOperandsAfterACloseAreSkipped) {
    constexpr int count = 50000;
    std::string data = "M3,4";
    for (int i = 0; i < count; ++i) {
        data += "L" + std::to_string(i % 7) + ",1";
    }
    data += "z";
    for (int i = 0; i < count; ++i) {
        data += " 1,1";
    }
    data += "h2";
    const auto elements = elementsOfPathData(data);
    ASSERT_EQ(elements.size(), count + 4u);
    EXPECT_EQ(elements[count + 1], closePath());
    EXPECT_EQ(elements[count + 2], moveTo(3, 4));
    EXPECT_EQ(elements[count + 3], lineTo(5, 4));
}

struct TransformCase {
    std::string text;
    Point in;
    Point out;
};

TEST(SVGUtilsTransform, ReadsKeywordsInTheirFixedOrder) {
    const std::vector<TransformCase> cases = {
        {"translate(10 20)", {1, 1}, {11, 21}},
        // Commas do not separate values: "10,20" reads 10.
        {"translate(10,20)", {1, 1}, {11, 1}},
        {"translate(10)", {1, 1}, {11, 1}},
        // Two spaces give an empty third value, and three values translate by nothing.
        {"translate(1  2)", {1, 1}, {1, 1}},
        {"scale(2 3)", {1, 1}, {2, 3}},
        {"scale(2)", {1, 1}, {2, 2}},
        {"rotate(90)", {1, 0}, {0, 1}},
        {"rotate(90 5 5)", {5, 0}, {10, 5}},
        {"matrix(1 0 0 1 5 6)", {1, 1}, {6, 7}},
        // Rotate, then scale, then translate, then the matrix, whatever the written order.
        {"scale(2) translate(3 4)", {1, 1}, {5, 6}},
        {"translate(3 4) scale(2)", {1, 1}, {5, 6}},
        {"translate(1 0) matrix(2 0 0 2 0 0)", {1, 1}, {4, 2}},
        {"rotate(90) translate(10 0)", {1, 0}, {10, 1}},
    };
    for (const auto& c : cases) {
        auto transform = SVGUtils::transformWithString(c.text);
        ASSERT_TRUE(transform.has_value()) << c.text;
        const Point p = transform->transformPoint(c.in);
        EXPECT_NEAR(p.x, c.out.x, 1e-9) << c.text;
        EXPECT_NEAR(p.y, c.out.y, 1e-9) << c.text;
    }
}

TEST(SVGUtilsTransform, NoneWithoutAUsableKeyword) {
    for (std::string text : {"", "skew(3)", "translate 5", "translate(5", "matrix(1 0 0 1 5)"}) {
        EXPECT_FALSE(SVGUtils::transformWithString(text).has_value()) << text;
    }
    EXPECT_FALSE(SVGUtils::transformWithString(std::nullopt).has_value());
    EXPECT_EQ(SVGUtils::attributeNumberArrayWithinBraceDefine("a translate(10 20) b", "translate"),
              (std::vector<std::string>{"10", "20"}));
    EXPECT_EQ(SVGUtils::attributeNumberArrayWithinBraceDefine("translate() scale(2)", "translate"),
              (std::vector<std::string>{""}));
}

TEST(SVGUtilsElements, CollectsOwnChildrenBeforeDescendants) {
    auto document = platform::XmlDocument::parse(
        "<svg><path id='A'/><g><path id='B'/><g><path id='D'/></g></g><path id='C'/>"
        "<defs><path id='E'/></defs><svg:path id='prefixed'/></svg>");
    ASSERT_TRUE(document.has_value());
    std::vector<const platform::XmlElement*> found;
    SVGUtils::collectElementIntoFrom("path", found, document->rootElement());
    std::vector<std::string> ids;
    for (const auto* element : found) {
        ids.push_back(element->attribute("id").value_or("?"));
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"A", "C", "B", "D", "E"}));
}

TEST(SVGUtilsFile, NormalisesTheOutlineToTheOrigin) {
    BezierPath path = SVGUtils::bezierPathFromSVGData("<svg><path d='M10,20L30,20L30,40Z'/></svg>");
    EXPECT_EQ(path.bounds(), Rect(0, 0, 20, 20));

    // A path and a circle inside a group: both are read, in element-kind order, and moved together.
    path = SVGUtils::bezierPathFromSVGData(
        "<svg><g><circle cx='50' cy='50' r='5'/></g><path d='M40,60L44,60L44,70Z'/></svg>");
    EXPECT_EQ(path.bounds(), Rect(0, 0, 15, 25));
    EXPECT_EQ(path.elementAt(0).points[0], (Point{0, 15}));
    EXPECT_TRUE(path.containsPoint({10, 5}));

    // A line adds no area but counts in the bounds.
    path = SVGUtils::bezierPathFromSVGData("<svg><line x1='0' y1='0' x2='10' y2='5'/></svg>");
    EXPECT_EQ(path.bounds(), Rect(0, 0, 10, 5));
    EXPECT_FALSE(path.containsPoint({5, 2.5}));
}

TEST(SVGUtilsFile, ElementsKeepTheirOwnTransformOnly) {
    BezierPath path = SVGUtils::bezierPathFromSVGData(
        "<svg><g transform='scale(10)'><rect x='0' y='0' width='4' height='2' transform='rotate(90)'/></g>"
        "<ellipse cx='0' cy='0' rx='1' ry='1' transform='translate(-10 0)'/></svg>");
    // The rectangle turns a quarter turn about (0, 0) into (-2, 0, 2, 4), the enclosing scale ignored; the
    // circle lies in (-11, -1, 2, 2).
    EXPECT_EQ(path.bounds(), Rect(0, 0, 11, 5));
}

TEST(SVGUtilsFile, RectangleWithoutYRadiusHasSquareCorners) {
    BezierPath path = SVGUtils::bezierPathFromSVGData("<svg><rect width='10' height='10' rx='2'/></svg>");
    EXPECT_TRUE(path.containsPoint({0.1, 0.1}));
    path = SVGUtils::bezierPathFromSVGData("<svg><rect width='10' height='10' rx='2' ry='2'/></svg>");
    EXPECT_FALSE(path.containsPoint({0.1, 0.1}));
}

TEST(SVGUtilsFile, MissingFileIsNoneAndUnreadableContentIsEmpty) {
    TempDir folder;
    EXPECT_FALSE(SVGUtils::bezierPathFromSVGFile((folder.path() / "missing.svg").string()).has_value());
    EXPECT_FALSE(SVGUtils::bezierPathFromSVGFile("").has_value());

    for (std::string content : {"", "not xml at all", "<svg/>", "<svg><text>C</text></svg>",
                                "<svg><path/></svg>", "<svg><path d=''/></svg>"}) {
        auto file = folder.write("glyph.svg", content);
        auto path = SVGUtils::bezierPathFromSVGFile(file.string());
        ASSERT_TRUE(path.has_value()) << content;
        EXPECT_TRUE(path->isEmpty()) << content;
    }
    // A folder where a file is expected cannot be read.
    std::filesystem::create_directories(folder.path() / "folder.svg");
    auto path = SVGUtils::bezierPathFromSVGFile((folder.path() / "folder.svg").string());
    ASSERT_TRUE(path.has_value());
    EXPECT_TRUE(path->isEmpty());

    auto file = folder.write("ok.svg", glyphtest::rectangleGlyph(3, 4));
    path = SVGUtils::bezierPathFromSVGFile(file.string());
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(path->bounds(), Rect(0, 0, 3, 4));
}

TEST(SVGUtilsFile, HostileNumbersGiveFiniteOutlines) {
    // Values beyond single precision read 0 rather than infinity.
    BezierPath path = SVGUtils::bezierPathFromSVGData(
        "<svg><circle cx='1e39' cy='2' r='1e39'/><path "
        "d='M0,0L99999999999999999999999999999999999999999,1Z'/>"
        "<rect width='-5' height='nan' transform='matrix(1e38 0 0 1e38 0 0) scale(1e38)'/></svg>");
    const Rect bounds = path.bounds();
    EXPECT_TRUE(std::isfinite(bounds.x()) && std::isfinite(bounds.width()));
    EXPECT_TRUE(std::isfinite(bounds.y()) && std::isfinite(bounds.height()));

    // Long runs of commands and separators are read without trouble.
    std::string data(20000, ',');
    data += std::string(20000, 'Z') + std::string(20000, '-') + "M" + std::string(5000, '9');
    platform::XmlElement element("path");
    element.addAttribute("d", data);
    EXPECT_NO_FATAL_FAILURE(SVGUtils::decodeSVGPathElement(element));
}

TEST(SVGUtilsHelpers, MoveScaleFlipAndNormalise) {
    BezierPath path;
    path.moveTo({0, 0});
    path.lineTo({10, 4});
    path.moveTo({3, 1});

    SVGUtils::flipBezierPath(&path);
    EXPECT_EQ(path.bounds(), Rect(0, 0, 10, 4));
    EXPECT_EQ(path.elementAt(2).points[0], (Point{3, 3}));

    SVGUtils::moveBezierPathXByYBy(&path, 5, -2);
    EXPECT_EQ(path.bounds(), Rect(5, -2, 10, 4));
    SVGUtils::normalizeOriginOfBezierPath(&path);
    EXPECT_EQ(path.bounds(), Rect(0, 0, 10, 4));
    SVGUtils::scaleBezierPathXByYBy(&path, 2, 0.5);
    EXPECT_EQ(path.bounds(), Rect(0, 0, 20, 2));

    BezierPath glyph = BezierPath::withRect(Rect(0, 0, 100, 100));
    SVGUtils::defaultScaleBezierPath(&glyph);
    EXPECT_NEAR(glyph.bounds().width(), 59, 1e-9);
    glyph = BezierPath::withRect(Rect(0, 0, 100, 100));
    SVGUtils::defaultScaleBezierPathForChord(&glyph);
    EXPECT_NEAR(glyph.bounds().height(), 76.7, 1e-9);
    EXPECT_EQ(SVGUtils::defaultScaleRatioForChord(), 0.767);

    // A missing path is left alone.
    SVGUtils::moveBezierPathXByYBy(nullptr, 1, 1);
    SVGUtils::scaleBezierPathXByYBy(nullptr, 1, 1);
    SVGUtils::flipBezierPath(nullptr);
    SVGUtils::defaultScaleBezierPath(nullptr);
    SVGUtils::normalizeOriginOfBezierPath(nullptr);
}

} // namespace
