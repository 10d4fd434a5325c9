#pragma once

#include "platform/data/Pasteboard.h"

#include <utility>

namespace platform {

// A pasteboard held in memory: for tests, and for drags that never leave the program.
class MemoryPasteboard : public Pasteboard {
public:
    void clearContents() override;
    bool addTypes(const std::vector<std::string>& types) override;
    bool setDataForType(const Bytes& data, std::string_view type) override;
    std::vector<std::string> types() const override;
    std::optional<Bytes> dataForType(std::string_view type) const override;

private:
    std::vector<std::pair<std::string, Bytes>>::iterator declare(std::string_view type);

    std::vector<std::pair<std::string, Bytes>> entries_; // in order of declaration; empty bytes: no data
};

} // namespace platform
