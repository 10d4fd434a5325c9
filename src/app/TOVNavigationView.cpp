#include "app/TOVNavigationView.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QColor white(double level, double alpha = 1.0) {
    return QColor::fromRgbF(static_cast<float>(level), static_cast<float>(level), static_cast<float>(level),
                            static_cast<float>(alpha));
}

QColor rgb(double r, double g, double b) {
    return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}

} // namespace

TOVNavigationView::TOVNavigationView(QWidget* parent) : QWidget(parent) {
    createShadows();
}

void TOVNavigationView::setPriority(int priority) {
    if (priority == priority_) {
        return;
    }
    priority_ = priority;
    createShadows();
    update();
}

void TOVNavigationView::createShadows() {
    ++built_;
    dropShadow_ = Shadow{white(0.863, 0.75), QPointF(0.0, -1.0), 1.0};
    innerShadow_ = Shadow{white(0.0, 0.52), QPointF(0.0, 0.0), 4.0};
    borderColor_ = white(0.569);
    switch (priority_) {
    case 1:
        backgroundGradient_ = Gradient{rgb(1.0, 1.0, 0.15), rgb(1.0, 0.88, 0.49)};
        break;
    case 2:
        backgroundGradient_ = Gradient{rgb(1.0, 0.7, 0.45), rgb(1.0, 0.5, 0.2)};
        break;
    default:
        backgroundGradient_ = Gradient{rgb(0.87, 0.96, 0.75), rgb(0.67, 0.86, 0.45)};
        break;
    }
}

void TOVNavigationView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // The box leaves the bottom point free for the outer shadow; y grows downward here, so the shadow's
    // offset (0, -1) of an upward-growing y falls one point below the box.
    const QRectF box(0.0, 0.0, width(), std::max(0.0, height() - 1.0));
    QPainterPath path;
    path.addRoundedRect(box, 3.5, 3.5);

    painter.save();
    painter.fillPath(path.translated(-dropShadow_.offset.x(), -dropShadow_.offset.y()), dropShadow_.color);

    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0.0, backgroundGradient_.startColor);
    gradient.setColorAt(1.0, backgroundGradient_.endColor);
    painter.fillPath(path, gradient);

    // A two-point line clipped to the box leaves a one-point border inside it.
    painter.setClipPath(path);
    painter.setPen(QPen(borderColor_, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);

    // The inner shadow falls from the top edge into the box and fades over its blur radius.
    const double blur = innerShadow_.blurRadius;
    QLinearGradient shade(QPointF(0.0, 0.0), QPointF(0.0, blur));
    QColor dark = innerShadow_.color;
    shade.setColorAt(0.0, dark);
    dark.setAlphaF(0.0);
    shade.setColorAt(1.0, dark);
    painter.fillRect(QRectF(box.left(), box.top(), box.width(), blur), shade);
    painter.restore();
}
