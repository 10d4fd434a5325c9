#include "notation/TOVNoteRestCell.h"

#include "model/NoteUnit.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

double TOVNoteRestCell::yOffsetForLength(std::uint64_t length) {
    switch (length) {
    case 30:
        return 10.0;
    case 40:
    case 60:
    case 80:
    case 90:
    case 120:
    case 180:
    case 210:
        return 5.0;
    case 160:
    case 240:
    case 360:
    case 420:
        return 11.0;
    case 320:
    case 480:
    case 720:
    case 840:
        return 3.0;
    case 960:
        return 6.0;
    default:
        return 0.0;
    }
}

double TOVNoteRestCell::yOffsetOfCircleForLength(std::uint64_t length) {
    switch (length) {
    case 90:
    case 180:
    case 210:
        return 1.0;
    case 360:
    case 420:
        return 7.0;
    default:
        return 0.0;
    }
}

void TOVNoteRestCell::updateCell() {
    NoteUnit* unit = unitCell() ? unitCell()->unit() : nullptr;
    const std::uint64_t length = unit ? unit->duration() : 0;
    TOVNoteViewFactory* factory = TOVUtils::noteViewFactory();
    setTonePath(factory ? factory->bezierPathFromUnitLengthFontID(unit, length, fontIDOfUnit(unit))
                        : std::nullopt);
    std::optional<platform::BezierPath> dots =
        factory ? factory->bezierPathDotCircleOfLength(length) : std::nullopt;
    if (dots) {
        const std::uint64_t notated = unit ? unit->type() & NoteUnit::LengthMask : 0;
        dots->translate(boundsOf(tonePath()).width() + 2.0, yOffsetOfCircleForLength(notated));
    }
    setCirclePath(std::move(dots));
    updateFrame();
}

void TOVNoteRestCell::updateFrame() {
    const platform::Rect glyph = boundsOf(tonePath());
    const platform::Rect dots = boundsOf(circlePath());
    setFrame(platform::Rect{0.0, 0.0, std::max({0.0, glyph.maxX(), dots.maxX()}),
                            std::max({0.0, glyph.maxY(), dots.maxY()})});
    const NoteUnit* unit = unitCell() ? unitCell()->unit() : nullptr;
    setOffsetY(yOffsetForLength(unit ? unit->duration() : 0));
}

void TOVNoteRestCell::drawWithNormalColor(const platform::Color& color, platform::GraphicsContext& ctx) {
    ctx.saveGraphicsState();
    ctx.setColor(colorForState(color));
    if (tonePath()) {
        ctx.fillPath(*tonePath());
    }
    if (circlePath()) {
        ctx.fillPath(*circlePath());
    }
    ctx.restoreGraphicsState();
}

TOVManagedObject* TOVNoteRestCell::coreData() const {
    return unitCell() ? unitCell()->unit() : nullptr;
}
