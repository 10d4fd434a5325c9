#pragma once

#include "glyphs/TOVSelectableView.h"

#include <memory>
#include <string>

// The key signature a bar sets at its start: a selectable glyph that shows the bar's key type
// (TOVSymbolKeySharp1 to TOVSymbolKeySharp7 one to seven sharps, TOVSymbolKeyFlat1 to TOVSymbolKeyFlat7 one
// to seven flats), not a symbol, and stands at the height of its kind against the bar's staff, one staff
// space lower under an F clef.
class TOVKeySignatureView : public TOVSelectableView {
public:
    using TOVSelectableView::TOVSelectableView;

    static std::shared_ptr<TOVKeySignatureView>
    withFrameSVGFileKeyType(const platform::Rect& frame, const std::string& svgFile, int keyType);

    void setSymbol(Symbol*) override {}
    int symbolType() const override { return keyType_; }
    void adjustSelfOrigin() override;

    int keyType() const { return keyType_; }
    void setKeyType(int type) { keyType_ = type; }

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
    void copyFieldsInto(TOVObjectView& copy) const override;

private:
    int keyType_ = 0;
};
