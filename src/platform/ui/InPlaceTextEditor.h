#pragma once

#include "platform/foundation/AttributedString.h"
#include "platform/foundation/Geometry.h"
#include "platform/graphics/Font.h"

#include <QObject>
#include <QPointer>
#include <QTextEdit>

#include <functional>
#include <memory>

namespace platform {

class View;
class ViewHost;

// Editing a formatted text of the score in place: while it lasts, a Qt text widget lies over a rectangle of
// a view, shows the text at the view's scale and holds the keyboard focus. Every change of the text is
// reported, and the end of editing is reported once, when Return, Enter or Escape is pressed, the focus
// moves to another widget or view of the window, the view leaves its host, another text starts editing in
// the same host, or endEditing is called. Another window becoming active (the font panel) does not end
// editing: the text has the keyboard again when its window is active again. The owner of the editor may
// destroy it from within either report.
//
// The attributes of the text (fonts, colours, line styles) come back as they went in; typed text takes
// the attributes of the text before it. Runs without a font show in the editor's font.
class InPlaceTextEditor : public QObject {
    Q_OBJECT
public:
    // Starts editing over `rectInView` (the view's coordinates). Without a host the editor does not edit.
    InPlaceTextEditor(View& view, const Rect& rectInView, const AttributedString& text);
    ~InPlaceTextEditor() override;

    bool isEditing() const { return editing_; }
    // Whether the edited view is the given view or lies inside it.
    bool isEditingInside(const View* view) const;
    // Whether the edited view is the given view.
    bool isEditingView(const View* view) const;

    AttributedString attributedText() const;
    QString string() const;
    // Replaces the text; not reported as a change.
    void setAttributedText(const AttributedString& text);

    // Lays the widget over another rectangle of the view, as when the text grew.
    void setRectInView(const Rect& rectInView);
    // The font of runs that have none (the user font at 12 points unless set).
    void setFont(const Font& font);
    const Font& font() const { return font_; }
    // The widget, for the text and the cursor as the user sees them; null when there is none.
    QTextEdit* textWidget() const { return widget_.data(); }

    // Gives the selected text, or without a selection the text typed next, the font: it is kept in the
    // runs' attributes (their other attributes stay) and shown at the view's scale. A change of the
    // selected text is reported as a change.
    void applyFontToSelection(const Font& font);
    // The font at the start of the selection (the editor's font where the run has none).
    Font selectionFont() const;

    void setTextChangedHandler(std::function<void(const AttributedString&)> handler);
    void setEditingEndedHandler(std::function<void(const AttributedString&)> handler);

    void endEditing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ViewHost;
    void hostGone();
    void placeWidget();
    void fillWidget(const AttributedString& text);
    double viewScale() const;
    void textChangedInWidget();

    std::weak_ptr<View> view_;
    Rect rectInView_;
    Font font_;
    double shownScale_ = 1;
    QPointer<ViewHost> host_;
    QPointer<QTextEdit> widget_;
    bool editing_ = false;
    bool settingText_ = false;
    std::function<void(const AttributedString&)> changedHandler_;
    std::function<void(const AttributedString&)> endedHandler_;
};

} // namespace platform
