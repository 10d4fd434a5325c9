#pragma once

#include "CellFixture.h"

#include "notation/TOVNoteViewLayout.h"

#include <array>
#include <vector>

namespace notationtest {

// The unit cells of a note view, in order.
inline std::vector<TOVNoteUnitCell*> cellsOf(const TOVNoteView& view) {
    std::vector<TOVNoteUnitCell*> list;
    for (const auto& cell : view.unitCellArray()) {
        list.push_back(cell.get());
    }
    return list;
}

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
