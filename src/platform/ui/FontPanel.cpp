#include "platform/ui/FontPanel.h"

#include "platform/ui/InPlaceTextEditor.h"

#include <QApplication>
#include <QFontDialog>
#include <QWindow>

namespace platform {

FontPanel& FontPanel::shared() {
    static FontPanel* panel = new FontPanel;
    return *panel;
}

FontPanel::FontPanel() : dialog_(new QFontDialog) {
    dialog_->setOption(QFontDialog::NoButtons);
    dialog_->setOption(QFontDialog::DontUseNativeDialog);
    dialog_->setWindowTitle(QStringLiteral("Fonts"));
    dialog_->setModal(false);
    // Like a utility panel it never takes the keyboard: the text being edited keeps it while the panel
    // comes to the front.
    dialog_->setAttribute(Qt::WA_ShowWithoutActivating);
    dialog_->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    dialog_->setWindowFlags(dialog_->windowFlags() | Qt::Tool);
    connect(dialog_, &QFontDialog::currentFontChanged, this, [this](const QFont& font) {
        if (!settingFont_) {
            fontChosen(font);
        }
    });
}

FontPanel::~FontPanel() {
    delete dialog_;
}

void FontPanel::orderFront() {
    // A tool window of the window whose text it serves: the window system keeps it above that window
    // (a document window raised by a click on its text would otherwise cover it).
    QWidget* owner = editor_ != nullptr && editor_->textWidget() != nullptr ? editor_->textWidget()->window()
                                                                            : QApplication::activeWindow();
    if (owner != nullptr && owner != dialog_) {
        dialog_->winId();
        owner->winId();
        if (dialog_->windowHandle() != nullptr) {
            dialog_->windowHandle()->setTransientParent(owner->windowHandle());
        }
    }
    dialog_->show();
    dialog_->raise();
}

void FontPanel::close() {
    dialog_->hide();
}

bool FontPanel::isVisible() const {
    return dialog_->isVisible();
}

void FontPanel::setEditor(InPlaceTextEditor* editor) {
    disconnect(editorGone_);
    editor_ = editor;
    if (editor != nullptr) {
        // However its editing ends (Return, a click elsewhere, its view or window going), the text's
        // editor goes with it, and the panel that served it closes.
        editorGone_ = connect(editor, &QObject::destroyed, this, [this] { close(); });
    }
    if (editor != nullptr && editor->isEditing()) {
        setPanelFont(editor->selectionFont());
    }
}

void FontPanel::setPanelFont(const Font& font) {
    settingFont_ = true;
    QFont shown(font.familyName());
    shown.setStyleName(font.styleName());
    shown.setPointSizeF(font.pointSize());
    dialog_->setCurrentFont(shown);
    settingFont_ = false;
}

Font FontPanel::panelFont() const {
    const QFont current = dialog_->currentFont();
    return fontFromQFont(current, current.pointSizeF());
}

Font FontPanel::fontFromQFont(const QFont& font, double pointSize) {
    // The full name ("DejaVu Sans Bold") finds the face; a regular style has no word of its own.
    const QString style = font.styleName();
    if (!style.isEmpty()) {
        if (std::optional<Font> face = Font::named(font.family() + u' ' + style, pointSize)) {
            return *face;
        }
    }
    return Font::namedOrUserFont(font.family(), pointSize);
}

void FontPanel::fontChosen(const QFont& font) {
    const Font chosen = fontFromQFont(font, font.pointSizeF() > 0 ? font.pointSizeF() : 12);
    if (editor_ != nullptr && editor_->isEditing()) {
        editor_->applyFontToSelection(chosen);
    } else if (changeHandler_) {
        changeHandler_(chosen);
    }
}

} // namespace platform
