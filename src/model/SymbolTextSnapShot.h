#pragma once

#include "model/SymbolToolsSnapShot.h"
#include "platform/foundation/AttributedString.h"

#include <optional>

// A text symbol's snapshot; it keeps its own copy of the formatted text.
class SymbolTextSnapShot : public SymbolToolsSnapShot {
public:
    std::string_view archiveClassName() const override { return "SymbolTextSnapShot"; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    void takeSnapshotFrom(const TOVManagedObject* entity) override;

    const std::optional<platform::AttributedString>& text() const { return text_; }
    void setText(std::optional<platform::AttributedString> value) { text_ = std::move(value); }

private:
    std::optional<platform::AttributedString> text_;
};
