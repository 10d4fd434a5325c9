#include "platform/ui/DraggingInfo.h"

#include <algorithm>

namespace platform {

void DraggingInfo::addType(std::string_view type, QByteArray data) {
    auto it = std::find(types_.begin(), types_.end(), type);
    if (it != types_.end()) {
        data_[static_cast<size_t>(it - types_.begin())] = std::move(data);
        return;
    }
    types_.emplace_back(type);
    data_.push_back(std::move(data));
}

bool DraggingInfo::hasType(std::string_view type) const {
    return std::find(types_.begin(), types_.end(), type) != types_.end();
}

std::string DraggingInfo::availableTypeFromArray(const std::vector<std::string>& types) const {
    for (const auto& t : types) {
        if (hasType(t)) {
            return t;
        }
    }
    return {};
}

QByteArray DraggingInfo::dataForType(std::string_view type) const {
    auto it = std::find(types_.begin(), types_.end(), type);
    if (it == types_.end()) {
        return QByteArray();
    }
    return data_[static_cast<size_t>(it - types_.begin())];
}

} // namespace platform
