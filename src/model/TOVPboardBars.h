#pragma once

#include "model/BarSnapShot.h"
#include "platform/foundation/Coding.h"

#include <memory>
#include <vector>

// The copied bars put on the general pasteboard: the bars of single and upper lines, those of lower
// lines, each in bar order, and whether the copied range began in a lower line. Owns its two arrays.
class TOVPboardBars : public platform::Coding {
public:
    using Bars = std::vector<std::unique_ptr<BarSnapShot>>;

    std::string_view archiveClassName() const override { return "TOVPboardBars"; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

    const Bars& upperBars() const { return upperBars_; }
    void setUpperBars(Bars bars) { upperBars_ = std::move(bars); }
    const Bars& lowerBars() const { return lowerBars_; }
    void setLowerBars(Bars bars) { lowerBars_ = std::move(bars); }
    bool preferLower() const { return preferLower_; }
    void setPreferLower(bool value) { preferLower_ = value; }

private:
    Bars upperBars_;
    Bars lowerBars_;
    bool preferLower_ = false;
};
