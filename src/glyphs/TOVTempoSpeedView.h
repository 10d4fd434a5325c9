#pragma once

#include "glyphs/TOVResizableFixedView.h"

#include <cstdint>
#include <limits>

// The metronome mark: the metronome glyph with the symbol's speed after it, built anew whenever the
// view is updated. A double click asks the editor for a new speed.
class TOVTempoSpeedView : public TOVResizableFixedView {
public:
    // The largest speed a mark shows; a larger one read from a file or a sheet shows as this.
    static constexpr std::uint64_t kMaximumSpeed = 999;

    explicit TOVTempoSpeedView(const platform::Rect& frame = platform::Rect());

    // The outline from the symbol's speed (at most 999) in the document's font; its size becomes the
    // natural size of the view and of the symbol. Nothing without a symbol.
    void createPathDynamically() override;
    void updateView() override;
    // Two clicks go to the delegate as a request for the tempo sheet; other clicks select and move.
    void mouseDown(const platform::Event& event) override;
    int editPropertiyType() const override { return 5; }

    std::uint64_t speed() const { return speed_; }
    void setSpeed(std::uint64_t speed) { speed_ = speed; }

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;

private:
    std::uint64_t speed_ = std::numeric_limits<std::uint64_t>::max();
};
