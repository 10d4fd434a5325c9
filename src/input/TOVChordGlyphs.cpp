#include "input/TOVChordGlyphs.h"

#include "glyphs/TOVChordViewFactory.h"
#include "model/TOVChordUtils.h"
#include "model/TOVUtils.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

namespace TOVChordGlyphs {

TOVChordViewFactory* factory() {
    return dynamic_cast<TOVChordViewFactory*>(TOVUtils::chordViewFactory());
}

void scaleAndCentre(platform::BezierPath& path, double scale, platform::Size box) {
    path.transformUsingAffineTransform(platform::AffineTransform(scale, 0, 0, scale, 0, 0));
    // Centred by its bounds, so that a glyph whose outline does not start at the origin is centred too.
    const platform::Rect b = path.bounds();
    path.transformUsingAffineTransform(
        platform::AffineTransform::translation(box.width / 2 - b.midX(), box.height / 2 - b.midY()));
}

std::optional<double> fittingScale(const platform::BezierPath& path, platform::Size box, double margin,
                                   double maxScale) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const platform::Rect b = path.bounds();
    double scale = maxScale;
    if (b.width() > 0) {
        scale = std::min(scale, (box.width - 2 * margin) / b.width());
    }
    if (b.height() > 0) {
        scale = std::min(scale, (box.height - 2 * margin) / b.height());
    }
    if ((b.width() <= 0 && b.height() <= 0) || !(scale > 0)) {
        return std::nullopt;
    }
    return scale;
}

void fitAndCentre(platform::BezierPath& path, platform::Size box, double margin, double maxScale) {
    if (const std::optional<double> scale = fittingScale(path, box, margin, maxScale)) {
        scaleAndCentre(path, *scale, box);
    }
}

std::vector<std::optional<platform::BezierPath>> cellPathsOfChords(const std::vector<TOVChordElems>& chords,
                                                                   platform::Size cell) {
    std::vector<std::optional<platform::BezierPath>> paths(chords.size());
    const TOVChordViewFactory* typesetter = factory();
    if (typesetter == nullptr) {
        return paths;
    }
    double scale = CellChordScale;
    for (std::size_t i = 0; i < chords.size(); ++i) {
        if (TOVChordUtils::validateChord(chords[i])) {
            paths[i] = typesetter->bezierPathFromChordFontID(chords[i], FontID);
        }
        if (paths[i]) {
            scale = std::min(scale, fittingScale(*paths[i], cell, 2.0).value_or(scale));
        }
    }
    for (std::optional<platform::BezierPath>& path : paths) {
        if (path) {
            scaleAndCentre(*path, scale, cell);
        }
    }
    return paths;
}

void fill(platform::GraphicsContext& context, const std::optional<platform::BezierPath>& path,
          const platform::Color& color) {
    if (path) {
        context.setFillColor(color);
        context.fillPath(*path);
    }
}

} // namespace TOVChordGlyphs
