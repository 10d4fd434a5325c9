#pragma once

#include "notation/TOVNoteToneCell.h"

// The rest of a rest unit and its dots. It has no tone: the unit comes from its unit cell. Its offsetY is
// the distance from the top of its frame to the middle line, so that each rest glyph sits at its place on
// the staff.
class TOVNoteRestCell : public TOVNoteToneCell {
public:
    using TOVNoteToneCell::TOVNoteToneCell;

    void updateCell() override;
    void updateFrame() override;
    void drawWithNormalColor(const platform::Color& color, platform::GraphicsContext& ctx) override;
    TOVManagedObject* coreData() const override;

    // By the unit's duration: from the top of the rest glyph to the middle line.
    static double yOffsetForLength(std::uint64_t length);
    // By the notated length: how far the dots sit below the glyph's top.
    static double yOffsetOfCircleForLength(std::uint64_t length);
};
