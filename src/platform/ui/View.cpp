#include "platform/ui/View.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/QPainterGraphicsContext.h"
#include "platform/ui/ViewHost.h"

#include <QApplication>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

bool isUsableFactor(double f) {
    return std::isfinite(f) && f > 0;
}

} // namespace

View::View(const Rect& frame) : frame_(frame) {}

View::~View() {
    for (auto& sub : subviews_) {
        sub->superview_ = nullptr;
    }
}

// --- Frame and bounds ---

void View::setFrame(const Rect& frame) {
    if (frame.origin != frame_.origin) {
        setFrameOrigin(frame.origin);
    }
    if (frame.size != frame_.size) {
        setFrameSize(frame.size);
    }
}

void View::setFrameOrigin(Point origin) {
    if (origin == frame_.origin) {
        return;
    }
    invalidateAreaInHost();
    frame_.origin = origin;
    frameDidChange();
}

void View::setFrameSize(Size size) {
    if (size == frame_.size) {
        return;
    }
    invalidateAreaInHost();
    frame_.size = size;
    invalidateCursorRects();
    frameDidChange();
}

void View::frameDidChange() {
    invalidateAreaInHost();
    if (rootHost_ != nullptr) {
        rootHost_->rootFrameChanged();
    }
    if (ViewHost* h = host()) {
        h->viewGeometryChanged();
    }
}

void View::setFrameRotation(double degrees) {
    if (degrees == frameRotation_ || !std::isfinite(degrees)) {
        return;
    }
    invalidateAreaInHost();
    frameRotation_ = degrees;
    frameDidChange();
}

Rect View::bounds() const {
    return Rect(boundsOrigin_, Size{frame_.size.width / scale_.width, frame_.size.height / scale_.height});
}

void View::setBoundsOrigin(Point origin) {
    if (origin == boundsOrigin_) {
        return;
    }
    boundsOrigin_ = origin;
    setNeedsDisplay();
    boundsDidChange();
}

void View::setBoundsSize(Size size) {
    const Size s{frame_.size.width / size.width, frame_.size.height / size.height};
    if (!isUsableFactor(s.width) || !isUsableFactor(s.height)) {
        return;
    }
    scale_ = s;
    setNeedsDisplay();
    boundsDidChange();
}

void View::scaleUnitSquareToSize(Size factors) {
    if (!isUsableFactor(factors.width) || !isUsableFactor(factors.height)) {
        return;
    }
    boundsOrigin_.x /= factors.width;
    boundsOrigin_.y /= factors.height;
    scale_.width *= factors.width;
    scale_.height *= factors.height;
    setNeedsDisplay();
    boundsDidChange();
}

void View::boundsDidChange() {
    if (ViewHost* h = host()) {
        h->viewGeometryChanged();
    }
}

// --- Conversion ---

void View::rotationCosSin(double& c, double& s) const {
    // Quarter turns are exact, so that turned frames keep whole-number corners.
    const double turns = frameRotation_ / 90.0;
    if (turns == std::floor(turns)) {
        const long q = static_cast<long>(std::fmod(turns, 4.0) + 4.0) % 4;
        static const double cosines[] = {1, 0, -1, 0};
        static const double sines[] = {0, 1, 0, -1};
        c = cosines[q];
        s = sines[q];
        return;
    }
    const double radians = frameRotation_ * M_PI / 180.0;
    c = std::cos(radians);
    s = std::sin(radians);
}

Point View::toSuperview(Point p) const {
    const double x = (p.x - boundsOrigin_.x) * scale_.width;
    const double y = (p.y - boundsOrigin_.y) * scale_.height;
    if (frameRotation_ == 0) {
        return Point{frame_.origin.x + x, frame_.origin.y + y};
    }
    double c = 1;
    double s = 0;
    rotationCosSin(c, s);
    return Point{frame_.origin.x + x * c - y * s, frame_.origin.y + x * s + y * c};
}

Point View::fromSuperview(Point q) const {
    double x = q.x - frame_.origin.x;
    double y = q.y - frame_.origin.y;
    if (frameRotation_ != 0) {
        double c = 1;
        double s = 0;
        rotationCosSin(c, s);
        const double rx = x * c + y * s;
        const double ry = -x * s + y * c;
        x = rx;
        y = ry;
    }
    return Point{boundsOrigin_.x + x / scale_.width, boundsOrigin_.y + y / scale_.height};
}

AffineTransform View::transformToSuperview() const {
    // Each step acts before the ones already taken: a point leaves the bounds origin, is scaled, turned
    // and placed at the frame origin.
    AffineTransform t = AffineTransform::translation(frame_.origin.x, frame_.origin.y);
    if (frameRotation_ != 0) {
        double c = 1;
        double s = 0;
        rotationCosSin(c, s);
        t.prependTransform(AffineTransform(c, s, -s, c, 0, 0));
    }
    t.scale(scale_.width, scale_.height);
    t.translate(-boundsOrigin_.x, -boundsOrigin_.y);
    return t;
}

Point View::pointToView(Point p, const View* view) const {
    if (view == this) {
        return p;
    }
    // Up to the nearest common ancestor (or the host space), then down to the target.
    const View* v = this;
    while (v != nullptr && (view == nullptr || !view->isDescendantOf(v))) {
        p = v->toSuperview(p);
        v = v->superview_;
    }
    if (view == nullptr || v == view) {
        return p;
    }
    std::vector<const View*> down;
    for (const View* w = view; w != v; w = w->superview_) {
        down.push_back(w);
    }
    for (auto it = down.rbegin(); it != down.rend(); ++it) {
        p = (*it)->fromSuperview(p);
    }
    return p;
}

Point View::convertPointToView(Point point, const View* view) const {
    return pointToView(point, view);
}

Point View::convertPointFromView(Point point, const View* view) const {
    if (view != nullptr) {
        return view->pointToView(point, this);
    }
    // From host space: down from the root.
    std::vector<const View*> chain;
    for (const View* v = this; v != nullptr; v = v->superview_) {
        chain.push_back(v);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        point = (*it)->fromSuperview(point);
    }
    return point;
}

Rect View::convertRectToView(const Rect& rect, const View* view) const {
    const Rect r = rect.standardized();
    return boundingRectOfPoints({convertPointToView(Point{r.minX(), r.minY()}, view),
                                 convertPointToView(Point{r.maxX(), r.minY()}, view),
                                 convertPointToView(Point{r.maxX(), r.maxY()}, view),
                                 convertPointToView(Point{r.minX(), r.maxY()}, view)});
}

Rect View::convertRectFromView(const Rect& rect, const View* view) const {
    const Rect r = rect.standardized();
    return boundingRectOfPoints({convertPointFromView(Point{r.minX(), r.minY()}, view),
                                 convertPointFromView(Point{r.maxX(), r.minY()}, view),
                                 convertPointFromView(Point{r.maxX(), r.maxY()}, view),
                                 convertPointFromView(Point{r.minX(), r.maxY()}, view)});
}

Size View::convertSizeToView(Size size, const View* view) const {
    const Point a = convertPointToView(Point{0, 0}, view);
    const Point bx = convertPointToView(Point{size.width, 0}, view);
    const Point by = convertPointToView(Point{0, size.height}, view);
    return Size{std::hypot(bx.x - a.x, bx.y - a.y), std::hypot(by.x - a.x, by.y - a.y)};
}

Size View::convertSizeFromView(Size size, const View* view) const {
    const Point a = convertPointFromView(Point{0, 0}, view);
    const Point bx = convertPointFromView(Point{size.width, 0}, view);
    const Point by = convertPointFromView(Point{0, size.height}, view);
    return Size{std::hypot(bx.x - a.x, bx.y - a.y), std::hypot(by.x - a.x, by.y - a.y)};
}

// --- Tree ---

void View::addSubview(std::shared_ptr<View> view) {
    if (!view || view.get() == this || isDescendantOf(view.get())) {
        return;
    }
    if (view->superview_ == this) {
        // Already ours: bring it to the top.
        auto it = std::find(subviews_.begin(), subviews_.end(), view);
        std::rotate(it, it + 1, subviews_.end());
        view->invalidateAreaInHost();
        return;
    }
    if (view->superview_ != nullptr) {
        view->detachFromSuperview();
    }
    if (view->rootHost_ != nullptr) {
        // The root of a host joins another tree: the host lets it go.
        view->rootHost_->setRootView(nullptr);
    }
    view->superview_ = this;
    subviews_.push_back(view);
    if (ViewHost* h = host()) {
        view->markCursorRectsInvalidInTree();
        h->cursorRectsInvalidated();
        view->invalidateAreaInHost();
    }
}

void View::detachFromSuperview() {
    View* parent = superview_;
    if (parent == nullptr) {
        return;
    }
    invalidateAreaInHost();
    if (ViewHost* h = host()) {
        h->viewLeavesHost(this);
    }
    superview_ = nullptr;
    auto it = std::find_if(parent->subviews_.begin(), parent->subviews_.end(),
                           [this](const std::shared_ptr<View>& v) { return v.get() == this; });
    if (it != parent->subviews_.end()) {
        // The erase may drop the last owner; the callers hold one.
        parent->subviews_.erase(it);
    }
}

void View::removeFromSuperview() {
    if (superview_ == nullptr) {
        return;
    }
    // Keep this view alive until the function is done even when the superview was its only owner.
    const std::shared_ptr<View> keep = weak_from_this().lock();
    detachFromSuperview();
}

void View::sortSubviews(const std::function<bool(const View&, const View&)>& less) {
    std::stable_sort(
        subviews_.begin(), subviews_.end(),
        [&less](const std::shared_ptr<View>& a, const std::shared_ptr<View>& b) { return less(*a, *b); });
    setNeedsDisplay();
}

bool View::isDescendantOf(const View* view) const {
    if (view == nullptr) {
        return false;
    }
    for (const View* v = this; v != nullptr; v = v->superview_) {
        if (v == view) {
            return true;
        }
    }
    return false;
}

ViewHost* View::host() const {
    const View* v = this;
    while (v->superview_ != nullptr) {
        v = v->superview_;
    }
    return v->rootHost_;
}

View* View::viewWithTag(int tag) {
    if (tag_ == tag) {
        return this;
    }
    for (const auto& sub : subviews_) {
        if (View* found = sub->viewWithTag(tag)) {
            return found;
        }
    }
    return nullptr;
}

// --- Hit testing ---

View* View::hitTest(Point pointInSuperview) {
    const Point p = fromSuperview(pointInSuperview);
    if (!bounds().containsPoint(p)) {
        return nullptr;
    }
    // A copy: an override may change the tree while it answers.
    const auto subs = subviews_;
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        if (View* hit = (*it)->hitTest(p)) {
            return hit;
        }
    }
    return this;
}

// --- Drawing ---

void View::drawRect(const Rect& dirty, GraphicsContext& ctx) {}

void View::drawTree(const Rect& rectInView, GraphicsContext& ctx) {
    const Rect dirty = rectInView.intersection(bounds());
    if (dirty.isEmpty()) {
        return;
    }
    // Drawing code may change the tree; what is drawn stays alive until it is done.
    const std::shared_ptr<View> keep = weak_from_this().lock();
    ctx.saveGraphicsState();
    ctx.clipToRect(dirty);
    // Cleared first, so that a request made while drawing stays.
    needsDisplay_ = false;
    if (ViewHost* h = host(); h != nullptr && h->drawing_) {
        drawnInPass_ = h->paintPass_;
    }
    ctx.saveGraphicsState();
    drawRect(dirty, ctx);
    ctx.restoreGraphicsState();
    // The dirty rectangle in a subview's space (what convertRectFromView answers for a direct subview,
    // without its walk up the tree).
    const auto dirtyIn = [&dirty](const View& sub) {
        return boundingRectOfPoints({sub.fromSuperview(Point{dirty.minX(), dirty.minY()}),
                                     sub.fromSuperview(Point{dirty.maxX(), dirty.minY()}),
                                     sub.fromSuperview(Point{dirty.maxX(), dirty.maxY()}),
                                     sub.fromSuperview(Point{dirty.minX(), dirty.maxY()})});
    };
    // Only the subviews that meet the dirty rectangle are kept alive and visited: a tall view (the
    // editor's column of pages) has many more subviews than one page shows.
    std::vector<std::shared_ptr<View>> subs;
    for (const auto& sub : subviews_) {
        if (dirtyIn(*sub).intersects(sub->bounds())) {
            subs.push_back(sub);
        }
    }
    for (const auto& sub : subs) {
        if (sub->superview_ != this) {
            continue; // removed while drawing
        }
        const Rect subDirty = dirtyIn(*sub);
        if (!subDirty.intersects(sub->bounds())) {
            continue;
        }
        ctx.saveGraphicsState();
        ctx.concatTransform(sub->transformToSuperview());
        sub->drawTree(subDirty, ctx);
        ctx.restoreGraphicsState();
    }
    ctx.restoreGraphicsState();
}

Rect View::areaInHost() const {
    if (host() == nullptr) {
        return Rect();
    }
    return convertRectToView(bounds(), nullptr);
}

void View::invalidateAreaInHost() {
    if (ViewHost* h = host()) {
        h->invalidateHostRect(areaInHost());
    }
}

void View::setNeedsDisplay() {
    setNeedsDisplayInRect(bounds());
}

void View::setNeedsDisplayInRect(const Rect& rect) {
    needsDisplay_ = true;
    if (ViewHost* h = host()) {
        h->invalidateHostRect(convertRectToView(rect.intersection(bounds()), nullptr), this);
    }
}

bool View::scrollRectToVisible(const Rect& rect) {
    ViewHost* h = host();
    if (h == nullptr) {
        return false;
    }
    return h->scrollHostRectToVisible(convertRectToView(rect, nullptr));
}

// --- Responder ---

namespace {

std::shared_ptr<View> owningPointer(View* v) {
    return v != nullptr ? v->weak_from_this().lock() : nullptr;
}

} // namespace

void View::mouseDown(const Event& event) {
    if (auto next = owningPointer(superview_)) {
        next->mouseDown(event);
    }
}

void View::mouseDragged(const Event& event) {
    if (auto next = owningPointer(superview_)) {
        next->mouseDragged(event);
    }
}

void View::mouseUp(const Event& event) {
    if (auto next = owningPointer(superview_)) {
        next->mouseUp(event);
    }
}

void View::rightMouseDown(const Event& event) {
    if (auto next = owningPointer(superview_)) {
        next->rightMouseDown(event);
    }
}

void View::rightMouseDragged(const Event& event) {
    if (auto next = owningPointer(superview_)) {
        next->rightMouseDragged(event);
    }
}

void View::rightMouseUp(const Event& event) {
    if (auto next = owningPointer(superview_)) {
        next->rightMouseUp(event);
    }
}

void View::keyDown(const Event& event) {
    if (auto next = owningPointer(superview_)) {
        next->keyDown(event);
    } else if (rootHost_ != nullptr) {
        rootHost_->keyEventPassedThroughTree(event);
    }
}

void View::keyUp(const Event& event) {
    if (auto next = owningPointer(superview_)) {
        next->keyUp(event);
    } else if (rootHost_ != nullptr) {
        rootHost_->keyEventPassedThroughTree(event);
    }
}

// --- Hover ---

void View::addTrackingArea(const Rect& rect) {
    const Rect r = rect.standardized();
    if (!r.isEmpty()) {
        trackingAreas_.push_back(r);
    }
}

void View::removeAllTrackingAreas() {
    trackingAreas_.clear();
}

// --- Cursor areas ---

void View::addCursorRect(const Rect& rect, const Cursor& cursor) {
    const Rect r = rect.standardized();
    if (r.isEmpty()) {
        return;
    }
    cursorRects_.push_back(CursorRect{r, cursor});
}

void View::discardCursorRects() {
    cursorRects_.clear();
}

void View::invalidateCursorRects() {
    cursorRectsValid_ = false;
    if (ViewHost* h = host()) {
        h->cursorRectsInvalidated();
    }
}

void View::markCursorRectsInvalidInTree() {
    cursorRectsValid_ = false;
    for (const auto& sub : subviews_) {
        sub->markCursorRectsInvalidInTree();
    }
}

// --- Drag destination ---

void View::registerForDraggedTypes(const std::vector<std::string>& types) {
    for (const auto& t : types) {
        if (std::find(draggedTypes_.begin(), draggedTypes_.end(), t) == draggedTypes_.end()) {
            draggedTypes_.push_back(t);
        }
    }
}

void View::unregisterDraggedTypes() {
    draggedTypes_.clear();
}

bool View::isRegisteredForAnyType(const std::vector<std::string>& types) const {
    for (const auto& t : types) {
        if (std::find(draggedTypes_.begin(), draggedTypes_.end(), t) != draggedTypes_.end()) {
            return true;
        }
    }
    return false;
}

// --- Drag source ---

bool View::hasMovedDragDistance(Point from, Point to) {
    return std::abs(to.x - from.x) + std::abs(to.y - from.y) >= QApplication::startDragDistance();
}

Image View::imageOfView(Rect& area) {
    area = areaInHost();
    if (area.isEmpty()) {
        return Image();
    }
    area = Rect(std::floor(area.x()), std::floor(area.y()), std::ceil(area.maxX()) - std::floor(area.x()),
                std::ceil(area.maxY()) - std::floor(area.y()));
    Image image(area.size);
    QPainterGraphicsContext ctx(image);
    ctx.concatTransform(AffineTransform::translation(-area.x(), -area.y()));
    // From this view's coordinates to the host's: the root's step last.
    AffineTransform toHost;
    for (const View* v = this; v != nullptr; v = v->superview_) {
        toHost.appendTransform(v->transformToSuperview());
    }
    ctx.concatTransform(toHost);
    drawTree(bounds(), ctx);
    return image;
}

DragOperation View::dragItems(const DraggingInfo& items, const Event& event, const Image* image) {
    ViewHost* h = host();
    if (h == nullptr || items.types().empty()) {
        return DragOperationNone;
    }
    // Held while the drag runs: the drop may take this view out of the tree.
    const std::shared_ptr<View> keep = weak_from_this().lock();
    Rect area;
    Image picture = image != nullptr ? *image : imageOfView(area);
    Point hotSpot;
    if (image != nullptr) {
        hotSpot = Point{picture.size().width / 2, picture.size().height / 2};
    } else {
        hotSpot = Point{event.locationInWindow().x - area.x(), event.locationInWindow().y - area.y()};
    }
    return h->startDrag(items, picture, hotSpot);
}

} // namespace platform
