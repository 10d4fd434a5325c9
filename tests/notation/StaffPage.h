#pragma once

#include "glyphs/FakeLayout.h"

#include "model/TOVStaffMetrics.h"
#include "platform/graphics/GraphicsContext.h"

namespace notationtest {

// White paper with one five-line staff per row, for the sheets that are looked at: the staff runs from
// staffLeft over staffWidth, rows stand rowHeight apart with their middle line at middle, and a barline
// closes each row when barlineX is given.
class StaffPage : public glyphtest::FakeEditorView {
public:
    using FakeEditorView::FakeEditorView;
    int rows = 0;
    double rowHeight = 100;
    double middle = 50;
    double staffLeft = 0;
    double staffWidth = 0;
    double barlineX = -1; // none when negative

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color::white());
        ctx.fillRect(dirty);
        ctx.setFillColor(platform::Color::black());
        for (int row = 0; row < rows; ++row) {
            const double y = row * rowHeight + middle;
            for (int line = -2; line <= 2; ++line) {
                ctx.fillRect(platform::Rect{staffLeft, y + line * TOVStaffSpace - 0.1, staffWidth, 0.2});
            }
            if (barlineX >= 0) {
                ctx.fillRect(platform::Rect{barlineX, y - 11.8, 0.6, 23.6});
            }
        }
    }
};

} // namespace notationtest
