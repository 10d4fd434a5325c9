#pragma once

#include "glyphs/TOVRotatable4View.h"

// The slur on a tone: a curved band like a tie's, kept 2.0 inside the view on the left, right and on the
// side it bends towards. It shows a `SymbolInNote` of type TOVSymbolSlur whose frame is kept relative to the
// tone, whose `flip` gives the direction (NO below its ends, YES above) and whose `angle` turns the view. A
// drag moves it, the handles stretch and turn it, and the result is stored relative to the tone.
class TOVSlurView : public TOVRotatable4View {
public:
    using TOVRotatable4View::TOVRotatable4View;

    // Between the editor view and the data coordinates of the tone cell; unchanged without one.
    platform::Point convertPointFromViewOriginToDataOrigin(platform::Point point) const override;
    platform::Point convertPointFromDataOriginToViewOrigin(platform::Point point) const override;

    // The band in the colour of the state, then the selection frame and handles.
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;
    // Places the view at the stored frame and turns it to the stored angle.
    void updateView() override;
    // Turns the stored direction over (a change of the model) and redraws.
    void doFlip();

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
