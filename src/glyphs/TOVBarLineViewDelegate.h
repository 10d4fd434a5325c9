#pragma once

#include <cstdint>

namespace platform {
class DraggingInfo;
}
class TOVBarLineView;

// What a barline view asks of, and reports to, the line view that made it: its kind, live moves of its
// move handle and the end of such a move, and barline drags from the symbols palette.
class TOVBarLineViewDelegate {
public:
    virtual ~TOVBarLineViewDelegate() = default;

    // dx: the horizontal mouse movement since the last drag event.
    virtual void barLineViewRequireMoveX(TOVBarLineView* view, double dx) = 0;
    // distance: the whole mouse movement since the press.
    virtual void barLineViewDidMoveX(TOVBarLineView* view, double distance) = 0;
    virtual void barLineViewSymbolPaletteDragEnteredDraggingInfo(TOVBarLineView* view, std::int32_t item,
                                                                 const platform::DraggingInfo& info) = 0;
    virtual void barLineViewSymbolPaletteDragExitedDraggingInfo(TOVBarLineView* view, std::int32_t item,
                                                                const platform::DraggingInfo& info) = 0;
    virtual void barLineViewSymbolPaletteDragPerformedDraggingInfo(TOVBarLineView* view, std::int32_t item,
                                                                   const platform::DraggingInfo& info) = 0;
    virtual int barLineViewInquireBarlineType(TOVBarLineView* view) = 0;
};
