#include "platform/ui/InPlaceTextEditor.h"

#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {

namespace {

// The attributes of a run ride along in its character format, so that they come back exactly, whatever
// font stood in for them on screen.
enum AttributeProperty {
    HasFont = QTextFormat::UserProperty + 1,
    FontName,
    FontSize,
    HasColor,
    ColorR,
    ColorG,
    ColorB,
    ColorA,
    Underline,
    Strikethrough,
};

QTextCharFormat formatFor(const TextAttributes& attributes, const Font& defaultFont, double scale, int dpi) {
    QTextCharFormat format;
    const Font font = attributes.font
                          ? Font::namedOrUserFont(attributes.font->postScriptName, attributes.font->pointSize)
                          : defaultFont;
    QFont qfont = font.qFontForDevice(dpi);
    if (scale > 0 && qfont.pointSizeF() > 0) {
        qfont.setPointSizeF(qfont.pointSizeF() * scale);
    }
    qfont.setUnderline(attributes.underlineStyle != TextLineStyleNone);
    qfont.setStrikeOut(attributes.strikethroughStyle != TextLineStyleNone);
    format.setFont(qfont);
    const Color c = attributes.foregroundColor.value_or(Color{0, 0, 0, 1});
    format.setForeground(QColor::fromRgbF(static_cast<float>(c.r), static_cast<float>(c.g),
                                          static_cast<float>(c.b), static_cast<float>(c.a)));

    format.setProperty(HasFont, attributes.font.has_value());
    if (attributes.font) {
        format.setProperty(FontName, attributes.font->postScriptName);
        format.setProperty(FontSize, attributes.font->pointSize);
    }
    format.setProperty(HasColor, attributes.foregroundColor.has_value());
    if (attributes.foregroundColor) {
        format.setProperty(ColorR, c.r);
        format.setProperty(ColorG, c.g);
        format.setProperty(ColorB, c.b);
        format.setProperty(ColorA, c.a);
    }
    format.setProperty(Underline, static_cast<qlonglong>(attributes.underlineStyle));
    format.setProperty(Strikethrough, static_cast<qlonglong>(attributes.strikethroughStyle));
    return format;
}

TextAttributes attributesOf(const QTextCharFormat& format) {
    TextAttributes a;
    if (format.boolProperty(HasFont)) {
        a.font = TextFont{format.stringProperty(FontName), format.doubleProperty(FontSize)};
    }
    if (format.boolProperty(HasColor)) {
        a.foregroundColor = Color{format.doubleProperty(ColorR), format.doubleProperty(ColorG),
                                  format.doubleProperty(ColorB), format.doubleProperty(ColorA)};
    }
    a.underlineStyle = format.property(Underline).toLongLong();
    a.strikethroughStyle = format.property(Strikethrough).toLongLong();
    return a;
}

} // namespace

InPlaceTextEditor::InPlaceTextEditor(View& view, const Rect& rectInView, const AttributedString& text)
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
    // Clear, so that the view's own editing frame and the page show through around the text.
    widget->viewport()->setAutoFillBackground(false);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    widget->setPalette(palette);
    shownScale_ = viewScale();
    fillWidget(text);
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

bool InPlaceTextEditor::isEditingView(const View* view) const {
    auto v = view_.lock();
    return editing_ && v && v.get() == view;
}

double InPlaceTextEditor::viewScale() const {
    auto v = view_.lock();
    return v ? v->convertSizeToView(Size{1, 1}, nullptr).height : 1.0;
}

void InPlaceTextEditor::fillWidget(const AttributedString& text) {
    if (!widget_) {
        return;
    }
    settingText_ = true;
    const int dpi = widget_->logicalDpiY();
    QTextDocument* document = widget_->document();
    document->clear();
    document->setDefaultFont(formatFor(TextAttributes{}, font_, shownScale_, dpi).font());
    QTextCursor cursor(document);
    cursor.setCharFormat(formatFor(TextAttributes{}, font_, shownScale_, dpi));
    for (const auto& run : text.runs()) {
        const QTextCharFormat format = formatFor(run.attributes, font_, shownScale_, dpi);
        const QStringList lines = text.string().mid(run.location, run.length).split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                cursor.insertBlock(QTextBlockFormat(), format);
            }
            cursor.insertText(lines[i], format);
        }
    }
    widget_->setCurrentCharFormat(cursor.charFormat());
    settingText_ = false;
}

AttributedString InPlaceTextEditor::attributedText() const {
    if (!widget_) {
        return AttributedString();
    }
    AttributedString::Builder builder;
    const QTextDocument* document = widget_->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin()) {
            // A line break carries the attributes it came with (the new block's format).
            builder.append(QStringLiteral("\n"), attributesOf(block.charFormat()));
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid()) {
                builder.append(fragment.text(), attributesOf(fragment.charFormat()));
            }
        }
    }
    return builder.build();
}

QString InPlaceTextEditor::string() const {
    return widget_ ? widget_->toPlainText() : QString();
}

void InPlaceTextEditor::setAttributedText(const AttributedString& text) {
    fillWidget(text);
}

void InPlaceTextEditor::applyFontToSelection(const Font& font) {
    if (!widget_) {
        return;
    }
    const int dpi = widget_->logicalDpiY();
    const TextFont runFont{font.fontName(), font.pointSize()};
    const auto withFont = [&](const QTextCharFormat& format) {
        TextAttributes attributes = attributesOf(format);
        attributes.font = runFont;
        return formatFor(attributes, font_, shownScale_, dpi);
    };
    QTextCursor selection = widget_->textCursor();
    if (!selection.hasSelection()) {
        widget_->setCurrentCharFormat(withFont(widget_->currentCharFormat()));
        return;
    }
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    // Fragment by fragment, so that each keeps its colour and line styles.
    std::vector<std::pair<std::pair<int, int>, QTextCharFormat>> pieces;
    for (QTextBlock block = widget_->document()->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (fragment.isValid() && from < to) {
                pieces.push_back({{from, to}, withFont(fragment.charFormat())});
            }
        }
    }
    QTextCursor cursor(widget_->document());
    cursor.beginEditBlock();
    for (const auto& piece : pieces) {
        cursor.setPosition(piece.first.first);
        cursor.setPosition(piece.first.second, QTextCursor::KeepAnchor);
        cursor.setCharFormat(piece.second);
    }
    cursor.endEditBlock();
}

Font InPlaceTextEditor::selectionFont() const {
    if (!widget_) {
        return font_;
    }
    // A cursor's format is that of the character before it: the first selected one, when there is a
    // selection.
    QTextCursor cursor = widget_->textCursor();
    if (cursor.hasSelection()) {
        cursor.setPosition(cursor.selectionStart() + 1);
    }
    const TextAttributes attributes = attributesOf(cursor.charFormat());
    return attributes.font
               ? Font::namedOrUserFont(attributes.font->postScriptName, attributes.font->pointSize)
               : font_;
}

void InPlaceTextEditor::setRectInView(const Rect& rectInView) {
    rectInView_ = rectInView;
    placeWidget();
}

void InPlaceTextEditor::setFont(const Font& font) {
    font_ = font;
    fillWidget(attributedText());
}

void InPlaceTextEditor::placeWidget() {
    auto v = view_.lock();
    if (!widget_ || !v) {
        return;
    }
    const Rect r = v->convertRectToView(rectInView_, nullptr);
    widget_->setGeometry(QRectF(r.x(), r.y(), r.width(), r.height()).toAlignedRect());
    const double scale = viewScale();
    if (scale != shownScale_) {
        shownScale_ = scale;
        fillWidget(attributedText());
    }
}

void InPlaceTextEditor::setTextChangedHandler(std::function<void(const AttributedString&)> handler) {
    changedHandler_ = std::move(handler);
}

void InPlaceTextEditor::setEditingEndedHandler(std::function<void(const AttributedString&)> handler) {
    endedHandler_ = std::move(handler);
}

void InPlaceTextEditor::textChangedInWidget() {
    if (!editing_ || settingText_ || !changedHandler_) {
        return;
    }
    auto handler = changedHandler_;
    handler(attributedText());
}

void InPlaceTextEditor::endEditing() {
    if (!editing_) {
        return;
    }
    editing_ = false;
    const AttributedString finalText = attributedText();
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
        // Another window becoming active (the font panel, another program) only lends the keyboard:
        // the text gets it back when its window is active again, and the panel applies to it meanwhile.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason) {
            endEditing();
        }
        return false;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace platform
