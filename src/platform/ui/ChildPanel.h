#pragma once

#include <QPointer>
#include <QWidget>

namespace platform {

// A small borderless window that sits below a widget of another window (a toolbar item) and follows it
// as that window moves or resizes; it shows and hides with that window and by default lets the mouse
// through, so it only shows things. It never takes the keyboard or becomes active (the window system
// treats it as it treats a tool tip).
class ChildPanel : public QWidget {
    Q_OBJECT
public:
    explicit ChildPanel(QWidget* content = nullptr);
    ~ChildPanel() override;

    QWidget* contentView() const { return content_; }
    void setContentView(QWidget* content);

    // Follows the widget: the panel's top left lies at the widget's bottom left plus the offset.
    void attachToWidget(QWidget* anchor, QPoint offset = QPoint());
    QWidget* anchor() const { return anchor_; }
    // Puts the panel in place at once (also done on every move and resize of the anchor's window).
    void followAnchor();

    bool ignoresMouseEvents() const;
    void setIgnoresMouseEvents(bool ignores);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget* widget, bool on);

    QPointer<QWidget> content_;
    QPointer<QWidget> anchor_;
    QPointer<QWidget> anchorWindow_;
    QPoint offset_;
    bool wanted_ = false;
};

} // namespace platform
