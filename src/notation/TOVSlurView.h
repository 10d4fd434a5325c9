#pragma once

#include "glyphs/TOVRotatable4View.h"

// A slur over a tone's neighbours, stored as an articulation of the tone; it draws its own curve.
class TOVSlurView : public TOVRotatable4View {
public:
    using TOVRotatable4View::TOVRotatable4View;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
