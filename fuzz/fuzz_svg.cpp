// Feeds arbitrary bytes to the SVG glyph reader as a whole file and as path data, then measures and
// transforms the outline the way the glyph libraries do.
#include "glyphs/SVGUtils.h"
#include "platform/foundation/XmlElement.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    platform::BezierPath glyph = SVGUtils::bezierPathFromSVGData(bytes);
    (void)glyph.bounds();
    SVGUtils::flipBezierPath(&glyph);
    SVGUtils::defaultScaleBezierPathForChord(&glyph);

    platform::XmlElement path("path");
    path.addAttribute("d", std::string(bytes));
    path.addAttribute("transform", std::string(bytes));
    platform::BezierPath outline = SVGUtils::decodeSVGPathElement(path);
    (void)outline.bounds();
    return 0;
}
