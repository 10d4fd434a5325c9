#pragma once

#include "platform/graphics/Font.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QFontDialog;

namespace platform {

class InPlaceTextEditor;

// The application's one font chooser: a non-modal window without buttons. Each font chosen in it goes to
// the text edited in place that it is set to (the selection, or the text typed next), or else to the
// change handler of whoever shows it.
class FontPanel : public QObject {
    Q_OBJECT
public:
    static FontPanel& shared();
    ~FontPanel() override;

    QFontDialog* dialog() const { return dialog_; }
    // Shows the panel as a tool window of the window of the edited text (or the active window), kept
    // above that window by the window system; it never takes the keyboard from the text.
    void orderFront();
    void close();
    bool isVisible() const;

    // The edited text the panel applies to (not owned; forgotten when it goes or ends editing); the panel
    // then shows the font of its selection, and closes when that editor goes.
    void setEditor(InPlaceTextEditor* editor);
    InPlaceTextEditor* editor() const { return editor_; }
    // Called with each chosen font while no text is edited.
    void setChangeHandler(std::function<void(const Font&)> handler) { changeHandler_ = std::move(handler); }

    // Shows the font in the panel without applying it.
    void setPanelFont(const Font& font);
    // The font the panel shows.
    Font panelFont() const;

    // The face of a Qt font at a size in points.
    static Font fontFromQFont(const QFont& font, double pointSize);

private:
    FontPanel();
    void fontChosen(const QFont& font);

    QFontDialog* dialog_;
    QPointer<InPlaceTextEditor> editor_;
    QMetaObject::Connection editorGone_;
    std::function<void(const Font&)> changeHandler_;
    bool settingFont_ = false;
};

} // namespace platform
