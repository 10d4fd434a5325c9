#pragma once

#include "notation/TOVNoteViewLibrary.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

class NoteUnit;
class TOVNoteAccidentalView;
class TOVNotePreview;
class TOVNoteTieView;
class TOVObjectView;

// The one place where the glyphs of rhythm notation come from: one note glyph library per installed
// font, "Default" as the fallback glyph by glyph, and the glyphs every font shares (the augmentation
// dots and the tie template). Every view and outline handed out is the caller's own copy.
//
// A font's answer is taken when the font has a library and the library has an answer; otherwise the
// "Default" library is asked the same question. A font that was never installed is thus served entirely
// by "Default".
class TOVNoteViewFactory {
public:
    using LibraryDictionary = std::map<std::string, std::shared_ptr<TOVNoteViewLibrary>>;

    // Size of an augmentation dot and the gap between two dots.
    static constexpr double kDotSize = 2.0;
    static constexpr double kDotGap = 2.0;
    // Where partial beams end, as fractions of the black head's width.
    static constexpr double kHalfFlagLeftRatio = 0.917;
    static constexpr double kHalfFlagRightRatio = 0.833;

    // A factory without fonts but with the dots and the tie template (read from the application's own
    // "ArticulationSlur" file); the application uses the singleton, tests make their own.
    TOVNoteViewFactory();
    ~TOVNoteViewFactory();
    TOVNoteViewFactory(const TOVNoteViewFactory&) = delete;
    TOVNoteViewFactory& operator=(const TOVNoteViewFactory&) = delete;

    // The shared factory, made on the first call (under a lock) with "Default" installed.
    static TOVNoteViewFactory* singletonInstance();

    // Reads the font's glyphs into a new library that replaces any earlier one of the same ID; "Default"
    // also becomes the fallback library.
    std::shared_ptr<TOVNoteViewLibrary> installPluginFontID(const std::string& fontID);

    std::optional<platform::Image>
    imageForNotePaletteDraggingPreviewWithTypeFontID(std::uint32_t type, const std::string& fontID) const;
    std::shared_ptr<TOVNotePreview> tonePreviewForDraggingWithFontID(const std::string& fontID) const;
    // None for the length 0, without asking any library.
    std::optional<platform::BezierPath> bezierPathFromUnitLengthFontID(const NoteUnit* unit,
                                                                       std::uint64_t length,
                                                                       const std::string& fontID) const;
    // One dot at the origin for the dotted lengths 90, 180, 360, 720; two for the double-dotted lengths
    // 210, 420, 840; none for every other length.
    std::optional<platform::BezierPath> bezierPathDotCircleOfLength(std::uint64_t length) const;
    std::optional<platform::BezierPath> bezierPathFlagForLengthFlipFontID(std::uint64_t length, bool flip,
                                                                          const std::string& fontID) const;
    // A copy of the tie template.
    std::shared_ptr<TOVNoteTieView> noteSymbolTieView() const;
    std::shared_ptr<TOVObjectView> articulationViewWithSymbolTypeFontID(int type,
                                                                        const std::string& fontID) const;
    std::shared_ptr<TOVNoteAccidentalView>
    accidentalViewWithSymbolTypeFontID(int type, const std::string& fontID) const;
    // The width of the preview head's outline times kHalfFlagLeftRatio (kHalfFlagRightRatio); 0.0 without
    // an outline.
    double halfFlagWidthLeftWithFontID(const std::string& fontID) const;
    double halfFlagWidthRightWithFontID(const std::string& fontID) const;

    const LibraryDictionary& dictFontLibrary() const { return dictFontLibrary_; }
    void setDictFontLibrary(LibraryDictionary dictionary) { dictFontLibrary_ = std::move(dictionary); }
    const std::shared_ptr<TOVNoteViewLibrary>& defaultLibrary() const { return defaultLibrary_; }
    void setDefaultLibrary(std::shared_ptr<TOVNoteViewLibrary> library) {
        defaultLibrary_ = std::move(library);
    }

private:
    // The font's answer, or else that of "Default".
    template <typename Lookup>
    auto lookUpWithFallback(const std::string& fontID, Lookup lookup) const
        -> decltype(lookup(std::declval<const TOVNoteViewLibrary&>()));
    double previewHeadWidth(const std::string& fontID) const;

    LibraryDictionary dictFontLibrary_;
    std::shared_ptr<TOVNoteViewLibrary> defaultLibrary_;
    platform::BezierPath firstDot_;
    platform::BezierPath secondDot_;
    std::shared_ptr<TOVNoteTieView> tieTemplate_;
};
