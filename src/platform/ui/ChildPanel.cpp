#include "platform/ui/ChildPanel.h"

#include <QEvent>
#include <QVBoxLayout>

namespace platform {

ChildPanel::ChildPanel(QWidget* content)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setIgnoresMouseEvents(true);
    setContentView(content);
}

ChildPanel::~ChildPanel() {
    watch(anchor_, false);
    watch(anchorWindow_, false);
}

void ChildPanel::setContentView(QWidget* content) {
    if (content_ == content) {
        return;
    }
    delete content_.data();
    content_ = content;
    if (content_ != nullptr) {
        layout()->addWidget(content_);
        adjustSize();
    }
}

bool ChildPanel::ignoresMouseEvents() const {
    return testAttribute(Qt::WA_TransparentForMouseEvents);
}

void ChildPanel::setIgnoresMouseEvents(bool ignores) {
    setAttribute(Qt::WA_TransparentForMouseEvents, ignores);
    setWindowFlag(Qt::WindowTransparentForInput, ignores);
}

void ChildPanel::watch(QWidget* widget, bool on) {
    if (widget == nullptr) {
        return;
    }
    if (on) {
        widget->installEventFilter(this);
    } else {
        widget->removeEventFilter(this);
    }
}

void ChildPanel::attachToWidget(QWidget* anchor, QPoint offset) {
    watch(anchor_, false);
    watch(anchorWindow_, false);
    anchor_ = anchor;
    anchorWindow_ = anchor != nullptr ? anchor->window() : nullptr;
    offset_ = offset;
    watch(anchor_, true);
    watch(anchorWindow_, true);
    followAnchor();
}

void ChildPanel::followAnchor() {
    if (anchor_ == nullptr) {
        return;
    }
    move(anchor_->mapToGlobal(QPoint(0, anchor_->height())) + offset_);
}

bool ChildPanel::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::LayoutRequest:
        followAnchor();
        break;
    case QEvent::Hide:
        if (watched == anchorWindow_) {
            wanted_ = isVisible();
            hide();
        }
        break;
    case QEvent::Show:
        if (watched == anchorWindow_ && wanted_) {
            followAnchor();
            show();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace platform
