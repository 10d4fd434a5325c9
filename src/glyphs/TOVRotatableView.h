#pragma once

#include "glyphs/TOVResizableFreeView.h"

class TOVRotateHandleCell;

// A free-resizable view that the rotate handle (type 8, right middle) turns about the pivot handle
// (type 7, left middle) while setting the view's length to the pointer's distance from the pivot. The
// angle lives in the frame rotation while dragging and goes into the symbol on release.
class TOVRotatableView : public TOVResizableFreeView {
public:
    // The shortest length a rotation leaves.
    static constexpr double kMinimumLength = 15.0;

    using TOVResizableFreeView::TOVResizableFreeView;

    void mouseDown(const platform::Event& event) override;
    void mouseDragged(const platform::Event& event) override;
    void mouseUp(const platform::Event& event) override;
    // Turns by dA degrees and lengthens by dW, keeping the pivot on the same point of the superview.
    virtual void temporallyRotateWithDiffAngleDiffWidth(double dA, double dW);
    void completeChangingFrame() override;

    TOVRotateHandleCell* rotateHandle() const { return rotateHandle_.lock().get(); }
    void setRotateHandle(const std::shared_ptr<TOVRotateHandleCell>& cell) { rotateHandle_ = cell; }

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;

private:
    // The pivot cell's origin in the superview; the view's own origin without one.
    platform::Point pivotInSuperview() const;
    void storeAngleWhenChanged();

    std::weak_ptr<TOVRotateHandleCell> rotateHandle_;
};
