#pragma once

#include "glyphs/TOVChordViewLibrary.h"
#include "model/TOVChordElems.h"
#include "model/TOVChordMeasuring.h"
#include "model/TOVChordNotationProfile.h"
#include "platform/graphics/BezierPath.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

// The application-wide source of chord symbol outlines: one glyph library per installed font, "Default"
// as the fallback glyph by glyph, and the notation profile that chooses glyphs and places them. It
// typesets a whole chord value into one outline. Every path handed out is a new copy.
class TOVChordViewFactory : public TOVChordMeasuring {
public:
    using LibraryDictionary = std::map<std::string, std::shared_ptr<TOVChordViewLibrary>>;

    // An empty factory with the default profile and no font installed; the application uses the
    // singleton, tests make their own.
    TOVChordViewFactory() = default;

    // The shared factory, made on the first call with the profile of the user defaults and "Default"
    // installed.
    static TOVChordViewFactory* singletonInstance();

    // Reads the font's glyphs into a new library that replaces any earlier one of the same ID;
    // "Default" also becomes the fallback library.
    std::shared_ptr<TOVChordViewLibrary> installPluginFontID(const std::string& fontID);

    TOVChordNotationProfile profile() const override { return profile_; }
    void setProfile(const TOVChordNotationProfile& profile) override { profile_ = profile; }

    const LibraryDictionary& dictFontLibrary() const { return dictFontLibrary_; }
    void setDictFontLibrary(LibraryDictionary dictionary) { dictFontLibrary_ = std::move(dictionary); }
    const std::shared_ptr<TOVChordViewLibrary>& defaultLibrary() const { return defaultLibrary_; }
    void setDefaultLibrary(std::shared_ptr<TOVChordViewLibrary> library) {
        defaultLibrary_ = std::move(library);
    }

    // Glyphs of single chord elements, from the font or else from "Default"; none for a code without
    // a glyph.
    std::optional<platform::BezierPath> bezierPathForStep1FontID(int root, const std::string& fontID) const;
    std::optional<platform::BezierPath> bezierPathForBaseFontID(int bass, const std::string& fontID) const;
    std::optional<platform::BezierPath> bezierPathForStep2FontID(int quality,
                                                                 const std::string& fontID) const;
    std::optional<platform::BezierPath> bezierPathForStep3FontID(int tension,
                                                                 const std::string& fontID) const;
    // The slash (profile `on` 0) or the bar a bass is stacked under (`on` 1).
    std::optional<platform::BezierPath> bezierPathSlashForfontID(const std::string& fontID) const;

    // Glyph keys of the chord elements under the current profile; none when the code has no glyph.
    std::optional<std::string> resourceKeyForStep1Elem(int root) const;
    std::optional<std::string> resourceKeyForBaseElem(int bass) const;
    std::optional<std::string> resourceKeyForStep2Elem(int quality) const;
    std::optional<std::string> resourceKeyForStep3Elem(int tension) const;

    // Gaps and offsets of the typesetting, in glyph units before the chord scale.
    double marginXBetween1And2FromChord(const TOVChordElems& chord) const;
    double marginXBetween1And3FromChord(const TOVChordElems& chord) const;
    double marginYBetween2And3FromChord(const TOVChordElems& chord) const;
    double marginXBetween2AndSlashFromChord(const TOVChordElems& chord) const;
    double marginXBetweenSlashAndBaseFromChord(const TOVChordElems& chord) const;
    double offsetYOfStep2Element(const TOVChordElems& chord) const;
    double offsetYOfStep3Element(const TOVChordElems& chord) const;
    double scaleForStep3Elem(const TOVChordElems& chord) const;
    bool isStep3RightPosOfStep2(const TOVChordElems& chord) const;
    bool isBottomPosWithoutStep2(int tension) const;
    // How far the finished outline reaches below the line the root stands on, after the chord scale.
    double offsetYUnderBaseline(const TOVChordElems& chord) const;

    // The whole chord set as one outline at the chord scale, its top at 0; none when nothing was set.
    std::optional<platform::BezierPath> bezierPathFromChordFontID(const TOVChordElems& chord,
                                                                  const std::string& fontID) const;

    std::optional<platform::Size> boundsSizeOfChordFontID(const TOVChordElems& chord,
                                                          const std::string& fontID) override;

private:
    const TOVChordViewLibrary* libraryForFontID(const std::string& fontID) const;
    template <typename Lookup>
    std::optional<platform::BezierPath> lookUpWithFallback(const std::string& fontID, Lookup lookup) const;

    LibraryDictionary dictFontLibrary_;
    std::shared_ptr<TOVChordViewLibrary> defaultLibrary_;
    TOVChordNotationProfile profile_;
};
