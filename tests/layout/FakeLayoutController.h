#pragma once

#include "glyphs/TOVObjectView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVLayoutController.h"
#include "platform/ui/DraggingInfo.h"

#include <string>
#include <vector>

namespace layouttest {

// The editor view controller as the layout views see it: it answers the lookups from the tree (enclosing
// page and line views, its editor view), the grid and zoom from its fields, and logs every report as
// "what item" (palette reports with the item code, as the controller's navigation hints would take it).
class FakeLayoutController : public TOVLayoutController {
public:
    TOVEditorView* editor = nullptr;
    bool showGrid = false;
    platform::Size scale{1, 1};
    std::vector<std::string> log;
    std::vector<TOVObjectView*> framesChanged;
    // Every drop-target request, null for "no target".
    std::vector<TOVObjectView*> targets;
    int selectionReports = 0;

    // --- TOVObjectController ---
    bool objectViewShouldBeSelectedAndClearOthers(TOVObjectView* view, bool clear) override {
        return editor != nullptr && editor->selectAnObjectViewClearOthers(view, clear);
    }
    void objectViewShouldBeUnselected(TOVObjectView* view) override {
        if (editor != nullptr) {
            editor->unselectAnObjectView(view);
        }
    }
    void objectViewShouldBeTarget(TOVObjectView* view) override { targets.push_back(view); }
    void objectViewFrameDidChange(TOVObjectView* view) override { framesChanged.push_back(view); }
    void greatDoubleBarLineDidInserted(TOVObjectView* view) override {
        log.push_back("great double bar");
        greatDoubleBarViews.push_back(view);
    }
    std::vector<TOVObjectView*> greatDoubleBarViews;

    // --- TOVLayoutController ---
    void layoutViewMousDidClick(platform::View*, const platform::Event&) override { log.push_back("click"); }
    void layoutViewMousDidRightClick(platform::View*, const platform::Event&) override {
        log.push_back("right click");
    }
    void layoutViewMousDidDoubleClick(platform::View*, const platform::Event&) override {
        log.push_back("double click");
    }
    void layoutViewMousDragDidUpdate(platform::View*, const platform::Event&) override {
        log.push_back("drag update");
    }
    void layoutViewMousDragDidFinish(platform::View*, const platform::Event&) override {
        log.push_back("drag finish");
    }
    void layoutViewSymbolPaletteDragEnteredDraggingInfo(platform::View*, std::int32_t item,
                                                        const platform::DraggingInfo&) override {
        note("symbol entered", item);
    }
    void layoutViewSymbolPaletteDragExitedDraggingInfo(platform::View*, std::int32_t item,
                                                       const platform::DraggingInfo&) override {
        note("symbol exited", item);
    }
    void layoutViewSymbolPaletteDragPerformedDraggingInfo(platform::View*, std::int32_t item,
                                                          const platform::DraggingInfo&) override {
        note("symbol performed", item);
    }
    void layoutViewNotePaletteDragEnteredDraggingInfo(platform::View*, std::int32_t item,
                                                      const platform::DraggingInfo&) override {
        note("note entered", item);
    }
    void layoutViewNotePaletteDragExitedDraggingInfo(platform::View*, std::int32_t item,
                                                     const platform::DraggingInfo&) override {
        note("note exited", item);
    }
    void layoutViewNotePaletteDragPerformedDraggingInfo(platform::View*, std::int32_t item,
                                                        const platform::DraggingInfo&) override {
        note("note performed", item);
    }
    void layoutViewRequireInsertSymbolObjectDraggingInfo(platform::View*, std::int32_t item,
                                                         const platform::DraggingInfo& info) override {
        note("insert", item);
        insertedAt = info.draggingLocation();
    }
    // Rhythm insertions, logged as "melo at 240 length 240 level 3" and the like.
    void layoutViewRequireInsertMeloAtLengthLevel(platform::View*, std::uint64_t at, std::uint64_t length,
                                                  std::int64_t level) override {
        log.push_back("melo" + atLengthLevel(at, length, level));
    }
    void layoutViewRequireInsertRestAtLength(platform::View*, std::uint64_t at,
                                             std::uint64_t length) override {
        log.push_back("rest at " + std::to_string(at) + " length " + std::to_string(length));
    }
    void layoutViewRequireInsertTripletAtLengthLevel(platform::View*, std::uint64_t at, std::uint64_t length,
                                                     std::int64_t level) override {
        log.push_back("triplet" + atLengthLevel(at, length, level));
    }
    void layoutViewRequireInsertSextupletAtLengthLevel(platform::View*, std::uint64_t at,
                                                       std::uint64_t length, std::int64_t level) override {
        log.push_back("sextuplet" + atLengthLevel(at, length, level));
    }
    void layoutViewRequireInsertBeatSlashAt(platform::View*, std::uint64_t at) override {
        log.push_back("beat slash at " + std::to_string(at));
    }

    TOVEditorLineView* layoutViewInquireLineView(platform::View* view) override {
        return enclosing<TOVEditorLineView>(view);
    }
    TOVEditorPageView* layoutViewInquirePageView(platform::View* view) override {
        return enclosing<TOVEditorPageView>(view);
    }
    bool layoutViewInquireShowGrid(platform::View*) override { return showGrid; }
    platform::Size layoutViewInquireScale(platform::View*) override { return scale; }
    TOVEditorView* layoutViewInquireEditorView(platform::View*) override { return editor; }

    void layoutViewWillUpdateSubviews(platform::View* view) override {
        if (view == editor) {
            log.push_back("will update");
        }
    }
    void layoutViewDidlUpdateSubviews(platform::View* view) override {
        if (view == editor) {
            log.push_back("did update");
        }
    }
    void layoutViewSelectedObjectViewSetDidChange(platform::View*, const ObjectViewSet&) override {
        ++selectionReports;
    }

    platform::Point insertedAt;

private:
    static std::string atLengthLevel(std::uint64_t at, std::uint64_t length, std::int64_t level) {
        return " at " + std::to_string(at) + " length " + std::to_string(length) + " level " +
               std::to_string(level);
    }
    void note(const char* what, std::int32_t item) {
        log.push_back(std::string(what) + " " + std::to_string(item));
    }

    // The nearest superview of the class.
    template <typename T>
    static T* enclosing(platform::View* view) {
        for (platform::View* v = view != nullptr ? view->superview() : nullptr; v != nullptr;
             v = v->superview()) {
            if (auto* found = dynamic_cast<T*>(v)) {
                return found;
            }
        }
        return nullptr;
    }
};

} // namespace layouttest
