#pragma once

#include "CellFixture.h"

#include "notation/TOVNoteViewLayout.h"
#include "platform/graphics/GraphicsContext.h"

#include <array>
#include <vector>

namespace notationtest {

// A note view that lays out its cells as the note view does on every update: x of each unit from its
// ticks, stems, flags and beams, then the frame in its superview. It draws cells, flags and beams.
class LayoutNoteView : public FakeNoteView {
public:
    using FakeNoteView::FakeNoteView;

    Note* note = nullptr;
    TOVNoteViewLayout::FlagsAndBeams paths;
    platform::Rect flipHandleRect;

    std::vector<TOVNoteUnitCell*> cells() const {
        std::vector<TOVNoteUnitCell*> list;
        for (const auto& cell : unitCells) {
            list.push_back(cell.get());
        }
        return list;
    }
    void layOut(Note* shown, double heightLeft = 15.0, double heightRight = 15.0) {
        note = shown;
        unitCells.clear();
        TOVNoteViewDelegate* host = noteViewDelegate();
        const platform::Rect area = host->noteViewInquireRectangleNotesArea(this);
        const double pitch = area.width() / static_cast<double>(note->bar()->totalRhythmLength());
        for (NoteUnit* unit : note->unitArray()) {
            auto cell = std::make_unique<TOVNoteUnitCell>(unit, this);
            const double x = TOVNoteViewLayout::xPosForUnitOffset(
                unit, static_cast<double>(unit->timing() - note->timing()) * pitch, pitch, flip);
            cell->setFrame(platform::Rect{platform::Point{x, cell->frame().y()}, cell->frame().size});
            unitCells.push_back(std::move(cell));
        }
        TOVNoteViewLayout::addPole(note, cells(), flip, heightLeft, heightRight);
        paths = TOVNoteViewLayout::addFlag(note, cells(), flip);
        const TOVNoteUnitCell* first = unitCells.front().get();
        const double originX =
            area.x() + static_cast<double>(note->timing()) * pitch + first->frame().x() - first->offsetX();
        const TOVNoteViewLayout::Fitting fitting = TOVNoteViewLayout::fitFrame(
            note, cells(), flip, paths, originX, host->noteViewInquirePosYLevel0(this));
        if (fitting.flipHandleRect) {
            flipHandleRect = *fitting.flipHandleRect;
        }
        platform::Point origin = fitting.frame.origin;
        if (platform::View* bar = host->noteViewInquireBarView(this); bar && superview()) {
            origin = superview()->convertPointFromView(origin, bar);
        }
        setFrame(platform::Rect{origin, fitting.frame.size});
    }
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override {
        FakeNoteView::drawRect(dirty, ctx);
        ctx.setFillColor(platform::Color::black());
        if (paths.flagPath) {
            ctx.fillPath(*paths.flagPath);
        }
        if (paths.beamPath) {
            ctx.fillPath(*paths.beamPath);
        }
    }
};

using Quad = std::array<platform::Point, 4>;

// The closed four-cornered sub-paths of a path, in order.
inline std::vector<Quad> quadsOf(const platform::BezierPath& path) {
    std::vector<Quad> quads;
    Quad quad{};
    int n = 0;
    for (const platform::PathElement& e : path.elements()) {
        switch (e.type) {
        case platform::PathElementType::MoveTo:
            n = 0;
            quad[n++] = e.points[0];
            break;
        case platform::PathElementType::LineTo:
            if (n < 4) {
                quad[n] = e.points[0];
            }
            ++n;
            break;
        case platform::PathElementType::ClosePath:
            if (n == 4) {
                quads.push_back(quad);
            }
            n = 0;
            break;
        default:
            n = 5;
            break;
        }
    }
    return quads;
}

} // namespace notationtest
