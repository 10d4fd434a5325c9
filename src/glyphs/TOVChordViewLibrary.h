#pragma once

#include "platform/graphics/BezierPath.h"

#include <map>
#include <optional>
#include <string>

// The chord glyph outlines of one font ("Default" or a plug-in font), read once from its SVG files:
// roots and basses, qualities, tensions, the slash and the bar under which a bass is stacked. A glyph
// whose file is missing is simply absent; lookups answer copies, never the stored outline.
class TOVChordViewLibrary {
public:
    using PathDictionary = std::map<std::string, platform::BezierPath>;

    TOVChordViewLibrary() = default;
    explicit TOVChordViewLibrary(const std::string& fontID);

    const std::string& fontID() const { return fontID_; }
    // Reads every glyph of the font when the ID differs from the stored one; the same ID does nothing.
    void setFontID(const std::string& fontID);

    void initDictionaryBezierPathStep1();
    void initDictionaryBezierPathStep2();
    void initDictionaryBezierPathStep3();
    // Stores the glyph of the key under the key when the font has a readable file for it.
    void registerBezierPathForResourceInDictionary(const std::string& key, PathDictionary& dictionary) const;

    std::optional<platform::BezierPath>
    bezierPathForStep1WithResourceKey(const std::optional<std::string>& key) const;
    std::optional<platform::BezierPath>
    bezierPathForStep2WithResourceKey(const std::optional<std::string>& key) const;
    std::optional<platform::BezierPath>
    bezierPathForStep3WithResourceKey(const std::optional<std::string>& key) const;
    // 0: the slash, 1: the bar; any other value: none.
    std::optional<platform::BezierPath> bezierPathSlashFor(int kind) const;

    const std::optional<platform::BezierPath>& bezierPathSlash() const { return bezierPathSlash_; }
    void setBezierPathSlash(std::optional<platform::BezierPath> path) { bezierPathSlash_ = std::move(path); }
    const std::optional<platform::BezierPath>& bezierPathHyphen() const { return bezierPathHyphen_; }
    void setBezierPathHyphen(std::optional<platform::BezierPath> path) {
        bezierPathHyphen_ = std::move(path);
    }
    const PathDictionary& dictBezierPathStep1() const { return dictBezierPathStep1_; }
    void setDictBezierPathStep1(PathDictionary dictionary) { dictBezierPathStep1_ = std::move(dictionary); }
    const PathDictionary& dictBezierPathStep2() const { return dictBezierPathStep2_; }
    void setDictBezierPathStep2(PathDictionary dictionary) { dictBezierPathStep2_ = std::move(dictionary); }
    const PathDictionary& dictBezierPathStep3() const { return dictBezierPathStep3_; }
    void setDictBezierPathStep3(PathDictionary dictionary) { dictBezierPathStep3_ = std::move(dictionary); }

    // The glyph keys each dictionary is filled from, in reading order.
    static const std::vector<std::string>& step1ResourceKeys();
    static const std::vector<std::string>& step2ResourceKeys();
    static const std::vector<std::string>& step3ResourceKeys();
    static constexpr const char* slashResourceKey = "chordSlash";
    static constexpr const char* hyphenResourceKey = "chordHyphen";

private:
    std::optional<platform::BezierPath> readGlyph(const std::string& key) const;

    std::optional<platform::BezierPath> bezierPathSlash_;
    std::optional<platform::BezierPath> bezierPathHyphen_;
    std::string fontID_;
    PathDictionary dictBezierPathStep1_;
    PathDictionary dictBezierPathStep2_;
    PathDictionary dictBezierPathStep3_;
};
