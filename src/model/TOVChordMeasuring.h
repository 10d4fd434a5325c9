#pragma once

#include "model/TOVChordElems.h"
#include "model/TOVChordNotationProfile.h"
#include "platform/foundation/Geometry.h"

#include <optional>
#include <string>

// What the model and the document readers need of the chord glyph factory: the size of a typeset chord
// and the notation profile it is set with. The glyph layer implements it; the model reaches it through
// TOVUtils::chordViewFactory() so that it links no glyph code.
class TOVChordMeasuring {
public:
    virtual ~TOVChordMeasuring() = default;

    // The size of the bounds of the chord typeset in the given font under the current profile; none when
    // nothing is set (the empty chord, or no glyph for any of its elements).
    virtual std::optional<platform::Size> boundsSizeOfChordFontID(const TOVChordElems& chord,
                                                                  const std::string& fontID) = 0;

    virtual TOVChordNotationProfile profile() const = 0;
    virtual void setProfile(const TOVChordNotationProfile& profile) = 0;
};
