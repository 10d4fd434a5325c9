#include "glyphs/SVGUtils.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/Numbers.h"
#include "platform/foundation/XmlDocument.h"
#include "platform/foundation/XmlElement.h"

#include <array>
#include <cmath>
#include <filesystem>

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\n' || c == '\r';
}

bool isNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == ',' || c == '-' || c == '.';
}

// The leading number of a text as a single-precision value, 0 when there is none. A value too large
// for the type reads 0 as well, so that no infinity enters a glyph.
double numberValue(std::string_view text) {
    const float value = platform::floatValue(text);
    return std::isfinite(value) ? static_cast<double>(value) : 0.0;
}

double attributeNumber(const platform::XmlElement& element, std::string_view name) {
    auto value = element.attribute(name);
    return value ? numberValue(*value) : 0.0;
}

void applyElementTransform(const platform::XmlElement& element, platform::BezierPath& path) {
    if (auto transform = SVGUtils::transformWithString(element.attribute("transform"))) {
        path.transformUsingAffineTransform(*transform);
    }
}

bool isFinitePoint(platform::Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

bool hasOnlyFinitePoints(const platform::BezierPath& path) {
    for (const auto& element : path.elements()) {
        const int used = element.type == platform::PathElementType::CurveTo     ? 3
                         : element.type == platform::PathElementType::ClosePath ? 0
                                                                                : 1;
        for (int i = 0; i < used; ++i) {
            if (!isFinitePoint(element.points[static_cast<std::size_t>(i)])) {
                return false;
            }
        }
    }
    return true;
}

enum class Command { None, M, m, L, l, H, h, V, v, C, c, S, s };

Command commandOf(char letter) {
    switch (letter) {
    case 'M':
        return Command::M;
    case 'm':
        return Command::m;
    case 'L':
        return Command::L;
    case 'l':
        return Command::l;
    case 'H':
        return Command::H;
    case 'h':
        return Command::h;
    case 'V':
        return Command::V;
    case 'v':
        return Command::v;
    case 'C':
        return Command::C;
    case 'c':
        return Command::c;
    case 'S':
        return Command::S;
    case 's':
        return Command::s;
    default:
        return Command::None;
    }
}

platform::Point add(platform::Point a, platform::Point b) {
    return {a.x + b.x, a.y + b.y};
}

// Draws path data into a path. Every token is looked at once; a curve consumes the tokens of its
// further points.
class PathDataInterpreter {
public:
    explicit PathDataInterpreter(const std::vector<std::string>& tokens) : tokens_(tokens) {}

    platform::BezierPath run() {
        for (std::size_t i = 0; i < tokens_.size(); ++i) {
            const std::string& token = tokens_[i];
            if (SVGUtils::isSVGCommandStr(token)) {
                takeCommand(token[0]);
            } else {
                i += takeOperand(i);
            }
        }
        return std::move(path_);
    }

private:
    void takeCommand(char letter) {
        if (letter == 'Z' || letter == 'z') {
            if (!path_.isEmpty()) {
                path_.closePath();
            }
            command_ = Command::None;
            return;
        }
        // Letters that are no command of ours leave the current command as it is.
        if (Command command = commandOf(letter); command != Command::None) {
            command_ = command;
        }
    }

    bool isOperand(std::size_t index) const {
        return index < tokens_.size() && !SVGUtils::isSVGCommandStr(tokens_[index]);
    }

    platform::Point point(std::size_t index) const { return SVGUtils::pointFromString(tokens_[index]); }
    double number(std::size_t index) const { return numberValue(tokens_[index]); }

    // The first control point of a smooth curve: the reflection of the last curve's second control
    // point about the current point, or the current point when the last element is no curve.
    platform::Point reflectedControlPoint() const {
        const platform::Point current = path_.currentPoint();
        if (path_.isEmpty()) {
            return current;
        }
        const platform::PathElement& last = path_.elementAt(path_.elementCount() - 1);
        if (last.type != platform::PathElementType::CurveTo) {
            return current;
        }
        const platform::Point end = last.points[2];
        const platform::Point control2 = last.points[1];
        return {2 * end.x - control2.x, 2 * end.y - control2.y};
    }

    // Answers how many further tokens were consumed.
    std::size_t takeOperand(std::size_t i) {
        if (command_ == Command::None) { // an operand after a close or before any command is skipped
            return 0;
        }
        const platform::Point current = path_.currentPoint();
        switch (command_) {
        case Command::None:
            return 0;
        case Command::M:
            path_.moveTo(point(i));
            return 0;
        case Command::m:
            path_.moveTo(add(current, point(i)));
            return 0;
        case Command::L:
            path_.lineTo(point(i));
            return 0;
        case Command::l:
            path_.lineTo(add(current, point(i)));
            return 0;
        case Command::H:
            path_.lineTo({number(i), current.y});
            return 0;
        case Command::h:
            path_.lineTo({current.x + number(i), current.y});
            return 0;
        case Command::V:
            path_.lineTo({current.x, number(i)});
            return 0;
        case Command::v:
            path_.lineTo({current.x, current.y + number(i)});
            return 0;
        case Command::C:
        case Command::c: {
            if (!isOperand(i + 1) || !isOperand(i + 2)) {
                return 0;
            }
            const platform::Point origin = command_ == Command::c ? current : platform::Point{};
            path_.curveTo(add(origin, point(i)), add(origin, point(i + 1)), add(origin, point(i + 2)));
            return 2;
        }
        case Command::S:
        case Command::s: {
            if (!isOperand(i + 1)) {
                return 0;
            }
            const platform::Point origin = command_ == Command::s ? current : platform::Point{};
            const platform::Point control1 = reflectedControlPoint();
            path_.curveTo(control1, add(origin, point(i)), add(origin, point(i + 1)));
            return 1;
        }
        }
        return 0;
    }

    const std::vector<std::string>& tokens_;
    platform::BezierPath path_;
    Command command_ = Command::None;
};

} // namespace

std::optional<platform::BezierPath> SVGUtils::bezierPathFromSVGFile(const std::string& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error)) {
        return std::nullopt;
    }
    auto bytes = platform::readFile(path, maxFileBytes);
    if (!bytes) {
        return platform::BezierPath();
    }
    return bezierPathFromSVGData(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

platform::BezierPath SVGUtils::bezierPathFromSVGData(std::string_view bytes) {
    platform::BezierPath result;
    auto document = platform::XmlDocument::parse(bytes);
    if (!document) {
        return result;
    }
    using Decoder = platform::BezierPath (*)(const platform::XmlElement&);
    static const std::array<std::pair<const char*, Decoder>, 5> kinds = {{
        {"path", &SVGUtils::decodeSVGPathElement},
        {"ellipse", &SVGUtils::decodeSVGEllipseElement},
        {"circle", &SVGUtils::decodeSVGCircleElement},
        {"line", &SVGUtils::decodeSVGLineElement},
        {"rect", &SVGUtils::decodeSVGRectElement},
    }};
    for (const auto& [name, decode] : kinds) {
        std::vector<const platform::XmlElement*> elements;
        collectElementIntoFrom(name, elements, document->rootElement());
        for (const auto* element : elements) {
            result.appendPath(decode(*element));
        }
    }
    // Numbers near the limits of the type can still overflow in sums and transforms; such an outline
    // cannot be drawn or measured, so the file counts as unreadable.
    if (!hasOnlyFinitePoints(result)) {
        return platform::BezierPath();
    }
    normalizeOriginOfBezierPath(&result);
    return result;
}

void SVGUtils::collectElementIntoFrom(std::string_view name, std::vector<const platform::XmlElement*>& into,
                                      const platform::XmlElement& from) {
    for (const auto* child : from.children(name)) {
        into.push_back(child);
    }
    for (const auto* child : from.childElements()) {
        collectElementIntoFrom(name, into, *child);
    }
}

platform::BezierPath SVGUtils::decodeSVGPathElement(const platform::XmlElement& element) {
    auto data = element.attribute("d");
    auto tokens = divideStringIntoNumAndStr(data ? std::string_view(*data) : std::string_view());
    platform::BezierPath path = PathDataInterpreter(tokens).run();
    applyElementTransform(element, path);
    return path;
}

platform::BezierPath SVGUtils::decodeSVGEllipseElement(const platform::XmlElement& element) {
    const double cx = attributeNumber(element, "cx");
    const double cy = attributeNumber(element, "cy");
    const double rx = attributeNumber(element, "rx");
    const double ry = attributeNumber(element, "ry");
    platform::BezierPath path =
        platform::BezierPath::withOvalInRect(platform::Rect(cx - rx, cy - ry, 2 * rx, 2 * ry));
    applyElementTransform(element, path);
    return path;
}

platform::BezierPath SVGUtils::decodeSVGCircleElement(const platform::XmlElement& element) {
    const double cx = attributeNumber(element, "cx");
    const double cy = attributeNumber(element, "cy");
    const double r = attributeNumber(element, "r");
    platform::BezierPath path =
        platform::BezierPath::withOvalInRect(platform::Rect(cx - r, cy - r, 2 * r, 2 * r));
    applyElementTransform(element, path);
    return path;
}

platform::BezierPath SVGUtils::decodeSVGLineElement(const platform::XmlElement& element) {
    platform::BezierPath path;
    path.moveTo({attributeNumber(element, "x1"), attributeNumber(element, "y1")});
    path.lineTo({attributeNumber(element, "x2"), attributeNumber(element, "y2")});
    applyElementTransform(element, path);
    return path;
}

platform::BezierPath SVGUtils::decodeSVGRectElement(const platform::XmlElement& element) {
    const platform::Rect rect(attributeNumber(element, "x"), attributeNumber(element, "y"),
                              attributeNumber(element, "width"), attributeNumber(element, "height"));
    // A missing "ry" is 0, not the value of "rx".
    platform::BezierPath path;
    path.appendRoundedRect(rect, attributeNumber(element, "rx"), attributeNumber(element, "ry"));
    applyElementTransform(element, path);
    return path;
}

std::vector<std::string> SVGUtils::divideStringIntoNumAndStr(std::string_view text) {
    std::vector<std::string> tokens;
    std::size_t runStart = 0;
    bool inRun = false;
    auto endRun = [&](std::size_t end) {
        if (!inRun) {
            return;
        }
        inRun = false;
        const std::string_view run = text.substr(runStart, end - runStart);
        if (run.size() == 1) {
            tokens.emplace_back(run);
            return;
        }
        for (auto& token : divideStringIntoPoints(run)) {
            tokens.push_back(std::move(token));
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isNumberChar(c)) {
            if (!inRun) {
                inRun = true;
                runStart = i;
            }
            continue;
        }
        endRun(i);
        if (!isSeparator(c)) {
            tokens.emplace_back(1, c);
        }
    }
    endRun(text.size());
    return tokens;
}

std::vector<std::string> SVGUtils::divideStringIntoPoints(std::string_view run) {
    // Numbers are separated by commas (and blanks) or by the minus sign that starts the next number.
    std::vector<std::string_view> numbers;
    auto splitAtMinus = [&](std::string_view piece) {
        std::size_t from = 0;
        for (std::size_t i = 1; i < piece.size(); ++i) {
            if (piece[i] == '-') {
                numbers.push_back(piece.substr(from, i - from));
                from = i;
            }
        }
        numbers.push_back(piece.substr(from));
    };
    std::size_t start = 0;
    for (std::size_t i = 0; i <= run.size(); ++i) {
        if (i == run.size() || run[i] == ',' || isSeparator(run[i])) {
            if (i > start) {
                splitAtMinus(run.substr(start, i - start));
            }
            start = i + 1;
        }
    }
    std::vector<std::string> tokens;
    tokens.reserve((numbers.size() + 1) / 2);
    for (std::size_t i = 0; i < numbers.size(); i += 2) {
        if (i + 1 < numbers.size()) {
            std::string token(numbers[i]);
            token += ',';
            token += numbers[i + 1];
            tokens.push_back(std::move(token));
        } else {
            tokens.emplace_back(numbers[i]);
        }
    }
    return tokens;
}

bool SVGUtils::isSVGCommandStr(std::string_view token) {
    return token.size() == 1 && !(token[0] >= '0' && token[0] <= '9');
}

platform::Point SVGUtils::pointFromString(std::string_view token) {
    const std::size_t comma = token.find(',');
    if (comma == std::string_view::npos) {
        return {numberValue(token), 0.0};
    }
    return {numberValue(token.substr(0, comma)), numberValue(token.substr(comma + 1))};
}

std::optional<std::vector<std::string>>
SVGUtils::attributeNumberArrayWithinBraceDefine(std::string_view text, std::string_view keyword) {
    const std::size_t at = text.find(keyword);
    if (keyword.empty() || at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t open = text.find('(', at + keyword.size());
    if (open == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t close = text.find(')', open + 1);
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    // Split at every single space: two spaces in a row give an empty value, which reads 0.
    const std::string_view inside = text.substr(open + 1, close - open - 1);
    std::vector<std::string> values;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= inside.size(); ++i) {
        if (i == inside.size() || inside[i] == ' ') {
            values.emplace_back(inside.substr(start, i - start));
            start = i + 1;
        }
    }
    return values;
}

std::optional<platform::AffineTransform>
SVGUtils::transformWithString(const std::optional<std::string>& text) {
    if (!text) {
        return std::nullopt;
    }
    std::optional<platform::AffineTransform> transform;
    auto values = [&](std::string_view keyword) {
        std::vector<double> numbers;
        auto strings = attributeNumberArrayWithinBraceDefine(*text, keyword);
        if (!strings) {
            return std::optional<std::vector<double>>();
        }
        for (const auto& s : *strings) {
            numbers.push_back(numberValue(s));
        }
        return std::optional<std::vector<double>>(std::move(numbers));
    };
    auto current = [&]() -> platform::AffineTransform& {
        if (!transform) {
            transform = platform::AffineTransform();
        }
        return *transform;
    };

    // Each keyword is read once. Every step acts on points before the steps already taken, so a point
    // is rotated, then scaled, then translated, then put through the matrix, whatever the order of
    // the keywords in the text.
    if (auto m = values("matrix"); m && m->size() == 6) {
        transform = platform::AffineTransform((*m)[0], (*m)[1], (*m)[2], (*m)[3], (*m)[4], (*m)[5]);
    }
    if (auto t = values("translate")) {
        const double tx = t->size() == 1 || t->size() == 2 ? (*t)[0] : 0.0;
        const double ty = t->size() == 2 ? (*t)[1] : 0.0;
        current().translate(tx, ty);
    }
    if (auto s = values("scale")) {
        const double sx = s->size() == 1 || s->size() == 2 ? (*s)[0] : 0.0;
        const double sy = s->size() == 2 ? (*s)[1] : (s->size() == 1 ? (*s)[0] : 0.0);
        current().scale(sx, sy);
    }
    if (auto r = values("rotate")) {
        const double angle = r->size() == 1 || r->size() == 3 ? (*r)[0] : 0.0;
        if (r->size() == 3) {
            const double cx = (*r)[1];
            const double cy = (*r)[2];
            current().translate(cx, cy);
            current().rotateByDegrees(angle);
            current().translate(-cx, -cy);
        } else {
            current().rotateByDegrees(angle);
        }
    }
    return transform;
}

void SVGUtils::moveBezierPathXByYBy(platform::BezierPath* path, double dx, double dy) {
    if (path) {
        path->translate(dx, dy);
    }
}

void SVGUtils::scaleBezierPathXByYBy(platform::BezierPath* path, double sx, double sy) {
    if (path) {
        path->scale(sx, sy);
    }
}

void SVGUtils::flipBezierPath(platform::BezierPath* path) {
    if (!path) {
        return;
    }
    const double height = path->bounds().height();
    path->scale(1.0, -1.0);
    path->translate(0.0, height);
}

void SVGUtils::defaultScaleBezierPath(platform::BezierPath* path) {
    scaleBezierPathXByYBy(path, defaultScaleRatio(), defaultScaleRatio());
}

void SVGUtils::defaultScaleBezierPathForChord(platform::BezierPath* path) {
    scaleBezierPathXByYBy(path, defaultScaleRatioForChord(), defaultScaleRatioForChord());
}

void SVGUtils::normalizeOriginOfBezierPath(platform::BezierPath* path) {
    if (!path || path->isEmpty()) {
        return;
    }
    const platform::Rect bounds = path->bounds();
    path->translate(-bounds.x(), -bounds.y());
}
