#pragma once

#include <QColor>
#include <QPointF>
#include <QWidget>

// The background of the navigation panel: a rounded box filled with a gradient whose colours give the
// priority of the hint (0 and unknown values green, 1 yellow, 2 orange), a one-point border, a faint
// outer shadow and a shadow cast inward from the top edge. The drawing objects are rebuilt only when the
// priority changes.
class TOVNavigationView : public QWidget {
    Q_OBJECT
public:
    struct Shadow {
        QColor color;
        QPointF offset;
        double blurRadius = 0;
    };
    struct Gradient {
        QColor startColor; // at the top edge
        QColor endColor;   // at the bottom edge
    };

    explicit TOVNavigationView(QWidget* parent = nullptr);

    int priority() const { return priority_; }
    // A different value rebuilds the drawing objects and asks for a redraw; the same value does nothing.
    void setPriority(int priority);

    const Shadow& dropShadow() const { return dropShadow_; }
    const Shadow& innerShadow() const { return innerShadow_; }
    const Gradient& backgroundGradient() const { return backgroundGradient_; }
    const QColor& borderColor() const { return borderColor_; }
    // How many times the drawing objects were built.
    int drawingObjectsBuilt() const { return built_; }

    void createShadows();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int priority_ = 0;
    Shadow dropShadow_;
    Shadow innerShadow_;
    Gradient backgroundGradient_;
    QColor borderColor_;
    int built_ = 0;
};
