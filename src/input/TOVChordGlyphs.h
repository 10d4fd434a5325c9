#pragma once

#include "model/TOVChordElems.h"
#include "platform/foundation/Color.h"
#include "platform/graphics/BezierPath.h"

#include <limits>
#include <optional>

class QWidget;
class TOVChordViewFactory;

namespace platform {
class GraphicsContext;
}

// The chord glyphs of the input windows: typeset by the application's chord view factory with the
// built-in glyphs ("Default", whatever font the document uses) and the current notation profile, then
// fitted into a cell, a key, a button or the preview.
namespace TOVChordGlyphs {

inline constexpr const char* FontID = "Default";

// The factory the application registered; null without one.
TOVChordViewFactory* factory();

// Scales the path by the factor on both axes and moves it so that its bounds are centred in the box.
void scaleAndCentre(platform::BezierPath& path, double scale, platform::Size box);

// The scale that fits the path's bounds into the box less `margin` on every side, never above `maxScale`;
// none when the path has no extent.
std::optional<double> fittingScale(const platform::BezierPath& path, platform::Size box, double margin,
                                   double maxScale = std::numeric_limits<double>::infinity());

// Fits and centres the path in the box as fittingScale measures; a path without extent is left alone.
void fitAndCentre(platform::BezierPath& path, platform::Size box, double margin,
                  double maxScale = std::numeric_limits<double>::infinity());

// A chord of a one-click grid, fitted into its cell 2 points inside its edges; none for a chord that is
// not valid (neither root nor bass), so such a cell draws nothing.
std::optional<platform::BezierPath> cellPathOfChord(const TOVChordElems& chord, platform::Size cell);

// Fills the path, when there is one, in the colour.
void fill(platform::GraphicsContext& context, const std::optional<platform::BezierPath>& path,
          const platform::Color& color = platform::Color::black());

} // namespace TOVChordGlyphs
