#include "platform/ui/ViewHost.h"

#include "platform/graphics/Image.h"
#include "platform/graphics/QPainterGraphicsContext.h"
#include "platform/ui/InPlaceTextEditor.h"
#include "platform/ui/PasteboardMime.h"
#include "platform/ui/View.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPixmap>
#include <QResizeEvent>
#include <QScrollArea>
#include <QStyleHints>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

unsigned modifiersFromQt(Qt::KeyboardModifiers m) {
    unsigned flags = 0;
    if (m & Qt::ShiftModifier) {
        flags |= ModifierShift;
    }
    if (m & Qt::ControlModifier) {
        flags |= ModifierCommand;
    }
    if (m & Qt::MetaModifier) {
        flags |= ModifierControl;
    }
    return flags;
}

Point pointFromQt(const QPointF& p) {
    return Point{p.x(), p.y()};
}

std::shared_ptr<View> owningPointer(View* v) {
    return v != nullptr ? v->weak_from_this().lock() : nullptr;
}

bool findCursor(View& view, Point inSuperview, Cursor& cursor) {
    const Point p = view.convertPointFromView(inSuperview, view.superview());
    if (!view.bounds().containsPoint(p)) {
        return false;
    }
    const auto subs = view.subviews();
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        if (findCursor(**it, p, cursor)) {
            return true;
        }
    }
    const auto& rects = view.cursorRects();
    for (auto it = rects.rbegin(); it != rects.rend(); ++it) {
        if (it->rect.containsPoint(p)) {
            cursor = it->cursor;
            return true;
        }
    }
    return false;
}

View* findDragDestination(View& view, Point inSuperview, const std::vector<std::string>& types) {
    const Point p = view.convertPointFromView(inSuperview, view.superview());
    if (!view.bounds().containsPoint(p)) {
        return nullptr;
    }
    const auto subs = view.subviews();
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        if (View* found = findDragDestination(**it, p, types)) {
            return found;
        }
    }
    return view.isRegisteredForAnyType(types) ? &view : nullptr;
}

} // namespace

ViewHost::ViewHost(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
}

ViewHost::~ViewHost() {
    if (textEditor_ != nullptr) {
        textEditor_->hostGone();
    }
    if (root_) {
        root_->rootHost_ = nullptr;
    }
}

void ViewHost::setRootView(std::shared_ptr<View> root) {
    if (root == root_) {
        return;
    }
    if (root_) {
        viewLeavesHost(root_.get());
        root_->rootHost_ = nullptr;
    }
    mouseTarget_.reset();
    mouseTargetSet_ = false;
    dragTarget_.reset();
    dragTargetSet_ = false;
    root_ = std::move(root);
    if (root_) {
        if (root_->superview() != nullptr) {
            root_->removeFromSuperview();
        }
        if (root_->rootHost_ != nullptr) {
            root_->rootHost_->setRootView(nullptr);
        }
        root_->rootHost_ = this;
        root_->markCursorRectsInvalidInTree();
        cursorRectsStale_ = true;
    }
    sizeToRoot();
    pendingRegion_ = QRegion(rect());
    update();
}

void ViewHost::setRootFollowsHostSize(bool follow) {
    rootFollowsHost_ = follow;
    sizeToRoot();
}

QScrollArea* ViewHost::enclosingScrollArea() const {
    QWidget* viewport = parentWidget();
    if (viewport == nullptr) {
        return nullptr;
    }
    auto* area = qobject_cast<QScrollArea*>(viewport->parentWidget());
    return (area != nullptr && area->widget() == this) ? area : nullptr;
}

void ViewHost::setViewportSizeChangedHandler(std::function<void(Size)> handler) {
    viewportSizeChangedHandler_ = std::move(handler);
    watchViewport();
}

void ViewHost::watchViewport() {
    // The scroll area may not yet name the host as its widget while it moves the host in.
    QWidget* viewport = parentWidget();
    auto* area = viewport != nullptr ? qobject_cast<QScrollArea*>(viewport->parentWidget()) : nullptr;
    if (area == nullptr || area->viewport() != viewport) {
        viewport = nullptr;
    }
    if (viewport == watchedViewport_) {
        return;
    }
    if (watchedViewport_) {
        watchedViewport_->removeEventFilter(this);
    }
    watchedViewport_ = viewport;
    if (viewport != nullptr) {
        viewport->installEventFilter(this);
    }
}

bool ViewHost::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        watchViewport();
    }
    return QWidget::event(event);
}

bool ViewHost::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedViewport_.data() && event->type() == QEvent::Resize &&
        viewportSizeChangedHandler_) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        // A copy: the handler may replace itself.
        auto handler = viewportSizeChangedHandler_;
        handler(Size{static_cast<double>(size.width()), static_cast<double>(size.height())});
    }
    return QWidget::eventFilter(watched, event);
}

QSize ViewHost::sizeHint() const {
    if (!root_ || rootFollowsHost_) {
        return QWidget::sizeHint();
    }
    const Rect f = root_->convertRectToView(root_->bounds(), nullptr);
    // Clamped before the conversion: no widget is larger, and a double beyond int has no int value.
    const auto extent = [](double v) {
        return v > 0 ? static_cast<int>(std::ceil(std::min(v, static_cast<double>(QWIDGETSIZE_MAX)))) : 0;
    };
    return QSize(extent(f.maxX()), extent(f.maxY()));
}

void ViewHost::sizeToRoot() {
    if (!root_ || sizingRoot_) {
        return;
    }
    sizingRoot_ = true;
    if (rootFollowsHost_) {
        root_->setFrame(Rect(0, 0, width(), height()));
    } else {
        const QSize s = sizeHint();
        if (s != size()) {
            resize(s);
        }
        updateGeometry();
    }
    sizingRoot_ = false;
}

void ViewHost::rootFrameChanged() {
    sizeToRoot();
}

void ViewHost::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (rootFollowsHost_) {
        sizeToRoot();
    }
}

// --- Display ---

void ViewHost::invalidateHostRect(const Rect& rect, const View* requester) {
    if (rect.isEmpty() || !std::isfinite(rect.x()) || !std::isfinite(rect.y()) ||
        !std::isfinite(rect.width()) || !std::isfinite(rect.height())) {
        return;
    }
    // One pixel more on every side for antialiased edges.
    const QRect r =
        QRectF(rect.x(), rect.y(), rect.width(), rect.height()).toAlignedRect().adjusted(-1, -1, 1, 1);
    if (drawing_) {
        // A view that this paint has yet to draw is drawn by it wherever the paint reaches; only what lies
        // outside the paint's reach, or belongs to views already drawn, waits for another paint. A view
        // marking the views above it as it draws therefore never starts a paint of its own, and a request
        // reaching past the paint is not lost.
        if (requester != nullptr && requester->drawnInPass_ != paintPass_) {
            const Rect area = requester->areaInHost();
            const QRect areaRect = QRectF(area.x(), area.y(), area.width(), area.height()).toAlignedRect();
            if (paintRegion_.intersects(areaRect)) {
                deferredRegion_ += QRegion(r).subtracted(paintRegion_);
                return;
            }
        }
        deferredRegion_ += r;
        return;
    }
    pendingRegion_ += r;
    update(r);
}

QRegion ViewHost::pendingDisplayRegion() const {
    return pendingRegion_ + deferredRegion_;
}

void ViewHost::flushDeferredDisplay() {
    flushScheduled_ = false;
    if (deferredRegion_.isEmpty()) {
        return;
    }
    const QRegion region = deferredRegion_;
    deferredRegion_ = QRegion();
    pendingRegion_ += region;
    update(region);
}

bool ViewHost::scrollHostRectToVisible(const Rect& rect) {
    QScrollArea* area = enclosingScrollArea();
    if (area == nullptr) {
        return false;
    }
    const Rect r = rect.standardized();
    area->ensureVisible(static_cast<int>(std::lround(r.midX())), static_cast<int>(std::lround(r.midY())),
                        static_cast<int>(std::ceil(r.width() / 2)),
                        static_cast<int>(std::ceil(r.height() / 2)));
    return true;
}

// --- Tree notices ---

void ViewHost::viewLeavesHost(View* view) {
    if (auto responder = firstResponder_.lock(); responder && responder->isDescendantOf(view)) {
        firstResponder_.reset();
    }
    if (textEditor_ != nullptr && textEditor_->isEditingInside(view)) {
        textEditor_->endEditing();
    }
}

void ViewHost::viewGeometryChanged() {
    // The text being edited stays over its view when the view moves, grows or is zoomed.
    if (textEditor_ != nullptr && textEditor_->isEditing()) {
        textEditor_->placeWidget();
    }
}

void ViewHost::cursorRectsInvalidated() {
    cursorRectsStale_ = true;
}

// --- Keyboard ---

View* ViewHost::firstResponder() const {
    auto v = firstResponder_.lock();
    return (v && v->host() == this) ? v.get() : nullptr;
}

bool ViewHost::makeFirstResponder(View* view) {
    auto current = owningPointer(firstResponder());
    if (current.get() == view) {
        takeKeyboardFromTextEditor(view);
        return true;
    }
    if (current && !current->resignFirstResponder()) {
        return false;
    }
    firstResponder_.reset();
    auto next = owningPointer(view);
    if (!next || next->host() != this) {
        if (view == nullptr) {
            takeKeyboardFromTextEditor(nullptr);
        }
        return view == nullptr;
    }
    if (!next->becomeFirstResponder()) {
        return false;
    }
    firstResponder_ = next;
    takeKeyboardFromTextEditor(next.get());
    return true;
}

void ViewHost::takeKeyboardFromTextEditor(const View* responder) {
    // Keys go to the first responder: text edited in place elsewhere ends, and the host takes the focus.
    // The edited view itself leaves the keys to its text.
    if (textEditor_ != nullptr && textEditor_->isEditing()) {
        if (textEditor_->isEditingView(responder)) {
            return;
        }
        textEditor_->endEditing();
    }
    setFocus(Qt::OtherFocusReason);
}

void ViewHost::setUnhandledKeyHandler(std::function<void(const Event&)> handler) {
    unhandledKeyHandler_ = std::move(handler);
}

void ViewHost::keyEventPassedThroughTree(const Event& event) {
    if (unhandledKeyHandler_) {
        // A copy: the handler may replace itself.
        auto handler = unhandledKeyHandler_;
        handler(event);
    }
}

void ViewHost::dispatchKeyEvent(const Event& event) {
    auto target = owningPointer(firstResponder());
    if (!target) {
        keyEventPassedThroughTree(event);
        return;
    }
    if (event.type() == Event::Type::KeyDown) {
        target->keyDown(event);
    } else {
        target->keyUp(event);
    }
}

void ViewHost::keyPressEvent(QKeyEvent* event) {
    const Event e = Event::keyEvent(Event::Type::KeyDown, event->key(), event->text().toStdString(),
                                    modifiersFromQt(event->modifiers()), event->isAutoRepeat(),
                                    static_cast<double>(event->timestamp()) / 1000.0);
    dispatchKeyEvent(e);
    event->accept();
}

void ViewHost::keyReleaseEvent(QKeyEvent* event) {
    const Event e = Event::keyEvent(Event::Type::KeyUp, event->key(), event->text().toStdString(),
                                    modifiersFromQt(event->modifiers()), event->isAutoRepeat(),
                                    static_cast<double>(event->timestamp()) / 1000.0);
    dispatchKeyEvent(e);
    event->accept();
}

bool ViewHost::focusNextPrevChild(bool) {
    // Tab belongs to the views, not to focus chains.
    return false;
}

// --- Mouse ---

View* ViewHost::mouseTrackingView() const {
    if (!mouseTargetSet_) {
        return nullptr;
    }
    auto v = mouseTarget_.lock();
    return (v && v->host() == this) ? v.get() : nullptr;
}

void ViewHost::dispatchMouseEvent(const Event& event) {
    switch (event.type()) {
    case Event::Type::LeftMouseDown:
    case Event::Type::RightMouseDown: {
        if (mouseTargetSet_ || !root_) {
            return;
        }
        auto target = owningPointer(root_->hitTest(event.locationInWindow()));
        if (!target) {
            return;
        }
        if (isVisible() && !isActiveWindow()) {
            // The click that brings the window forward reaches only views that act on it at once.
            activateWindow();
            if (!target->acceptsFirstMouse(event)) {
                return;
            }
        }
        if (target->acceptsFirstResponder()) {
            makeFirstResponder(target.get());
        }
        mouseTarget_ = target;
        mouseTargetSet_ = true;
        rightButtonPress_ = event.type() == Event::Type::RightMouseDown;
        pressClickCount_ = event.clickCount();
        if (rightButtonPress_) {
            target->rightMouseDown(event);
        } else {
            target->mouseDown(event);
        }
        return;
    }
    case Event::Type::LeftMouseDragged:
    case Event::Type::RightMouseDragged: {
        auto target = owningPointer(mouseTrackingView());
        if (!target || rightButtonPress_ != (event.type() == Event::Type::RightMouseDragged)) {
            return;
        }
        if (rightButtonPress_) {
            target->rightMouseDragged(event);
        } else {
            target->mouseDragged(event);
        }
        return;
    }
    case Event::Type::LeftMouseUp:
    case Event::Type::RightMouseUp: {
        if (!mouseTargetSet_ || rightButtonPress_ != (event.type() == Event::Type::RightMouseUp)) {
            return;
        }
        auto target = owningPointer(mouseTrackingView());
        // The press is over before the handler runs, so that the handler may start anything new.
        mouseTarget_.reset();
        mouseTargetSet_ = false;
        if (!target) {
            return;
        }
        if (rightButtonPress_) {
            target->rightMouseUp(event);
        } else {
            target->mouseUp(event);
        }
        return;
    }
    case Event::Type::KeyDown:
    case Event::Type::KeyUp:
        dispatchKeyEvent(event);
        return;
    case Event::Type::MouseMoved:
    case Event::Type::MouseEntered:
    case Event::Type::MouseExited:
        return; // they follow the pointer, not a press
    }
}

void ViewHost::mousePressEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton) {
        event->ignore();
        return;
    }
    event->accept();
    if (mouseTargetSet_) {
        const Qt::MouseButton held = rightButtonPress_ ? Qt::RightButton : Qt::LeftButton;
        if (button != held && (event->buttons() & held)) {
            return; // another button during a press: the press in progress keeps the mouse
        }
        // The release of the press in progress never came (it went to another window).
        mouseTarget_.reset();
        mouseTargetSet_ = false;
    }
    const Point location = pointFromQt(event->position());
    const int count = clickCounter_.countPress(button, location, event->timestamp());
    const Event e = Event::mouseEvent(
        button == Qt::RightButton ? Event::Type::RightMouseDown : Event::Type::LeftMouseDown, location,
        modifiersFromQt(event->modifiers()), count, static_cast<double>(event->timestamp()) / 1000.0);
    dispatchMouseEvent(e);
}

void ViewHost::mouseMoveEvent(QMouseEvent* event) {
    const Point location = pointFromQt(event->position());
    event->accept();
    updateHover(location, modifiersFromQt(event->modifiers()),
                static_cast<double>(event->timestamp()) / 1000.0, mouseTargetSet_);
    if (!mouseTargetSet_) {
        updateCursor(location);
        return;
    }
    const Event e =
        Event::mouseEvent(rightButtonPress_ ? Event::Type::RightMouseDragged : Event::Type::LeftMouseDragged,
                          location, modifiersFromQt(event->modifiers()), pressClickCount_,
                          static_cast<double>(event->timestamp()) / 1000.0);
    dispatchMouseEvent(e);
}

void ViewHost::mouseReleaseEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    event->accept();
    if (!mouseTargetSet_ || (button == Qt::RightButton) != rightButtonPress_ ||
        (button != Qt::LeftButton && button != Qt::RightButton)) {
        return;
    }
    const Point location = pointFromQt(event->position());
    const Event e =
        Event::mouseEvent(rightButtonPress_ ? Event::Type::RightMouseUp : Event::Type::LeftMouseUp, location,
                          modifiersFromQt(event->modifiers()), pressClickCount_,
                          static_cast<double>(event->timestamp()) / 1000.0);
    dispatchMouseEvent(e);
    updateCursor(location);
}

void ViewHost::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt delivers the second press of a double click as this event instead of a press; clicks are
    // counted here, on every press, so it is the press it replaces.
    mousePressEvent(event);
}

// --- Hover ---

namespace {

void collectTrackingAreas(View& view, Point inSuperview,
                          std::vector<std::pair<std::shared_ptr<View>, Rect>>& found) {
    const Point p = view.convertPointFromView(inSuperview, view.superview());
    if (!view.bounds().containsPoint(p)) {
        return;
    }
    for (const Rect& r : view.trackingAreas()) {
        if (r.containsPoint(p)) {
            found.emplace_back(view.shared_from_this(), r);
        }
    }
    for (const auto& sub : view.subviews()) {
        collectTrackingAreas(*sub, p, found);
    }
}

} // namespace

void ViewHost::updateHover(Point hostPoint, unsigned modifiers, double timestamp, bool buttonHeld) {
    if (!isActiveWindow()) {
        exitAllTrackingAreas(hostPoint, timestamp);
        return;
    }
    std::vector<std::pair<std::shared_ptr<View>, Rect>> now;
    if (root_) {
        collectTrackingAreas(*root_, hostPoint, now);
    }
    // Left: exited, in the order they were entered.
    std::vector<TrackedArea> kept;
    std::vector<std::shared_ptr<View>> exited;
    for (const auto& area : hoveredAreas_) {
        auto v = area.view.lock();
        const bool still = v && std::any_of(now.begin(), now.end(), [&](const auto& a) {
                               return a.first == v && a.second == area.rect;
                           });
        if (still) {
            kept.push_back(area);
        } else if (v) {
            exited.push_back(v);
        }
    }
    std::vector<std::shared_ptr<View>> entered;
    for (const auto& hovered : now) {
        const auto& [v, rect] = hovered;
        const bool known = std::any_of(kept.begin(), kept.end(), [&hovered](const TrackedArea& a) {
            return a.view.lock() == hovered.first && a.rect == hovered.second;
        });
        if (!known) {
            kept.push_back(TrackedArea{v, rect});
            entered.push_back(v);
        }
    }
    hoveredAreas_ = std::move(kept);
    for (const auto& v : exited) {
        v->mouseExited(Event::mouseEvent(Event::Type::MouseExited, hostPoint, modifiers, 0, timestamp));
    }
    for (const auto& v : entered) {
        v->mouseEntered(Event::mouseEvent(Event::Type::MouseEntered, hostPoint, modifiers, 0, timestamp));
    }
    if (buttonHeld) {
        return;
    }
    // Moved: once for each view with an area under the pointer.
    std::vector<View*> told;
    for (const auto& [v, rect] : now) {
        if (std::find(told.begin(), told.end(), v.get()) == told.end()) {
            told.push_back(v.get());
            v->mouseMoved(Event::mouseEvent(Event::Type::MouseMoved, hostPoint, modifiers, 0, timestamp));
        }
    }
}

void ViewHost::exitAllTrackingAreas(Point hostPoint, double timestamp) {
    const std::vector<TrackedArea> left = std::move(hoveredAreas_);
    hoveredAreas_.clear();
    for (const auto& area : left) {
        if (auto v = area.view.lock()) {
            v->mouseExited(Event::mouseEvent(Event::Type::MouseExited, hostPoint, 0, 0, timestamp));
        }
    }
}

void ViewHost::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    exitAllTrackingAreas(pointFromQt(mapFromGlobal(QCursor::pos())), 0);
}

void ViewHost::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        exitAllTrackingAreas(pointFromQt(mapFromGlobal(QCursor::pos())), 0);
    }
}

// --- Cursor ---

void ViewHost::rebuildStaleCursorRects() {
    if (!cursorRectsStale_ || !root_) {
        return;
    }
    cursorRectsStale_ = false;
    std::vector<std::shared_ptr<View>> stack{root_};
    while (!stack.empty()) {
        auto v = std::move(stack.back());
        stack.pop_back();
        if (v->host() != this) {
            continue;
        }
        if (!v->cursorRectsValid_) {
            v->cursorRectsValid_ = true;
            v->discardCursorRects();
            v->resetCursorRects();
        }
        const auto& subs = v->subviews();
        stack.insert(stack.end(), subs.begin(), subs.end());
    }
}

bool ViewHost::cursorAt(Point hostPoint, Cursor& cursor) {
    rebuildStaleCursorRects();
    if (!root_) {
        return false;
    }
    return findCursor(*root_, hostPoint, cursor);
}

void ViewHost::updateCursor(Point hostPoint) {
    Cursor cursor;
    std::optional<Cursor> wanted;
    if (cursorAt(hostPoint, cursor)) {
        wanted = cursor;
    }
    // Set only when it changes: every move of the pointer comes here.
    if (wanted == shownCursor_) {
        return;
    }
    shownCursor_ = wanted;
    if (wanted) {
        setCursor(qCursorFor(*wanted));
    } else {
        unsetCursor();
    }
}

QCursor ViewHost::qCursorFor(const Cursor& cursor) {
    if (cursor.shape() != Cursor::Shape::Image) {
        return cursor.toQCursor();
    }
    // Image cursors are read from their files once.
    for (const auto& [known, qcursor] : imageCursors_) {
        if (known == cursor) {
            return qcursor;
        }
    }
    imageCursors_.emplace_back(cursor, cursor.toQCursor());
    return imageCursors_.back().second;
}

// --- Drag destinations ---

View* ViewHost::dragDestinationAt(Point hostPoint, const std::vector<std::string>& types) const {
    if (!root_ || types.empty()) {
        return nullptr;
    }
    return findDragDestination(*root_, hostPoint, types);
}

View* ViewHost::currentDragDestination() const {
    if (!dragTargetSet_) {
        return nullptr;
    }
    auto v = dragTarget_.lock();
    return (v && v->host() == this) ? v.get() : nullptr;
}

DragOperation ViewHost::moveDragTo(const DraggingInfo& info, bool entering) {
    lastDragInfo_ = info;
    auto next = owningPointer(dragDestinationAt(info.draggingLocation(), info.types()));
    auto current = owningPointer(currentDragDestination());
    if (next == current && current && !entering) {
        dragOperation_ = current->draggingUpdated(info);
        return dragOperation_;
    }
    if (current) {
        dragTarget_.reset();
        dragTargetSet_ = false;
        current->draggingExited(info);
    }
    dragTarget_ = next;
    dragTargetSet_ = static_cast<bool>(next);
    dragOperation_ = next ? next->draggingEntered(info) : DragOperationNone;
    return dragOperation_;
}

DragOperation ViewHost::dragEntered(const DraggingInfo& info) {
    return moveDragTo(info, true);
}

DragOperation ViewHost::dragUpdated(const DraggingInfo& info) {
    return moveDragTo(info, false);
}

void ViewHost::dragExited() {
    auto current = owningPointer(currentDragDestination());
    dragTarget_.reset();
    dragTargetSet_ = false;
    dragOperation_ = DragOperationNone;
    if (current) {
        current->draggingExited(lastDragInfo_);
    }
}

bool ViewHost::performDrop(const DraggingInfo& info) {
    auto target = owningPointer(dragDestinationAt(info.draggingLocation(), info.types()));
    if (target.get() != currentDragDestination()) {
        moveDragTo(info, false);
        target = owningPointer(currentDragDestination());
    }
    const DragOperation operation = dragOperation_;
    dragTarget_.reset();
    dragTargetSet_ = false;
    dragOperation_ = DragOperationNone;
    if (!target) {
        return false;
    }
    // The target is held until its handler returns, even when the handler takes it out of the tree.
    if (operation == DragOperationNone) {
        target->draggingExited(info);
        return false;
    }
    return target->performDragOperation(info);
}

void ViewHost::dragEnterEvent(QDragEnterEvent* event) {
    const DraggingInfo info = draggingInfoFromMimeData(*event->mimeData(), pointFromQt(event->position()));
    if (info.types().empty()) {
        event->ignore();
        return;
    }
    // Accepted so that the moves come here; whether a drop is possible is said by each move.
    const DragOperation op = dragEntered(info);
    event->setDropAction(op != DragOperationNone ? Qt::CopyAction : Qt::IgnoreAction);
    event->accept();
}

void ViewHost::dragMoveEvent(QDragMoveEvent* event) {
    const DraggingInfo info = draggingInfoFromMimeData(*event->mimeData(), pointFromQt(event->position()));
    if (dragUpdated(info) != DragOperationNone) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ViewHost::dragLeaveEvent(QDragLeaveEvent* event) {
    dragExited();
    event->accept();
}

void ViewHost::dropEvent(QDropEvent* event) {
    const DraggingInfo info = draggingInfoFromMimeData(*event->mimeData(), pointFromQt(event->position()));
    if (performDrop(info)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

// --- Drag sources ---

namespace {

ViewHost::DragStarter& dragStarter() {
    static ViewHost::DragStarter starter;
    return starter;
}

DragOperation runQtDrag(QWidget& source, std::unique_ptr<QMimeData> data, const QPixmap& image,
                        QPoint hotSpot) {
    auto* drag = new QDrag(&source);
    drag->setMimeData(data.release());
    if (!image.isNull()) {
        drag->setPixmap(image);
        drag->setHotSpot(hotSpot);
    }
    const Qt::DropAction action = drag->exec(Qt::CopyAction);
    return action == Qt::CopyAction ? DragOperationCopy : DragOperationNone;
}

} // namespace

void ViewHost::setDragStarter(DragStarter starter) {
    dragStarter() = std::move(starter);
}

DragOperation ViewHost::startDrag(const DraggingInfo& items, const Image& image, Point hotSpot) {
    const DragOperation result = runDrag(*this, items, image, hotSpot);
    // Qt's drag loop takes the release of the press that started the drag, and the views never hear it:
    // that press is over, or every later move would reach the source as a drag of the button.
    mouseTarget_.reset();
    mouseTargetSet_ = false;
    return result;
}

DragOperation ViewHost::runDrag(QWidget& source, const DraggingInfo& items, const Image& image,
                                Point hotSpot) {
    auto mime = std::make_unique<QMimeData>();
    for (const auto& type : items.types()) {
        const QByteArray data = items.dataForType(type);
        writePasteboardType(*mime, type, data.isEmpty() ? QByteArray(1, '\0') : data);
    }
    const QPixmap pixmap = image.isNull() ? QPixmap() : QPixmap::fromImage(image.qImage());
    const QPoint spot(static_cast<int>(std::lround(hotSpot.x)), static_cast<int>(std::lround(hotSpot.y)));
    // A copy: the starter may replace itself.
    const DragStarter starter = dragStarter() ? dragStarter() : DragStarter(runQtDrag);
    return starter(source, std::move(mime), pixmap, spot);
}

// --- Text editing ---

void ViewHost::setActiveTextEditor(InPlaceTextEditor* editor) {
    if (textEditor_ != nullptr && textEditor_ != editor) {
        textEditor_->endEditing();
    }
    textEditor_ = editor;
}

void ViewHost::textEditorGone(InPlaceTextEditor* editor) {
    if (textEditor_ == editor) {
        textEditor_ = nullptr;
    }
}

// --- Painting ---

void ViewHost::paintEvent(QPaintEvent* event) {
    drawing_ = true;
    ++paintPass_;
    paintRegion_ = event->region();
    pendingRegion_ = (pendingRegion_ - paintRegion_) & rect();
    if (auto root = root_) {
        QPainter painter(this);
        QPainterGraphicsContext ctx(painter, true);
        ctx.concatTransform(root->transformToSuperview());
        // Rectangle by rectangle: two small areas far apart do not draw everything between them.
        for (const QRect& r : paintRegion_) {
            root->drawTree(root->convertRectFromView(Rect(r.x(), r.y(), r.width(), r.height()), nullptr),
                           ctx);
        }
    }
    paintRegion_ = QRegion();
    drawing_ = false;
    if (!deferredRegion_.isEmpty() && !flushScheduled_) {
        flushScheduled_ = true;
        QMetaObject::invokeMethod(
            this, [this] { flushDeferredDisplay(); }, Qt::QueuedConnection);
    }
}

} // namespace platform
