#pragma once

#include "glyphs/TOVSelectableView.h"
#include "model/TOVSymbolTypes.h"

#include <memory>
#include <string>

// The time signature a bar sets at its start: a selectable glyph that shows the bar's time type
// (TOVSymbolTime1_4 to TOVSymbolTimeCommon, TOVSymbolTimeCommon common time), not a symbol, standing on the
// bar's top staff line.
class TOVTimeView : public TOVSelectableView {
public:
    static constexpr int kCommonTime = TOVSymbolTimeCommon;

    using TOVSelectableView::TOVSelectableView;

    static std::shared_ptr<TOVTimeView> withFrameSVGFileTimeType(const platform::Rect& frame,
                                                                 const std::string& svgFile, int timeType);

    void setSymbol(Symbol*) override {}
    int symbolType() const override { return timeType_; }
    void adjustSelfOrigin() override;

    int timeType() const { return timeType_; }
    void setTimeType(int type) { timeType_ = type; }

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
    void copyFieldsInto(TOVObjectView& copy) const override;

private:
    int timeType_ = 0;
};
