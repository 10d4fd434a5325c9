#pragma once

#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"

#include <vector>

namespace layouttest {

// The object views of the class standing in the editor view, in stacking order.
template <class ViewClass>
std::vector<ViewClass*> viewsInEditor(const TOVEditorView& editor) {
    std::vector<ViewClass*> views;
    for (const auto& view : editor.subviews()) {
        if (auto* typed = dynamic_cast<ViewClass*>(view.get())) {
            views.push_back(typed);
        }
    }
    return views;
}

// An object view's frame in the coordinates of the bar view it belongs to.
inline platform::Rect frameInBar(const TOVEditorBarView* barView, const platform::View& view) {
    return platform::Rect(barView->convertPointFromView(view.frame().origin, view.superview()),
                          view.frame().size);
}

} // namespace layouttest
