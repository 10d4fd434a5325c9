#pragma once

#include "platform/foundation/Geometry.h"

#include <QByteArray>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// What a drag destination answers while a drag hovers over it.
enum DragOperation : unsigned {
    DragOperationNone = 0,
    DragOperationCopy = 1,
};

// The drag in progress as a destination sees it: the pasteboard types in the order the source declared
// them, the bytes under each type (a type may be declared without bytes, as a marker) and the pointer in
// host ("window") coordinates.
class DraggingInfo {
public:
    DraggingInfo() = default;

    // Declares a type with its bytes. Declaring a type again replaces its bytes and keeps its place.
    void addType(std::string_view type, QByteArray data = QByteArray());

    const std::vector<std::string>& types() const { return types_; }
    bool hasType(std::string_view type) const;
    // The first of the given types that the drag carries, in the order given; empty when none.
    std::string availableTypeFromArray(const std::vector<std::string>& types) const;
    // The bytes under a type; empty when the type is absent or declared without bytes (hasType tells
    // the two apart).
    QByteArray dataForType(std::string_view type) const;

    Point draggingLocation() const { return location_; }
    void setDraggingLocation(Point location) { location_ = location; }

private:
    std::vector<std::string> types_;
    std::vector<QByteArray> data_;
    Point location_;
};

} // namespace platform
