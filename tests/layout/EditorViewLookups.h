#pragma once

#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"

#include <cstdint>
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

// The bar view of the bar numbered so, looked for in every line of every page; null if none shows it.
inline TOVEditorBarView* barViewNumbered(const TOVEditorView& editor, std::uint64_t num) {
    for (const auto& page : editor.pageViewArray()) {
        for (const auto& line : page->lineViewArray()) {
            if (TOVEditorBarView* view = line->barViewFromNumber(num)) {
                return view;
            }
        }
    }
    return nullptr;
}

} // namespace layouttest
