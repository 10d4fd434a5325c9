#pragma once

#include "model/TOVSnapshotObject.h"
#include "platform/foundation/Geometry.h"

// A copy of a symbol's own values: type, frame, flip, angle, scale and the natural size its view gave it.
// The owner (bar or document) and a drawing tool's followed bar are not part of it.
class SymbolSnapShot : public TOVSnapshotObject {
public:
    std::string_view archiveClassName() const override { return "SymbolSnapShot"; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    void takeSnapshotFrom(const TOVManagedObject* entity) override;

    bool flip() const { return flip_; }
    void setFlip(bool value) { flip_ = value; }
    int type() const { return type_; }
    void setType(int value) { type_ = value; }
    double angle() const { return angle_; }
    void setAngle(double value) { angle_ = value; }
    double scale() const { return scale_; }
    void setScale(double value) { scale_ = value; }
    platform::Size initialSize() const { return initialSize_; }
    void setInitialSize(platform::Size value) { initialSize_ = value; }
    platform::Rect frame() const { return frame_; }
    void setFrame(const platform::Rect& value) { frame_ = value; }

private:
    bool flip_ = false;
    int type_ = 0;
    double angle_ = 0;
    double scale_ = 0;
    platform::Size initialSize_;
    platform::Rect frame_;
};
