#pragma once

#include "model/SymbolSnapShot.h"

// A drawing tool's snapshot: the symbol's values and its frame relative to the bar it follows.
class SymbolToolsSnapShot : public SymbolSnapShot {
public:
    std::string_view archiveClassName() const override { return "SymbolToolsSnapShot"; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    void takeSnapshotFrom(const TOVManagedObject* entity) override;

    platform::Rect frameRelativeToBarRect() const { return frameRelativeToBarRect_; }
    void setFrameRelativeToBarRect(const platform::Rect& value) { frameRelativeToBarRect_ = value; }

private:
    platform::Rect frameRelativeToBarRect_;
};
