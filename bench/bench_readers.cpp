// The readers of untrusted bytes at their caps: each case builds one hostile input, reads it once and
// prints the time the read took. Run one case per process under /usr/bin/time -v to see its peak memory:
//
//   bench_readers CASE        (no argument lists the cases)
#include "glyphs/SVGUtils.h"
#include "platform/foundation/Gzip.h"
#include "platform/foundation/XmlDocument.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

using platform::XmlDocument;

// A glyph file just under the size cap: a path of n segments, a close, then n operands, each of which
// asks for the current point after the close.
std::string largestSvg() {
    std::string segments = "<svg><path d=\"M0,0";
    std::string operands = "z";
    while (segments.size() + operands.size() + 24 < SVGUtils::maxFileBytes) {
        segments += "L1,2";
        operands += " 3,4";
    }
    return segments + operands + "\"/></svg>";
}

// Elements up to the node cap.
std::string mostElements() {
    std::string text = "<r>";
    for (std::size_t i = 1; i < XmlDocument::maxNodes; ++i) {
        text += "<e/>";
    }
    return text;
}

// Elements each with the most attributes allowed, up to the node cap.
std::string mostAttributes() {
    std::string element = "<e";
    for (std::size_t i = 0; i < XmlDocument::maxAttributesPerElement; ++i) {
        element += " a" + std::to_string(i) + "=\"\"";
    }
    element += "/>";
    std::string text = "<r>";
    const std::size_t perElement = XmlDocument::maxAttributesPerElement + 1;
    for (std::size_t nodes = 1; nodes + perElement <= XmlDocument::maxNodes; nodes += perElement) {
        text += element;
    }
    return text;
}

// One tag with attributes filling the input cap: refused before the parser's quadratic check sees it.
std::string widestTag() {
    std::string text = "<a";
    for (std::size_t i = 0; text.size() + 16 < XmlDocument::maxInputBytes; ++i) {
        text += " a" + std::to_string(i) + "=\"\"";
    }
    return text + "/>";
}

// A text filling the input cap.
std::string largestText() {
    return "<a>" + std::string(XmlDocument::maxInputBytes - 7, 'x') + "</a>";
}

// 1 GiB of zeros in about a megabyte of gzip.
std::vector<std::uint8_t> gzipBomb() {
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    std::vector<std::uint8_t> zeros(1 << 20, 0);
    std::vector<std::uint8_t> out;
    std::uint8_t buffer[65536];
    for (int i = 0; i <= 1024; ++i) {
        const bool last = i == 1024;
        s.next_in = last ? nullptr : zeros.data();
        s.avail_in = last ? 0 : static_cast<uInt>(zeros.size());
        do {
            s.next_out = buffer;
            s.avail_out = sizeof(buffer);
            deflate(&s, last ? Z_FINISH : Z_NO_FLUSH);
            out.insert(out.end(), buffer, buffer + (sizeof(buffer) - s.avail_out));
        } while (s.avail_out == 0);
    }
    deflateEnd(&s);
    return out;
}

template <typename Make, typename Read>
void measure(const char* name, Make make, Read read) {
    const auto input = make();
    const auto start = std::chrono::steady_clock::now();
    const std::string outcome = read(input);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %zu input bytes, read in %.3f s: %s\n", name, input.size(), seconds, outcome.c_str());
}

std::string parsed(const std::string& text) {
    const auto doc = XmlDocument::parse(text);
    return doc ? "parsed, root with " + std::to_string(doc->rootElement().content().size()) + " children"
               : "refused";
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"svg",
         [] {
             measure("largest svg", largestSvg, [](const std::string& text) {
                 return std::to_string(SVGUtils::bezierPathFromSVGData(text).elementCount()) +
                        " path elements";
             });
         }},
        {"elements", [] { measure("most elements", mostElements, parsed); }},
        {"attributes", [] { measure("most attributes", mostAttributes, parsed); }},
        {"widest-tag", [] { measure("widest tag", widestTag, parsed); }},
        {"largest-text", [] { measure("largest text", largestText, parsed); }},
        {"gzip-bomb",
         [] {
             measure("gzip bomb", gzipBomb, [](const std::vector<std::uint8_t>& bytes) {
                 return platform::gzipInflate(bytes, XmlDocument::maxInputBytes) ? "inflated" : "refused";
             });
         }},
    };
    for (const auto& [name, run] : cases) {
        if (argc > 1 && std::strcmp(argv[1], name) == 0) {
            run();
            return 0;
        }
    }
    for (const auto& [name, run] : cases) {
        std::printf("%s\n", name);
    }
    return argc > 1 ? 1 : 0;
}
