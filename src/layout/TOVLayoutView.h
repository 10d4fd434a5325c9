#pragma once

#include "glyphs/TOVEditorViewBase.h"

#include <memory>
#include <vector>

class Symbol;
class TOVEditorView;
class TOVLayoutController;
class TOVObjectView;

// The common base of the views that lay a song out (editor view, page, line and bar views): the link to
// the document window's editing controller, the object views the layout view manages, and the hooks
// through which the controller rebuilds, refreshes and removes views without knowing which layout view it
// talks to. It draws nothing.
//
// The delegate is not owned. A layout view hands its delegate to every layout view it creates, and drops
// it when it leaves its superview, so a view that left the tree never calls the controller again.
class TOVLayoutView : public TOVEditorViewBase {
public:
    using ObjectViewArray = std::vector<std::shared_ptr<TOVObjectView>>;

    explicit TOVLayoutView(const platform::Rect& frame = platform::Rect(),
                           TOVLayoutController* delegate = nullptr);
    ~TOVLayoutView() override;

    TOVLayoutController* delegate() const { return delegate_; }
    void setDelegate(TOVLayoutController* delegate) { delegate_ = delegate; }

    // The controller's editor view; null without a delegate.
    TOVEditorView* editorView() const;

    const ObjectViewArray& symbolViewArray() const { return symbolViewArray_; }
    ObjectViewArray& symbolViewArray() { return symbolViewArray_; }
    void setSymbolViewArray(ObjectViewArray views) { symbolViewArray_ = std::move(views); }

    // Drops the delegate first, then leaves the superview.
    void removeFromSuperview() override;

    // --- Hooks ---
    // Refreshes the view of one changed model object.
    virtual void objectShouldUpdateView(Symbol* object);
    // The first object view of symbolViewArray that shows this very object (null finds a view without one).
    virtual std::shared_ptr<TOVObjectView> objectViewFromData(Symbol* object);
    // Makes (again) the view of one model object that belongs to this layout view.
    virtual void restoreSymbolViewFor(Symbol* object) {}
    // Has the object's view update itself from the model; nothing when there is no view.
    void updateSymbolViewFor(Symbol* object);
    // Takes one object view out of the tree and out of the layout view's lists; ...AndData also deletes
    // its model object.
    virtual void removeObjectView(TOVObjectView* view) {}
    virtual void removeObjectViewAndData(TOVObjectView* view) {}
    // removeObjectView for every view the list holds when it starts (the removals shorten the list).
    void removeAllSymbolViews();
    // Throws the layout view's own subviews away and builds them again from the model.
    virtual void recreateAllSubViews() {}
    // Re-lays out the existing subviews without rebuilding them.
    virtual void updateAllSubviews() {}

private:
    TOVLayoutController* delegate_ = nullptr;
    ObjectViewArray symbolViewArray_;
};
