#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/ui/ClickCounter.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/DraggingInfo.h"
#include "platform/ui/Event.h"

#include <QCursor>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMimeData;
class QPixmap;
class QScrollArea;

namespace platform {

class Image;
class InPlaceTextEditor;
class View;

// The Qt widget that shows one view tree (one per window area). Host coordinates are the widget's own; the
// root view's frame lies in them. By default the widget takes the size of the root view's frame (origin
// plus size), so that it can be the content of a QScrollArea; zoom is the root view's bounds scale, with the
// root's frame grown to match. With rootFollowsHostSize the root view's frame follows the widget instead.
//
// The host turns Qt's input into view events: mouse presses go to the view hit at the press until the
// release, with click counts counted here; key events go to the first responder; drags go to the
// frontmost view under the pointer that is registered for one of the dragged types.
class ViewHost : public QWidget {
    Q_OBJECT
public:
    explicit ViewHost(QWidget* parent = nullptr);
    ~ViewHost() override;

    void setRootView(std::shared_ptr<View> root);
    const std::shared_ptr<View>& rootView() const { return root_; }
    void setRootFollowsHostSize(bool follow);
    bool rootFollowsHostSize() const { return rootFollowsHost_; }
    // The scroll area that shows the host, if any.
    QScrollArea* enclosingScrollArea() const;
    // Called with the new size whenever the viewport of the enclosing scroll area changes size (the
    // window was resized, scroll bars came or went), so that the owner can fit the tree to it.
    void setViewportSizeChangedHandler(std::function<void(Size)> handler);

    // --- Keyboard ---
    View* firstResponder() const;
    // Asks the current first responder to resign and the new one to accept; false when either refuses.
    // A null view clears the first responder. On success the host takes the keyboard focus, and text
    // edited in place ends unless the new first responder is the edited view.
    bool makeFirstResponder(View* view);
    // Key events that no view handled (the root passed them on): the window's next responder.
    void setUnhandledKeyHandler(std::function<void(const Event&)> handler);

    // --- Mouse (host coordinates). The Qt mouse handlers come here too. ---
    // Delivers a mouse-down, dragged or up event as a press or release of the pointer would, so that the
    // view hit at the down gets every event until the up.
    void dispatchMouseEvent(const Event& event);
    // The view that gets the dragged and up events of the press in progress, or null.
    View* mouseTrackingView() const;

    // --- Drag destinations (location in the info, host coordinates). The Qt drag handlers come here. ---
    // The frontmost deepest view under the point registered for one of the types; hit testing plays no
    // part, and views registered for none of them do not hide the views below.
    View* dragDestinationAt(Point hostPoint, const std::vector<std::string>& types) const;
    // Entered and updated follow the pointer: a view the pointer reaches hears entered, then updated while
    // it stays, and exited when the pointer moves to another view or leaves the host.
    DragOperation dragEntered(const DraggingInfo& info);
    DragOperation dragUpdated(const DraggingInfo& info);
    void dragExited();
    // Drops on the view under the pointer. A view whose last answer was DragOperationNone hears exited
    // instead, and the drop fails. The view stays alive until its handler returns.
    bool performDrop(const DraggingInfo& info);
    View* currentDragDestination() const;

    // --- Drag sources ---
    // What carries a drag out: the MIME data of the dragged types (PasteboardMime.h), the drag image and
    // the point of the image under the pointer; it answers the operation the destination performed. The
    // real one runs Qt's drag loop; tests put in one that hands the data to a destination themselves.
    using DragStarter = std::function<DragOperation(QWidget& source, std::unique_ptr<QMimeData> data,
                                                    const QPixmap& image, QPoint hotSpot)>;
    // Replaces the drag starter of every drag source (hosts and grids of cells); an empty one brings back
    // Qt's drag loop.
    static void setDragStarter(DragStarter starter);
    // Starts a drag of the types with their bytes; types without bytes travel as one byte each, since an
    // empty format may not survive the drag. The press that started the drag is over when it returns.
    DragOperation startDrag(const DraggingInfo& items, const Image& image, Point hotSpot);
    // The same for a source widget that is not a host (a grid of cells); the hot spot is in the image.
    static DragOperation runDrag(QWidget& source, const DraggingInfo& items, const Image& image,
                                 Point hotSpot);

    // --- Cursor ---
    // The cursor areas' cursor at a host point after rebuilding stale areas; false when no area holds it.
    bool cursorAt(Point hostPoint, Cursor& cursor);

    // --- Drawing ---
    // The part of the host that waits to be drawn again.
    QRegion pendingDisplayRegion() const;
    bool isDrawing() const { return drawing_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class View;
    friend class InPlaceTextEditor;

    // Called by views.
    void rootFrameChanged();
    // `requester` is the view that asked to be drawn again, or null for a change of the tree's geometry.
    void invalidateHostRect(const Rect& rect, const View* requester = nullptr);
    void viewGeometryChanged();
    bool scrollHostRectToVisible(const Rect& rect);
    void keyEventPassedThroughTree(const Event& event);
    void cursorRectsInvalidated();
    void viewLeavesHost(View* view);

    // Called by the in-place editor.
    void setActiveTextEditor(InPlaceTextEditor* editor);
    void textEditorGone(InPlaceTextEditor* editor);

    void sizeToRoot();
    // Watches the viewport of the scroll area the host is now in.
    void watchViewport();
    void takeKeyboardFromTextEditor(const View* responder);
    void updateCursor(Point hostPoint);
    // Tells the views whose tracking areas the pointer left, reached or moves over.
    void updateHover(Point hostPoint, unsigned modifiers, double timestamp, bool buttonHeld);
    void exitAllTrackingAreas(Point hostPoint, double timestamp);
    QCursor qCursorFor(const Cursor& cursor);
    void rebuildStaleCursorRects();
    void flushDeferredDisplay();
    void dispatchKeyEvent(const Event& event);
    DragOperation moveDragTo(const DraggingInfo& info, bool entering);

    std::shared_ptr<View> root_;
    bool rootFollowsHost_ = false;
    bool sizingRoot_ = false;
    std::weak_ptr<View> firstResponder_;
    std::function<void(const Event&)> unhandledKeyHandler_;

    // The press in progress.
    std::weak_ptr<View> mouseTarget_;
    bool mouseTargetSet_ = false;
    bool rightButtonPress_ = false;
    int pressClickCount_ = 0;

    // Click counting: the previous press.
    ClickCounter clickCounter_;

    // The drag in progress.
    std::weak_ptr<View> dragTarget_;
    bool dragTargetSet_ = false;
    DragOperation dragOperation_ = DragOperationNone;
    DraggingInfo lastDragInfo_;

    // The tracking areas the pointer is in.
    struct TrackedArea {
        std::weak_ptr<View> view;
        Rect rect;
    };
    std::vector<TrackedArea> hoveredAreas_;

    bool cursorRectsStale_ = true;
    // The cursor set on the widget (none: the widget's default), and the image cursors read so far.
    std::optional<Cursor> shownCursor_;
    std::vector<std::pair<Cursor, QCursor>> imageCursors_;
    bool drawing_ = false;
    unsigned long long paintPass_ = 0;
    QRegion paintRegion_;
    bool flushScheduled_ = false;
    QRegion pendingRegion_;
    QRegion deferredRegion_;

    InPlaceTextEditor* textEditor_ = nullptr;

    std::function<void(Size)> viewportSizeChangedHandler_;
    QPointer<QWidget> watchedViewport_;
};

} // namespace platform
