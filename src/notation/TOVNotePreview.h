#pragma once

#include "glyphs/TOVObjectView.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The note head that follows the pointer while a rhythm value or a tone is dragged over a bar, with the
// ledger lines its pitch needs. The bar view sets its frame and level and then asks it to update; the
// head always has 1.0 free on either side.
class TOVNotePreview : public TOVObjectView {
public:
    // The distance from the preview's left edge to the head.
    static constexpr double kOffsetX = 1.0;

    using TOVObjectView::TOVObjectView;

    // The head of the SVG file, widened by kOffsetX on both sides (the outline moves right by kOffsetX)
    // unless the frame already has that width.
    static std::shared_ptr<TOVNotePreview> withFrameSVGFile(const platform::Rect& frame,
                                                            const std::string& svgFile);

    // Puts the head at the top of the frame (at its bottom for a negative level) and rebuilds the ledger
    // lines.
    void updateView() override;
    // Ledger lines for levels 6 and above or -6 and below, as 0.2-high bars across the frame.
    void createSupplementalLine();
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

    std::int64_t level() const { return level_; }
    void setLevel(std::int64_t level) { level_ = level; }
    const std::optional<platform::BezierPath>& bezierPathSupplementalLines() const {
        return bezierPathSupplementalLines_;
    }
    void setBezierPathSupplementalLines(std::optional<platform::BezierPath> path) {
        bezierPathSupplementalLines_ = std::move(path);
    }
    // A tick the bar view records with the preview; the preview does not use it.
    std::uint64_t x() const { return x_; }
    void setX(std::uint64_t x) { x_ = x; }
    double offsetX() const { return kOffsetX; }

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
    void copyFieldsInto(TOVObjectView& copy) const override;

private:
    std::int64_t level_ = 0;
    std::optional<platform::BezierPath> bezierPathSupplementalLines_;
    std::uint64_t x_ = 0;
};
