#pragma once

#include "glyphs/TOVResizableFixedView.h"
#include "model/TOVChordElems.h"

#include <cstdint>
#include <memory>

class Chord;

// One chord of a bar, drawn as its typeset outline; selected, moved and resized with a fixed ratio like
// any symbol. A double click, a right click or a Control-click asks the controller for the chord input
// window. The chord is also the view's symbol.
class TOVChordObjectView : public TOVResizableFixedView {
public:
    using TOVResizableFixedView::TOVResizableFixedView;

    // A view of the chord's outline, sized to it; the chord is not yet the view's symbol.
    static std::shared_ptr<TOVChordObjectView> withChord(Chord* chord);

    void mouseDown(const platform::Event& event) override;
    void rightMouseDown(const platform::Event& event) override;
    // Typesets the chord value with the document's font under the current notation profile; the natural
    // size (and the symbol's) becomes the outline's size, (0, 0) when nothing is set.
    void createPathDynamically() override;
    // Re-reads the chord value and typesets it again, then places the view from the chord's frame and
    // scale.
    void updateView() override;
    // How much lower than the chord base line the view stands, so that the root stands on that line.
    double offsetY() const;
    const TOVChordElems& elems() const { return chordElems_; }
    // Ticks from the start of the bar.
    std::uint64_t timing() const;

    Chord* chordData() const { return chordData_; }
    void setChordData(Chord* chord) { chordData_ = chord; }
    const TOVChordElems& chordElems() const { return chordElems_; }
    void setChordElems(const TOVChordElems& elems) { chordElems_ = elems; }

    // The chord's stored place and the view's place differ by the owner's chord raise: drawn higher, a
    // chord still stores (and saves) the place it was given.
    platform::Point convertPointFromViewOriginToDataOrigin(platform::Point point) const override;
    platform::Point convertPointFromDataOriginToViewOrigin(platform::Point point) const override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;

private:
    Chord* chordData_ = nullptr;
    TOVChordElems chordElems_;
};
