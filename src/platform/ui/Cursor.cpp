#include "platform/ui/Cursor.h"

#include <QCursor>
#include <QPixmap>

#include <cmath>
#include <utility>

namespace platform {

Cursor Cursor::fromImageFile(std::string path, Point hotSpot) {
    Cursor c(Shape::Image);
    c.imagePath_ = std::move(path);
    c.hotSpot_ = hotSpot;
    return c;
}

QCursor Cursor::toQCursor() const {
    switch (shape_) {
    case Shape::ResizeLeftRight:
        return QCursor(Qt::SizeHorCursor);
    case Shape::ResizeUpDown:
        return QCursor(Qt::SizeVerCursor);
    case Shape::Image: {
        QPixmap pixmap(QString::fromStdString(imagePath_));
        if (pixmap.isNull()) {
            return QCursor(Qt::ArrowCursor);
        }
        return QCursor(pixmap, static_cast<int>(std::lround(hotSpot_.x)),
                       static_cast<int>(std::lround(hotSpot_.y)));
    }
    case Shape::Arrow:
        break;
    }
    return QCursor(Qt::ArrowCursor);
}

} // namespace platform
