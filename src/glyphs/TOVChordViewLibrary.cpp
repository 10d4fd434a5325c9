#include "glyphs/TOVChordViewLibrary.h"

#include "glyphs/SVGUtils.h"
#include "model/TOVUtils.h"

#include <filesystem>

namespace {

std::optional<platform::BezierPath> lookUp(const TOVChordViewLibrary::PathDictionary& dictionary,
                                           const std::optional<std::string>& key) {
    if (!key) {
        return std::nullopt;
    }
    auto found = dictionary.find(*key);
    if (found == dictionary.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace

TOVChordViewLibrary::TOVChordViewLibrary(const std::string& fontID) {
    setFontID(fontID);
}

void TOVChordViewLibrary::setFontID(const std::string& fontID) {
    if (fontID == fontID_) {
        return;
    }
    fontID_ = fontID;
    initDictionaryBezierPathStep1();
    initDictionaryBezierPathStep2();
    initDictionaryBezierPathStep3();
    bezierPathSlash_ = readGlyph(slashResourceKey);
    bezierPathHyphen_ = readGlyph(hyphenResourceKey);
}

void TOVChordViewLibrary::initDictionaryBezierPathStep1() {
    PathDictionary dictionary;
    for (const auto& key : step1ResourceKeys()) {
        registerBezierPathForResourceInDictionary(key, dictionary);
    }
    dictBezierPathStep1_ = std::move(dictionary);
}

void TOVChordViewLibrary::initDictionaryBezierPathStep2() {
    PathDictionary dictionary;
    for (const auto& key : step2ResourceKeys()) {
        registerBezierPathForResourceInDictionary(key, dictionary);
    }
    dictBezierPathStep2_ = std::move(dictionary);
}

void TOVChordViewLibrary::initDictionaryBezierPathStep3() {
    PathDictionary dictionary;
    for (const auto& key : step3ResourceKeys()) {
        registerBezierPathForResourceInDictionary(key, dictionary);
    }
    dictBezierPathStep3_ = std::move(dictionary);
}

void TOVChordViewLibrary::registerBezierPathForResourceInDictionary(const std::string& key,
                                                                    PathDictionary& dictionary) const {
    if (auto path = readGlyph(key)) {
        dictionary[key] = std::move(*path);
    }
}

std::optional<platform::BezierPath> TOVChordViewLibrary::readGlyph(const std::string& key) const {
    auto file = TOVUtils::pathForResourceOfTypeFontID(key, "svg", fontID_);
    if (!file) {
        return std::nullopt;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(*file, error)) {
        return std::nullopt;
    }
    return SVGUtils::bezierPathFromSVGFile(*file);
}

std::optional<platform::BezierPath>
TOVChordViewLibrary::bezierPathForStep1WithResourceKey(const std::optional<std::string>& key) const {
    return lookUp(dictBezierPathStep1_, key);
}

std::optional<platform::BezierPath>
TOVChordViewLibrary::bezierPathForStep2WithResourceKey(const std::optional<std::string>& key) const {
    return lookUp(dictBezierPathStep2_, key);
}

std::optional<platform::BezierPath>
TOVChordViewLibrary::bezierPathForStep3WithResourceKey(const std::optional<std::string>& key) const {
    return lookUp(dictBezierPathStep3_, key);
}

std::optional<platform::BezierPath> TOVChordViewLibrary::bezierPathSlashFor(int kind) const {
    switch (kind) {
    case 0:
        return bezierPathSlash_;
    case 1:
        return bezierPathHyphen_;
    default:
        return std::nullopt;
    }
}

const std::vector<std::string>& TOVChordViewLibrary::step1ResourceKeys() {
    static const std::vector<std::string> keys = {
        "chordC",       "chordCSharp",  "chordCSharp-", "chordDFlat",  "chordDFlat-", "chordD",
        "chordDSharp",  "chordDSharp-", "chordEFlat",   "chordEFlat-", "chordE",      "chordF",
        "chordFSharp",  "chordFSharp-", "chordGFlat",   "chordGFlat-", "chordG",      "chordGSharp",
        "chordGSharp-", "chordAFlat",   "chordAFlat-",  "chordA",      "chordASharp", "chordASharp-",
        "chordBFlat",   "chordBFlat-",  "chordB"};
    return keys;
}

const std::vector<std::string>& TOVChordViewLibrary::step2ResourceKeys() {
    static const std::vector<std::string> keys = {
        "chord6",       "chord7",       "chordDelta7",  "chordM6",      "chordM7",     "chordMDelta7",
        "chordM7-5",    "chordDim",     "chordDim7",    "chordM",       "chord-",      "chord-7-5",
        "chordPhy",     "chordM7Flat5", "chord-7Flat5", "chord-6",      "chordCircle", "chordMMaj7",
        "chord-Delta7", "chord-maj7",   "chordMaj7",    "chordCircle7", "chord-7"};
    return keys;
}

const std::vector<std::string>& TOVChordViewLibrary::step3ResourceKeys() {
    static const std::vector<std::string> keys = {"chordSus4",
                                                  "chord+5",
                                                  "chord6",
                                                  "chord9",
                                                  "chord11",
                                                  "chord13",
                                                  "chordOmit3",
                                                  "chordSus4(9)",
                                                  "chord-5",
                                                  "chord6_9",
                                                  "chord9(11)",
                                                  "chord+11",
                                                  "chord-13",
                                                  "chordOmit5",
                                                  "chordSus4(-9)",
                                                  "chord+5(9)",
                                                  "chord6_9(+11)",
                                                  "chord9(+11)",
                                                  "chord11(13)",
                                                  "chord-9",
                                                  "chord4",
                                                  "chord-5(9)",
                                                  "chord9(13)",
                                                  "chord11(-13)",
                                                  "chord+",
                                                  "chord2",
                                                  "chord+5(-9)",
                                                  "chord9(-13)",
                                                  "chord+11(13)",
                                                  "chord-5(-9)",
                                                  "chord-9(13)",
                                                  "chord+11(-13)",
                                                  "chord+5(+9)",
                                                  "chord-9(-13)",
                                                  "chord-5(+9)",
                                                  "chord+9",
                                                  "chord+9(-13)",
                                                  "chordAdd9",
                                                  "chordSus4(Flat9)",
                                                  "chordAug",
                                                  "chordSharp5",
                                                  "chordFlat5",
                                                  "chordAug(9)",
                                                  "chordSharp5(9)",
                                                  "chordFlat5(9)",
                                                  "chordAug(-9)",
                                                  "chordAug(Flat9)",
                                                  "chordSharp5(Flat9)",
                                                  "chordFlat5(Flat9)",
                                                  "chordAug(+9)",
                                                  "chordSharp5(Sharp9)",
                                                  "chordAug(Sharp9)",
                                                  "chordFlat5(Sharp9)",
                                                  "chord6_9(Sharp11)",
                                                  "chordFlat9",
                                                  "chordSharp9",
                                                  "chord9(Sharp11)",
                                                  "chord9(Flat13)",
                                                  "chordFlat9(13)",
                                                  "chordFlat9(Flat13)",
                                                  "chordSharp9(Flat13)",
                                                  "chordSharp11",
                                                  "chord11(Flat13)",
                                                  "chordSharp11(13)",
                                                  "chordSharp11(Flat13)",
                                                  "chordFlat13"};
    return keys;
}
