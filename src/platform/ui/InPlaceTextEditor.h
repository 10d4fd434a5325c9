#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/graphics/Font.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>

#include <QTextEdit>

namespace platform {

class View;
class ViewHost;

// Editing a text of the score in place: while it lasts, a Qt text widget lies over a rectangle of a view
// and holds the keyboard focus. Every change of the text is reported, and the end of editing is reported
// once, when Return, Enter or Escape is pressed, the focus moves elsewhere, the view leaves its host,
// another text starts editing in the same host, or endEditing is called. The owner of the editor may
// destroy it from within either report.
class InPlaceTextEditor : public QObject {
    Q_OBJECT
public:
    // Starts editing over `rectInView` (the view's coordinates) with the given text (UTF-8). Without a host
    // the editor does not edit.
    InPlaceTextEditor(View& view, const Rect& rectInView, const std::string& text);
    ~InPlaceTextEditor() override;

    bool isEditing() const { return editing_; }
    // Whether the edited view is the given view or lies inside it.
    bool isEditingInside(const View* view) const;
    std::string text() const;
    void setText(const std::string& text);
    // Lays the widget over another rectangle of the view, as when the text grew.
    void setRectInView(const Rect& rectInView);
    // The font of the text (the user font at 12 points unless set), shown at the view's scale.
    void setFont(const Font& font);
    const Font& font() const { return font_; }
    // The widget, for the text and the cursor as the user sees them; null when not editing.
    QTextEdit* textWidget() const { return widget_.data(); }

    void setTextChangedHandler(std::function<void(const std::string&)> handler);
    void setEditingEndedHandler(std::function<void(const std::string&)> handler);

    void endEditing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ViewHost;
    void hostGone();
    void placeWidget();
    void textChangedInWidget();

    std::weak_ptr<View> view_;
    Rect rectInView_;
    Font font_;
    QPointer<ViewHost> host_;
    QPointer<QTextEdit> widget_;
    bool editing_ = false;
    bool settingText_ = false;
    std::function<void(const std::string&)> changedHandler_;
    std::function<void(const std::string&)> endedHandler_;
};

} // namespace platform
