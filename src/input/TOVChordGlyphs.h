#pragma once

#include "model/TOVChordElems.h"
#include "platform/foundation/Color.h"
#include "platform/graphics/BezierPath.h"

#include <limits>
#include <optional>
#include <vector>

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

// The chords of a one-click grid, typeset and centred in their cells at one scale for the whole grid, so
// that a letter has one size in every cell: 1.6 times the song's size (at which the widest diatonic chord
// of any key fits a cell of 90 points), or less when a chord of the grid would not fit 2 points inside its
// cell's edges. None for a chord that is not valid (neither root nor bass), so such a cell draws nothing.
inline constexpr double CellChordScale = 1.6;
std::vector<std::optional<platform::BezierPath>> cellPathsOfChords(const std::vector<TOVChordElems>& chords,
                                                                   platform::Size cell);

// Fills the path, when there is one, in the colour.
void fill(platform::GraphicsContext& context, const std::optional<platform::BezierPath>& path,
          const platform::Color& color = platform::Color::black());

} // namespace TOVChordGlyphs
