#pragma once

#include "glyphs/TOVEditorViewBase.h"
#include "platform/graphics/BezierPath.h"

#include <memory>

// Shows one glyph filled in black, scaled to fit the view with a margin on every side and centred.
// The view fits the path it is given in place.
class TOVBezierPathPreview : public TOVEditorViewBase {
public:
    using TOVEditorViewBase::TOVEditorViewBase;

    // The preview never takes the keyboard focus.
    bool acceptsFirstResponder() const override { return false; }

    const std::shared_ptr<platform::BezierPath>& bezierPath() const { return bezierPath_; }
    // A different path is stored, fitted and shown; the same path again does nothing.
    void setBezierPath(std::shared_ptr<platform::BezierPath> path);
    double marginWithObjectView() const { return marginWithObjectView_; }
    // A different margin refits the path; an equal one does nothing.
    void setMarginWithObjectView(double margin);
    // Fits the path: scaled by the smaller ratio of the room to the path's size, then centred. A path
    // without width or height cannot be scaled and is only centred.
    void scaleBezierPath();

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

private:
    std::shared_ptr<platform::BezierPath> bezierPath_;
    double marginWithObjectView_ = 0;
};
