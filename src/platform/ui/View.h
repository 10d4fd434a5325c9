#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/DraggingInfo.h"
#include "platform/ui/Event.h"
#include "platform/ui/Responder.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class GraphicsContext;
class Image;
class ViewHost;

// A light view of the score: not a widget, but a node of a tree that one ViewHost shows.
//
// Geometry. The frame is a rectangle in the superview's coordinates; y grows downward everywhere. The frame
// may be turned about its origin by frameRotation (degrees; positive angles turn from the x axis towards the
// y axis, which is clockwise on screen since y grows downward). The bounds are the view's own coordinates:
// an origin and a scale, so that the bounds size is the frame size divided by the scale. A point p of the
// view lies at frameOrigin + rotate(scale * (p - boundsOrigin)) in the superview.
//
// Ownership. A view belongs to its superview (shared_ptr); the back reference to the superview is not
// owning. Other holders may share a view. A view must be owned by a shared_ptr before it joins a tree.
// While the host delivers an event or a drop to a view it holds the view, so a handler may remove its own
// view from the tree.
//
// Actions. A view is a responder: while it is its window's first responder, actions sent without a
// target reach it and then its superviews before the window.
//
// Events. The default mouse and key handlers pass the event on to the superview; the root passes key events
// to its host.
class View : public std::enable_shared_from_this<View>, public Responder {
public:
    explicit View(const Rect& frame = Rect());
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // --- Frame and bounds ---
    Rect frame() const { return frame_; }
    // The three setters call one another in one direction only: setFrame moves the frame with
    // setFrameOrigin when the origin changes and then resizes it with setFrameSize when the size changes;
    // setFrameOrigin and setFrameSize never go through setFrame. So an override of setFrameSize sees every
    // change of size, and an override of setFrame (which may re-lay out subviews) runs only for setFrame.
    virtual void setFrame(const Rect& frame);
    virtual void setFrameOrigin(Point origin);
    virtual void setFrameSize(Size size);
    double frameRotation() const { return frameRotation_; }
    virtual void setFrameRotation(double degrees);

    Rect bounds() const;
    void setBoundsOrigin(Point origin);
    // Sets the scale so that the bounds take this size; a zero or negative size is ignored.
    void setBoundsSize(Size size);
    // Multiplies the scale of the view's coordinates by the factors (and divides the bounds origin by them);
    // zero or negative factors are ignored.
    void scaleUnitSquareToSize(Size factors);
    // The length in the superview of one unit of the view along each axis.
    Size boundsScale() const { return scale_; }

    // All views answer YES: y grows downward in every view.
    bool isFlipped() const { return true; }

    // The transform from the view's coordinates to its superview's.
    AffineTransform transformToSuperview() const;

    // --- Conversion between views; a null view means host ("window") coordinates ---
    Point convertPointToView(Point point, const View* view) const;
    Point convertPointFromView(Point point, const View* view) const;
    // The smallest rectangle that holds the converted corners.
    Rect convertRectToView(const Rect& rect, const View* view) const;
    Rect convertRectFromView(const Rect& rect, const View* view) const;
    // Lengths along the axes (always positive).
    Size convertSizeToView(Size size, const View* view) const;
    Size convertSizeFromView(Size size, const View* view) const;

    // --- The tree ---
    View* superview() const { return superview_; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    // Adds the view on top of the subviews, first taking it out of its old superview. A view cannot become
    // a subview of itself or of one of its descendants; such a call changes nothing.
    void addSubview(std::shared_ptr<View> view);
    // Leaves the superview. Overrides that clear their own links must call this last.
    virtual void removeFromSuperview();
    // Re-stacks the subviews in the order of `less` from the bottom; views that compare equal keep their
    // order.
    void sortSubviews(const std::function<bool(const View&, const View&)>& less);
    bool isDescendantOf(const View* view) const;
    // The host that shows the tree of this view, or null.
    ViewHost* host() const;

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    // This view or the first descendant, depth first in subview order, with the tag.
    View* viewWithTag(int tag);

    // --- Hit testing ---
    // The frontmost deepest view under the point (in the superview's coordinates) whose bounds hold it:
    // subviews from the top down, then the view itself; null when the point is outside. Overrides may
    // answer null to let clicks through to the views below.
    virtual View* hitTest(Point pointInSuperview);

    // --- Drawing ---
    // Draws the view; `dirty` is the part to draw, in the view's own coordinates. The context is already
    // moved into the view's coordinates and clipped to its bounds.
    virtual void drawRect(const Rect& dirty, GraphicsContext& ctx);
    // Draws the view and its subviews (superview first, subviews in order, each clipped to its bounds) into
    // a context that is in this view's coordinates; used by the host and for printing.
    void drawTree(const Rect& rectInView, GraphicsContext& ctx);
    // Asks for the view to be drawn again; the host draws later, so this is safe while drawing. While the
    // host paints, a request for a view that the paint has yet to reach is served by that paint, so a view
    // that marks a view above it in each of its drawings does not make the host paint again and again.
    void setNeedsDisplay();
    void setNeedsDisplayInRect(const Rect& rect);
    bool needsDisplay() const { return needsDisplay_; }
    // Asks the enclosing scroll area to show the rectangle (view coordinates); false without one.
    bool scrollRectToVisible(const Rect& rect);

    // --- Responder ---
    virtual bool acceptsFirstResponder() const { return false; }
    virtual bool becomeFirstResponder() { return true; }
    virtual bool resignFirstResponder() { return true; }
    // Whether a click into an inactive window acts on the view at once.
    virtual bool acceptsFirstMouse(const Event& event) { return false; }

    virtual void mouseDown(const Event& event);
    virtual void mouseDragged(const Event& event);
    virtual void mouseUp(const Event& event);
    virtual void rightMouseDown(const Event& event);
    virtual void rightMouseDragged(const Event& event);
    virtual void rightMouseUp(const Event& event);
    virtual void keyDown(const Event& event);
    virtual void keyUp(const Event& event);

    // --- Hover: tracking areas (rectangles in view coordinates; they turn and scale with the view) ---
    // While the window is active and no button is held, a view hears mouseMoved as the pointer moves over
    // one of its areas; it hears mouseEntered and mouseExited as the pointer comes into and leaves each
    // area, also while a button is held, and exited for every area when the pointer leaves the host or
    // the window stops being active. A view that re-lays out its areas removes them all and adds anew.
    void addTrackingArea(const Rect& rect);
    void removeAllTrackingAreas();
    const std::vector<Rect>& trackingAreas() const { return trackingAreas_; }
    virtual void mouseMoved(const Event& event) {}
    virtual void mouseEntered(const Event& event) {}
    virtual void mouseExited(const Event& event) {}

    // --- Cursor areas (rectangles in view coordinates; they turn and scale with the view) ---
    void addCursorRect(const Rect& rect, const Cursor& cursor);
    void discardCursorRects();
    // Called by the host when the view's cursor areas are to be built: when the view joins a host, when its
    // frame size changes and after invalidateCursorRects.
    virtual void resetCursorRects() {}
    // Has the host discard and rebuild this view's cursor areas before it next looks at them.
    void invalidateCursorRects();
    struct CursorRect {
        Rect rect;
        Cursor cursor;
    };
    const std::vector<CursorRect>& cursorRects() const { return cursorRects_; }

    // --- Drag destination ---
    void registerForDraggedTypes(const std::vector<std::string>& types);
    void unregisterDraggedTypes();
    const std::vector<std::string>& registeredDraggedTypes() const { return draggedTypes_; }
    bool isRegisteredForAnyType(const std::vector<std::string>& types) const;

    virtual DragOperation draggingEntered(const DraggingInfo& info) { return DragOperationNone; }
    virtual DragOperation draggingUpdated(const DraggingInfo& info) { return DragOperationNone; }
    virtual void draggingExited(const DraggingInfo& info) {}
    virtual bool performDragOperation(const DraggingInfo& info) { return false; }

    // --- Drag source ---
    // Whether the pointer has gone the desktop's drag distance from where the button went down (host
    // coordinates, as the events carry them); a view or cell starts its drag only then.
    static bool hasMovedDragDistance(Point from, Point to);
    // Starts a drag of the types in `items` with their bytes (a type without bytes is a marker) from the
    // pointer of `event`. The image is the program's, held at its centre, or when null the view as it is
    // drawn, held where the pointer is over the view. Answers what the destination did; a real drag runs
    // Qt's drag loop, which returns when the drop is done (offscreen, at once).
    DragOperation dragItems(const DraggingInfo& items, const Event& event, const Image* image = nullptr);
    // The view as drawn, in host pixels: the image of its area in the host, and where that area lies.
    Image imageOfView(Rect& areaInHost);

    // --- Printing ---
    // Whether the view divides itself into pages; if so the first page number and the count.
    virtual bool knowsPageRange(long& firstPage, long& pageCount) { return false; }
    // The rectangle of a page (numbered from 1) in view coordinates.
    virtual Rect rectForPage(long page) { return Rect(); }
    // Where on the paper the rectangle of a page is placed.
    virtual Point locationOfPrintRect(const Rect& rect) { return Point(); }

private:
    friend class ViewHost;

    Point toSuperview(Point p) const;
    Point fromSuperview(Point p) const;
    void rotationCosSin(double& c, double& s) const;
    // Converts a point of this view into the coordinates of `view` (null: host coordinates).
    Point pointToView(Point p, const View* view) const;
    // The area the view covers in host coordinates (its bounds converted), or an empty rect.
    Rect areaInHost() const;
    void invalidateAreaInHost();
    // Tell the host that the frame or the bounds changed.
    void frameDidChange();
    void boundsDidChange();
    void markCursorRectsInvalidInTree();
    void detachFromSuperview();

    Rect frame_;
    double frameRotation_ = 0;
    Point boundsOrigin_;
    Size scale_{1, 1};
    View* superview_ = nullptr;
    std::vector<std::shared_ptr<View>> subviews_;
    ViewHost* rootHost_ = nullptr; // set on the root view only
    int tag_ = -1;
    bool needsDisplay_ = false;
    // The host's paint pass in which the view was last drawn.
    unsigned long long drawnInPass_ = 0;
    bool cursorRectsValid_ = false;
    std::vector<CursorRect> cursorRects_;
    std::vector<Rect> trackingAreas_;
    std::vector<std::string> draggedTypes_;
};

} // namespace platform
