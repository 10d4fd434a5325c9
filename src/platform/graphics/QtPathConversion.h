#pragma once

// Conversions from the platform's drawing values to Qt's. Used by the Qt-based drawing code only;
// code above the platform layer never needs them.

#include "platform/foundation/Color.h"
#include "platform/foundation/Geometry.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BezierPath.h"

#include <QBrush>
#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QTransform>

namespace platform {

QColor toQColor(const Color& color);
QRectF toQRectF(const Rect& rect);
QTransform toQTransform(const AffineTransform& transform);
// The outline with its winding rule as the fill rule.
QPainterPath toQPainterPath(const BezierPath& path);
// A pen with the path's width, cap, join, miter limit and dashes. The path keeps dash lengths in
// absolute units while a Qt pen measures them in line widths, so they are divided by the width here.
QPen toQPen(const BezierPath& path, const Color& color);
QBrush toQBrush(const Color& color);

} // namespace platform
