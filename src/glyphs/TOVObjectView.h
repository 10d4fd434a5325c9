#pragma once

#include "glyphs/TOVEditorViewBase.h"
#include "glyphs/TOVObjectViewToneCell.h"
#include "platform/foundation/Color.h"
#include "platform/graphics/BezierPath.h"

#include <memory>
#include <optional>
#include <string>

class Symbol;
class TOVObjectController;
class TOVObjectViewOwner;

// A small view that draws one glyph outline of the score in one of three states (0 normal, 1 selected,
// 2 drop target) and knows the model object it shows, the bar view or editor view that owns it and the
// controller it reports to.
//
// Views are copied from prototypes with clone(): the copy is made through the receiver's own class with
// the receiver's frame, so that each layer's set-up (handle cells) runs for it; it gets its own copy of
// the outline and the natural size, and starts in state 0 without symbol, owners, tone cell or delegate.
class TOVObjectView : public TOVEditorViewBase {
public:
    explicit TOVObjectView(const platform::Rect& frame = platform::Rect());

    // Makes a view of class T with the frame's origin and the glyph of the SVG file at the symbol scale;
    // the frame size and the natural size become the glyph's size, (0, 0) when the file gives no outline.
    template <typename T>
    static std::shared_ptr<T> makeWithFrameSVGFile(const platform::Rect& frame, const std::string& svgFile) {
        auto view = std::make_shared<T>(frame);
        view->loadGlyphFromSVGFile(svgFile);
        return view;
    }

    virtual std::shared_ptr<TOVObjectView> clone() const;

    platform::Size defaultViewSize() const { return defaultViewSize_; }
    void setDefaultViewSize(platform::Size size) { defaultViewSize_ = size; }

    int state() const { return state_; }
    virtual void setState(int state);

    // The owners are held weakly; setting a different owner takes its delegate (none for null).
    TOVObjectViewOwner* barViewBelongTo() const;
    void setBarViewBelongTo(TOVObjectViewOwner* owner);
    TOVObjectViewOwner* editorViewBelongTo() const;
    void setEditorViewBelongTo(TOVObjectViewOwner* owner);

    Symbol* symbol() const { return symbol_; }
    // A different symbol is stored and the view updates itself from it.
    virtual void setSymbol(Symbol* symbol);

    const std::optional<platform::BezierPath>& bezierPath() const { return bezierPath_; }
    std::optional<platform::BezierPath>& bezierPath() { return bezierPath_; }
    void setBezierPath(std::optional<platform::BezierPath> path) { bezierPath_ = std::move(path); }

    // The tone cell the view hangs on, not owned (leaving the superview cuts it); null for a view on no tone.
    TOVObjectViewToneCell* toneCellBelongTo() const { return toneCellBelongTo_; }
    void setToneCellBelongTo(TOVObjectViewToneCell* cell) { toneCellBelongTo_ = cell; }
    TOVObjectController* delegate() const { return delegate_; }
    void setDelegate(TOVObjectController* delegate) { delegate_ = delegate; }

    // Cuts every link (bar view, tone cell, editor view, delegate), then leaves the superview.
    void removeFromSuperview() override;
    // Transparent to clicks while the delegate reports a bar-range edit mode.
    platform::View* hitTest(platform::Point pointInSuperview) override;

    void addSubviewWithAdjustPosition(std::shared_ptr<platform::View> view);
    // Grows the view so that the child's frame lies inside it, keeping the child and the glyph where they
    // are on screen; true when the frame changed.
    bool adjustFrameWithChildView(const platform::View& child);

    // Requests to the delegate; nothing without one.
    void makeSelfOnlySelectedOn();
    void makeSelfSelectedAndClearOthers(bool clear);
    void makeSelfTargetOn();
    void makeSelfTargetOff();

    // The frame origin, in the editor view's coordinates when the view lies in a bar view.
    platform::Point originFromEditorView() const;
    virtual void adjustSelfOrigin() {}
    virtual void updateView() {}
    virtual void updateViewTemporallyAs(const platform::Rect&) {}
    virtual int symbolType() const;
    virtual bool shouldDrawFrameRect() const { return false; }

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;
    virtual void drawBezierPath(platform::GraphicsContext& ctx);
    virtual void drawNormal(platform::GraphicsContext& ctx);
    virtual void drawSelected(platform::GraphicsContext& ctx);
    virtual void drawTarget(platform::GraphicsContext& ctx);

protected:
    // A new view of the receiver's own class with the frame, as its plain initialiser makes it.
    virtual std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const;
    // Copies this layer's own fields into a copy made by newInstanceWithFrame.
    virtual void copyFieldsInto(TOVObjectView& copy) const;
    void loadGlyphFromSVGFile(const std::string& svgFile);
    // What a selected or targeted view shows over its frame and under its symbol (the resize handles), so
    // that the symbol is never hidden by them.
    virtual void drawSelectionMarks(platform::GraphicsContext&) {}
    // The width of the white rim around a framed symbol's ink.
    static constexpr double kSelectionRimWidth = 0.9;

private:
    void setOwner(std::weak_ptr<platform::View>& slot, TOVObjectViewOwner*& cached,
                  TOVObjectViewOwner* owner);
    void drawWithColorAndFrame(platform::GraphicsContext& ctx, const platform::Color& color);

    int state_ = 0;
    std::weak_ptr<platform::View> barView_;
    TOVObjectViewOwner* barViewOwner_ = nullptr;
    std::weak_ptr<platform::View> editorView_;
    TOVObjectViewOwner* editorViewOwner_ = nullptr;
    Symbol* symbol_ = nullptr;
    std::optional<platform::BezierPath> bezierPath_;
    TOVObjectViewToneCell* toneCellBelongTo_ = nullptr;
    TOVObjectController* delegate_ = nullptr;
    platform::Size defaultViewSize_;
};
