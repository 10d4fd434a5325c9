#pragma once

#include "glyphs/TOVObjectViewLibrary.h"
#include "model/TOVRepeatNumberStates.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

class TOVObjectView;

// The one place where symbol views and symbol glyph outlines are made: one glyph library per installed
// font, "Default" as the fallback glyph by glyph, and the composed glyphs (numbers, signs with circled
// pass numbers, metronome marks). Every view and outline handed out is the caller's own.
class TOVObjectViewFactory {
public:
    using LibraryDictionary = std::map<std::string, std::shared_ptr<TOVObjectViewLibrary>>;

    // Fixed advance of the digits of a plain number, gap before each composed part, and how far below
    // the metronome glyph's top its speed stands.
    static constexpr double kDigitAdvance = 4.0;
    static constexpr double kComposedGap = 2.0;
    static constexpr double kSpeedOffsetY = 8.0;
    static constexpr std::uint64_t kMaximumSpeed = 999;

    // An empty factory; the application uses the singleton, tests make their own.
    TOVObjectViewFactory() = default;

    // The shared factory, made on the first call with "Default" installed.
    static TOVObjectViewFactory* singletonInstance();

    // Reads the font's glyphs into a new library that replaces any earlier one of the same ID; "Default"
    // also becomes the fallback library.
    std::shared_ptr<TOVObjectViewLibrary> installPluginFontID(const std::string& fontID);

    std::shared_ptr<TOVObjectView> symbolObjectViewWithSymbolTypeFontID(int type,
                                                                        const std::string& fontID) const;
    std::optional<platform::BezierPath> symbolObjectPathWithSymbolTypeFontID(int type,
                                                                             const std::string& fontID) const;
    std::optional<platform::BezierPath> repeatTimesPathWithTimesFontID(std::uint64_t times,
                                                                       const std::string& fontID) const;
    std::optional<platform::BezierPath>
    bezierPathFromBarlineRepeatResourceNameFontID(const std::string& key, const std::string& fontID) const;
    // The sign's glyph followed by the circled numbers of the passes that are on.
    std::optional<platform::BezierPath>
    repeatIdNumberViewPathWithTypeStatesFontID(int type, const TOVRepeatNumberStates& states,
                                               const std::string& fontID) const;
    // The metronome glyph followed by the digits of the speed; none above 999.
    std::optional<platform::BezierPath> tempoSpeedPathWithSpeedFontID(std::uint64_t speed,
                                                                      const std::string& fontID) const;
    // Circled: the glyph of a number 0 to 9 (none above). Plain: the digits at a fixed advance, the empty
    // outline for 0; a digit without a glyph in either font leaves its place empty.
    std::optional<platform::BezierPath>
    bezierPathFromNumberDigitsCircleFontID(std::uint64_t number, bool circle,
                                           const std::string& fontID) const;

    const LibraryDictionary& dictFontLibrary() const { return dictFontLibrary_; }
    void setDictFontLibrary(LibraryDictionary dictionary) { dictFontLibrary_ = std::move(dictionary); }
    const std::shared_ptr<TOVObjectViewLibrary>& defaultLibrary() const { return defaultLibrary_; }
    void setDefaultLibrary(std::shared_ptr<TOVObjectViewLibrary> library) {
        defaultLibrary_ = std::move(library);
    }

private:
    // The font's answer, or else that of "Default".
    template <typename Lookup>
    auto lookUpWithFallback(const std::string& fontID, Lookup lookup) const
        -> decltype(lookup(std::declval<const TOVObjectViewLibrary&>()));

    LibraryDictionary dictFontLibrary_;
    std::shared_ptr<TOVObjectViewLibrary> defaultLibrary_;
};
