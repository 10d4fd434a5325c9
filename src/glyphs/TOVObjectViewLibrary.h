#pragma once

#include "platform/graphics/BezierPath.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TOVObjectView;

// The symbol glyphs of one font ("Default" or a plug-in font): a prototype view for every symbol the
// font can draw, read once from its SVG files, and the bare repeat-dot outlines. A glyph whose file is
// missing is simply absent, so that lookups can fall back to "Default". Prototypes are never handed out:
// lookups answer copies of them or of their outlines.
class TOVObjectViewLibrary {
public:
    using ViewDictionary = std::map<std::string, std::shared_ptr<TOVObjectView>>;
    using PathDictionary = std::map<std::string, platform::BezierPath>;

    TOVObjectViewLibrary() = default;
    explicit TOVObjectViewLibrary(const std::string& fontID);

    const std::string& fontID() const { return fontID_; }
    // Builds every dictionary when the ID differs from the stored one; the same ID does nothing.
    void setFontID(const std::string& fontID);

    // Where the key's SVG file of the library's font is, whether or not it exists.
    std::optional<std::string> svgFileForResourceName(const std::string& key) const;

    void initDictionaryClef();
    void initDictionaryKeySignature();
    void initDictionaryTime();
    void initDictionaryMark();
    void initDictionaryBarline();
    void initDictionaryBarlineRepeat();
    void initDictionaryRepeat();
    void initDictionaryDynamics();
    void initDictionaryOctave();
    void initDictionaryTempo();
    void initDictionaryPush();
    // The library holds no articulation glyphs.
    void initDictionaryArticulation() {}
    void initDictionaryDrawingTools();
    void initDictionaryGeneralSymbol();

    // The prototype of a symbol type, chosen by its category (the high byte); null for a type without one.
    TOVObjectView* prototypeViewWithSymbolType(int type) const;
    TOVObjectView* clefViewPrototypeWithSymbolType(int type) const;
    TOVObjectView* keyViewPrototypeWithSymbolType(int type) const;
    TOVObjectView* timeViewPrototypeWithSymbolType(int type) const;
    TOVObjectView* markViewPrototypeWithSymbolType(int type) const;
    TOVObjectView* barlineViewPrototypeWithSymbolType(int type) const;
    TOVObjectView* repeatViewPrototypeWithSymbolType(int type) const;
    TOVObjectView* dynamicsViewPrototypeWithSymbolType(int type) const;
    TOVObjectView* octaveViewPrototypeWithSymbolType(int type) const;
    TOVObjectView* tempoViewPrototypeWithSymbolType(int type) const;
    TOVObjectView* pushViewPrototypeWithSymbolType(int type) const;
    TOVObjectView* articulationViewPrototypeWithSymbolType(int) const { return nullptr; }
    TOVObjectView* drawingToolViewPrototypeWithSymbolType(int type) const;

    // A copy of the prototype; null without one.
    std::shared_ptr<TOVObjectView> symbolObjectViewWithSymbolType(int type) const;
    // A copy of the prototype's outline; none without a prototype or outline.
    std::optional<platform::BezierPath> symbolObjectPathWithSymbolType(int type) const;
    // The repeat-times glyph of the count: 3 to 12 their own, every other count the glyph of 2.
    std::optional<platform::BezierPath> repeatTimesPathWithTimes(std::uint64_t times) const;
    // The plain or circled glyph of a digit 0 to 9; none above 9.
    std::optional<platform::BezierPath> bezierPathFromNumberDigitCircle(std::uint64_t digit,
                                                                        bool circle) const;
    std::optional<platform::BezierPath> bezierPathFromBarlineRepeatResourceName(const std::string& key) const;

    const ViewDictionary& dictViewClef() const { return dictViewClef_; }
    const ViewDictionary& dictViewKey() const { return dictViewKey_; }
    const ViewDictionary& dictViewTime() const { return dictViewTime_; }
    const ViewDictionary& dictViewMark() const { return dictViewMark_; }
    const ViewDictionary& dictViewBarline() const { return dictViewBarline_; }
    const ViewDictionary& dictViewRepeat() const { return dictViewRepeat_; }
    const ViewDictionary& dictViewDynamics() const { return dictViewDynamics_; }
    const ViewDictionary& dictViewOctave() const { return dictViewOctave_; }
    const ViewDictionary& dictViewTempo() const { return dictViewTempo_; }
    const ViewDictionary& dictViewPush() const { return dictViewPush_; }
    const ViewDictionary& dictViewDrawingTools() const { return dictViewDrawingTools_; }
    const ViewDictionary& dictViewGeneralSymbol() const { return dictViewGeneralSymbol_; }
    const PathDictionary& dictPathBarlineRepeat() const { return dictPathBarlineRepeat_; }

    // The glyph keys of a category (the type's high byte), in type order; empty for other categories.
    static const std::vector<std::string>& resourceKeysOfCategory(int category);
    // The glyph key of a symbol type; none outside its category's list.
    static std::optional<std::string> resourceKeyOfSymbolType(int type);

private:
    // Makes a prototype of class T from the key's file, with the frame's origin (and the frame for views
    // that keep it); nothing when the file is not there.
    template <typename T>
    void addFromFile(ViewDictionary& dictionary, const std::string& key,
                     const platform::Rect& frame = platform::Rect()) const;
    // The prototype stored under the type's key in the dictionary.
    TOVObjectView* lookUp(const ViewDictionary& dictionary, int category, int type) const;
    std::optional<platform::BezierPath> pathOfPrototype(const ViewDictionary& dictionary,
                                                        const std::string& key) const;

    std::string fontID_;
    ViewDictionary dictViewClef_;
    ViewDictionary dictViewKey_;
    ViewDictionary dictViewTime_;
    ViewDictionary dictViewMark_;
    ViewDictionary dictViewBarline_;
    ViewDictionary dictViewRepeat_;
    ViewDictionary dictViewDynamics_;
    ViewDictionary dictViewOctave_;
    ViewDictionary dictViewTempo_;
    ViewDictionary dictViewPush_;
    ViewDictionary dictViewDrawingTools_;
    ViewDictionary dictViewGeneralSymbol_;
    PathDictionary dictPathBarlineRepeat_;
};
