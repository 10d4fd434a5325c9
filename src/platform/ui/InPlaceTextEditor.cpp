#include "platform/ui/InPlaceTextEditor.h"

#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QEvent>
#include <QKeyEvent>
#include <QTextEdit>

#include <cmath>

namespace platform {

InPlaceTextEditor::InPlaceTextEditor(View& view, const Rect& rectInView, const std::string& text)
    : view_(view.weak_from_this()), rectInView_(rectInView) {
    ViewHost* host = view.host();
    if (host == nullptr) {
        return;
    }
    host_ = host;
    auto* widget = new QTextEdit(host);
    widget_ = widget;
    widget->setAcceptRichText(false);
    widget->setFrameStyle(0);
    widget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    widget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    widget->setLineWrapMode(QTextEdit::NoWrap);
    widget->document()->setDocumentMargin(0);
    widget->setPlainText(QString::fromStdString(text));
    widget->installEventFilter(this);
    connect(widget, &QTextEdit::textChanged, this, &InPlaceTextEditor::textChangedInWidget);
    editing_ = true;
    host->setActiveTextEditor(this);
    placeWidget();
    widget->show();
    widget->setFocus(Qt::OtherFocusReason);
    widget->moveCursor(QTextCursor::End);
}

InPlaceTextEditor::~InPlaceTextEditor() {
    if (host_) {
        host_->textEditorGone(this);
    }
    if (widget_) {
        widget_->removeEventFilter(this);
        // Later: the editor may go from within one of the widget's own event handlers.
        widget_->hide();
        widget_->deleteLater();
    }
}

bool InPlaceTextEditor::isEditingInside(const View* view) const {
    auto v = view_.lock();
    return editing_ && v && v->isDescendantOf(view);
}

std::string InPlaceTextEditor::text() const {
    return widget_ ? widget_->toPlainText().toStdString() : std::string();
}

void InPlaceTextEditor::setText(const std::string& text) {
    if (!widget_) {
        return;
    }
    settingText_ = true;
    widget_->setPlainText(QString::fromStdString(text));
    settingText_ = false;
}

void InPlaceTextEditor::setRectInView(const Rect& rectInView) {
    rectInView_ = rectInView;
    placeWidget();
}

void InPlaceTextEditor::placeWidget() {
    auto v = view_.lock();
    if (!widget_ || !v) {
        return;
    }
    const Rect r = v->convertRectToView(rectInView_, nullptr);
    widget_->setGeometry(QRectF(r.x(), r.y(), r.width(), r.height()).toAlignedRect());
    // The text appears at the size the view shows it: one point of the font is one unit of the view.
    const Size scale = v->convertSizeToView(Size{1, 1}, nullptr);
    QFont qfont = font_.qFontForDevice(widget_->logicalDpiY());
    if (scale.height > 0 && qfont.pointSizeF() > 0) {
        qfont.setPointSizeF(qfont.pointSizeF() * scale.height);
    }
    widget_->setFont(qfont);
}

void InPlaceTextEditor::setFont(const Font& font) {
    font_ = font;
    placeWidget();
}

void InPlaceTextEditor::setTextChangedHandler(std::function<void(const std::string&)> handler) {
    changedHandler_ = std::move(handler);
}

void InPlaceTextEditor::setEditingEndedHandler(std::function<void(const std::string&)> handler) {
    endedHandler_ = std::move(handler);
}

void InPlaceTextEditor::textChangedInWidget() {
    if (!editing_ || settingText_ || !changedHandler_) {
        return;
    }
    auto handler = changedHandler_;
    handler(text());
}

void InPlaceTextEditor::endEditing() {
    if (!editing_) {
        return;
    }
    editing_ = false;
    const std::string finalText = text();
    if (widget_) {
        widget_->removeEventFilter(this);
        widget_->hide();
    }
    if (host_) {
        host_->textEditorGone(this);
        if (host_->isVisible()) {
            host_->setFocus(Qt::OtherFocusReason);
        }
    }
    if (endedHandler_) {
        // Last: the handler may destroy this editor.
        auto handler = std::move(endedHandler_);
        handler(finalText);
    }
}

void InPlaceTextEditor::hostGone() {
    // The host deletes the widget with itself.
    host_ = nullptr;
    widget_ = nullptr;
    editing_ = false;
}

bool InPlaceTextEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched != widget_.data() || !editing_) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape) {
            endEditing();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        endEditing();
        return false;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace platform
