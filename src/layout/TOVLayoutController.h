#pragma once

#include "glyphs/TOVObjectController.h"
#include "platform/foundation/Geometry.h"

#include <cstdint>
#include <memory>
#include <vector>

class TOVEditorLineView;
class TOVEditorPageView;
class TOVEditorView;
class TOVNoteToneCell;

namespace platform {
class DraggingInfo;
class Event;
class ManagedObject;
class View;
} // namespace platform

// The editing controller of a document window as the views of the score layout see it: every layout view
// and object view reports clicks, drags and palette drops here and asks its questions here, so that views
// never change the model or the selection on their own. Operations whose name holds Inquire ask, Require
// asks for an action, the others report. The first argument is the view that calls: a layout view, or for
// drags reported on behalf of a note view, a tone cell or a barline view, that view.
//
// The same object answers the object views (TOVObjectController), so one delegate serves the whole tree.
// As there, reports are ignored and questions answer 0, null or false unless overridden; the zoom answers
// 1 by 1, the scale of a view shown as the song is printed.
class TOVLayoutController : public TOVObjectController {
public:
    using ObjectViewSet = std::vector<std::shared_ptr<TOVObjectView>>;

    // --- Mouse reports ---
    virtual void layoutViewMousDidClick(platform::View* view, const platform::Event& event) {}
    virtual void layoutViewMousDidRightClick(platform::View* view, const platform::Event& event) {}
    virtual void layoutViewMousDidDoubleClick(platform::View* view, const platform::Event& event) {}
    virtual void layoutViewMousDragDidUpdate(platform::View* view, const platform::Event& event) {}
    virtual void layoutViewMousDragDidFinish(platform::View* view, const platform::Event& event) {}

    // --- Palette drags; the item is a symbol type or, for the notes palette, a unit type ---
    virtual void layoutViewSymbolPaletteDragEnteredDraggingInfo(platform::View* view, std::int32_t item,
                                                                const platform::DraggingInfo& info) {}
    virtual void layoutViewSymbolPaletteDragExitedDraggingInfo(platform::View* view, std::int32_t item,
                                                               const platform::DraggingInfo& info) {}
    virtual void layoutViewSymbolPaletteDragPerformedDraggingInfo(platform::View* view, std::int32_t item,
                                                                  const platform::DraggingInfo& info) {}
    virtual void layoutViewNotePaletteDragEnteredDraggingInfo(platform::View* view, std::int32_t item,
                                                              const platform::DraggingInfo& info) {}
    virtual void layoutViewNotePaletteDragExitedDraggingInfo(platform::View* view, std::int32_t item,
                                                             const platform::DraggingInfo& info) {}
    virtual void layoutViewNotePaletteDragPerformedDraggingInfo(platform::View* view, std::int32_t item,
                                                                const platform::DraggingInfo& info) {}

    // --- Insert requests ---
    virtual void layoutViewRequireInsertSymbolObjectDraggingInfo(platform::View* view, std::int32_t item,
                                                                 const platform::DraggingInfo& info) {}
    // A symbol dropped onto a tone, reported by the note view's bar: the tone cell stands where the other
    // insertions have their layout view, so that the accidental or articulation goes onto that tone.
    virtual void layoutViewRequireInsertSymbolObjectDraggingInfo(TOVNoteToneCell* toneCell, std::int32_t item,
                                                                 const platform::DraggingInfo& info) {}
    virtual void layoutViewRequireInsertMeloAtLengthLevel(platform::View* view, std::uint64_t at,
                                                          std::uint64_t length, std::int64_t level) {}
    virtual void layoutViewRequireInsertRestAtLength(platform::View* view, std::uint64_t at,
                                                     std::uint64_t length) {}
    virtual void layoutViewRequireInsertTripletAtLengthLevel(platform::View* view, std::uint64_t at,
                                                             std::uint64_t length, std::int64_t level) {}
    virtual void layoutViewRequireInsertSextupletAtLengthLevel(platform::View* view, std::uint64_t at,
                                                               std::uint64_t length, std::int64_t level) {}
    virtual void layoutViewRequireInsertBeatSlashAt(platform::View* view, std::uint64_t at) {}

    // --- Questions ---
    // The line view or page view that encloses the view; null when none does.
    virtual TOVEditorLineView* layoutViewInquireLineView(platform::View* view) { return nullptr; }
    virtual TOVEditorPageView* layoutViewInquirePageView(platform::View* view) { return nullptr; }
    // Whether the placement grid is shown.
    virtual bool layoutViewInquireShowGrid(platform::View* view) { return false; }
    // The horizontal and vertical zoom of the editor view.
    virtual platform::Size layoutViewInquireScale(platform::View* view) { return {1, 1}; }
    virtual TOVEditorView* layoutViewInquireEditorView(platform::View* view) { return nullptr; }
    virtual int layoutViewInquireBarDrawMode(platform::View* view) { return 0; }
    virtual bool layoutViewInquireIsChordInputActive(platform::View* view) { return false; }

    // --- Rebuilds and other reports ---
    virtual void layoutViewWillUpdateSubviews(platform::View* view) {}
    virtual void layoutViewDidlUpdateSubviews(platform::View* view) {}
    virtual void layoutViewDidUpdateClefArea(platform::View* view, platform::ManagedObject* object) {}
    virtual void layoutViewSelectedObjectViewSetDidChange(platform::View* view, const ObjectViewSet& set) {}
    virtual void layoutViewRequireClearSelection(platform::View* view) {}
};
