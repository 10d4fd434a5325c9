#pragma once

#include "model/SymbolSnapShot.h"

#include <QString>

// A repeat or navigation sign's snapshot; it keeps its own copy of the identifier (null when none).
class SymbolRepeatSnapShot : public SymbolSnapShot {
public:
    std::string_view archiveClassName() const override { return "SymbolRepeatSnapShot"; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    void takeSnapshotFrom(const TOVManagedObject* entity) override;

    const QString& repeatIDString() const { return repeatIDString_; }
    void setRepeatIDString(const QString& value) { repeatIDString_ = value; }

private:
    QString repeatIDString_;
};
