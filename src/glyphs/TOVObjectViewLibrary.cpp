#include "glyphs/TOVObjectViewLibrary.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVBarLineView.h"
#include "glyphs/TOVClefView.h"
#include "glyphs/TOVDynamicsCrescendoView.h"
#include "glyphs/TOVDynamicsDecrescendoView.h"
#include "glyphs/TOVDynamicsGeneralView.h"
#include "glyphs/TOVKeySignatureView.h"
#include "glyphs/TOVLongRestView.h"
#include "glyphs/TOVMarkView.h"
#include "glyphs/TOVOctaveBassaView.h"
#include "glyphs/TOVOctaveGeneralView.h"
#include "glyphs/TOVPushGeneralView.h"
#include "glyphs/TOVRepeatBisEndView.h"
#include "glyphs/TOVRepeatBisView.h"
#include "glyphs/TOVRepeatGeneralView.h"
#include "glyphs/TOVRepeatPrevBarView.h"
#include "glyphs/TOVRepeatVoltaEndView.h"
#include "glyphs/TOVRepeatVoltaView.h"
#include "glyphs/TOVRepeatWithIdNumberView.h"
#include "glyphs/TOVRepeatWithTimesView.h"
#include "glyphs/TOVTempoGeneralView.h"
#include "glyphs/TOVTempoSpeedView.h"
#include "glyphs/TOVTimeView.h"
#include "glyphs/TOVToolArrowView.h"
#include "glyphs/TOVToolLineView.h"
#include "glyphs/TOVToolTextView.h"
#include "glyphs/TOVToolWaveView.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"

#include <filesystem>

using platform::BezierPath;
using platform::Rect;

// Every kind is made as the view class that draws and edits it; the views of a song are copies of these
// prototypes.

namespace {

using Keys = std::vector<std::string>;

const Keys kClefKeys = {"clefToon", "clefHeon"};
const Keys kKeyKeys = {"keySharpX1", "keySharpX2", "keySharpX3", "keySharpX4", "keySharpX5",
                       "keySharpX6", "keySharpX7", "keyFlatX1",  "keyFlatX2",  "keyFlatX3",
                       "keyFlatX4",  "keyFlatX5",  "keyFlatX6",  "keyFlatX7"};
const Keys kTimeKeys = {"time1_4", "time2_4", "time3_4", "time4_4", "time5_4", "time6_4",  "time7_4",
                        "time3_8", "time5_8", "time6_8", "time7_8", "time9_8", "time12_8", "time_c"};
const Keys kMarkKeys = {"Intro", "Inter", "Vamp", "Solo", "End", "Verse", "Chorus", "A", "B",
                        "C",     "D",     "E",    "F",    "G",   "H",     "I",      "J", "1",
                        "2",     "3",     "4",    "5",    "6",   "7",     "8"};
const Keys kBarlineKeys = {"barlinesSingle",     "barlinesDotted",      "barlinesGrateDouble",
                           "barlinesDouble",     "barlinesRepeatLeft",  "barlinesRepeatRight",
                           "barlinesRepeatBoth", "barlinesTransparent", "barlinesBrace"};
const Keys kBarlineRepeatKeys = {"barlinesRepeatLeftUpper", "barlinesRepeatLeftLower",
                                 "barlinesRepeatRightUpper", "barlinesRepeatRightLower"};
const Keys kRepeatKeys = {"repeatDaCapo",   "repeatDalSegno", "repeatToCoda",      "repeatCoda",
                          "repeatSegno",    "repeatFine",     "repeatVoltaSingle", "repeatVoltaSingleEnd",
                          "repeatBis",      "repeatBisEnd",   "repeatStraight",    "repeatRepeat2",
                          "repeatSimile",   "repeatTacet",    "repeatLongRests",   "repeatPrevBar",
                          "repeatPrev2Bar", "repeatPrev4Bar"};
const Keys kDynamicsKeys = {"dynamicsFFF",       "dynamicsFF",         "dynamicsF",   "dynamicsMF",
                            "dynamicsPPP",       "dynamicsPP",         "dynamicsP",   "dynamicsMP",
                            "dynamicsFP",        "dynamicsSF",         "dynamicsSFZ", "dynamicsFZ",
                            "dynamicsCrescendo", "dynamicsDecrescendo"};
const Keys kOctaveKeys = {"octave8va", "octave8vaBassa", "octave15ma", "octave15maBassa"};
const Keys kTempoKeys = {"tempoRit",    "tempoPocoRit", "tempoAccel", "tempoPocoAccel", "tempoATempo",
                         "tempoRubato", "tempoSpeed",   "shuffle8",   "shuffle16"};
const Keys kPushKeys = {"push8", "push16"};
const Keys kToolKeys = {"drawingToolsText", "drawingToolsArrow", "drawingToolsWave", "drawingToolsLine"};
const Keys kNoKeys;

const Rect kBracketFrame(0, 0, 60, 20);
const Rect kHairpinFrame(0, 0, 120, 8);
const Rect kOctaveFrame(0, 0, 120, 15);

std::string digitKey(std::uint64_t digit, bool circle) {
    return (circle ? "generalNumberCircle" : "generalNumber") + std::to_string(digit);
}

// Prototypes of the views that show a bar's clef, key or time type, each made from its file with its type.
template <typename Make>
void addTypedFromKeys(TOVObjectViewLibrary::ViewDictionary& dictionary, const std::vector<std::string>& keys,
                      int category, const TOVObjectViewLibrary& library, Make make) {
    dictionary.clear();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto file = library.svgFileForResourceName(keys[i]);
        std::error_code error;
        if (!file || !std::filesystem::is_regular_file(*file, error)) {
            continue;
        }
        dictionary[keys[i]] = make(Rect(), *file, category | static_cast<int>(i));
    }
}

} // namespace

TOVObjectViewLibrary::TOVObjectViewLibrary(const std::string& fontID) {
    setFontID(fontID);
}

void TOVObjectViewLibrary::setFontID(const std::string& fontID) {
    if (fontID == fontID_ && !dictViewMark_.empty()) {
        return;
    }
    fontID_ = fontID;
    initDictionaryClef();
    initDictionaryKeySignature();
    initDictionaryTime();
    initDictionaryMark();
    initDictionaryBarline();
    initDictionaryBarlineRepeat();
    initDictionaryRepeat();
    initDictionaryDynamics();
    initDictionaryOctave();
    initDictionaryTempo();
    initDictionaryPush();
    initDictionaryArticulation();
    initDictionaryDrawingTools();
    initDictionaryGeneralSymbol();
}

std::optional<std::string> TOVObjectViewLibrary::svgFileForResourceName(const std::string& key) const {
    return TOVUtils::pathForResourceOfTypeFontID(key, "svg", fontID_);
}

template <typename T>
void TOVObjectViewLibrary::addFromFile(ViewDictionary& dictionary, const std::string& key,
                                       const Rect& frame) const {
    const auto file = svgFileForResourceName(key);
    std::error_code error;
    if (!file || !std::filesystem::is_regular_file(*file, error)) {
        return;
    }
    dictionary[key] = TOVObjectView::makeWithFrameSVGFile<T>(frame, *file);
}

void TOVObjectViewLibrary::initDictionaryClef() {
    addTypedFromKeys(dictViewClef_, kClefKeys, TOVSymbolCategoryClef, *this,
                     TOVClefView::withFrameSVGFileClefType);
}

void TOVObjectViewLibrary::initDictionaryKeySignature() {
    addTypedFromKeys(dictViewKey_, kKeyKeys, TOVSymbolCategoryKeySignature, *this,
                     TOVKeySignatureView::withFrameSVGFileKeyType);
}

void TOVObjectViewLibrary::initDictionaryTime() {
    addTypedFromKeys(dictViewTime_, kTimeKeys, TOVSymbolCategoryTimeSignature, *this,
                     TOVTimeView::withFrameSVGFileTimeType);
}

void TOVObjectViewLibrary::initDictionaryMark() {
    dictViewMark_.clear();
    for (const auto& key : kMarkKeys) {
        dictViewMark_[key] = std::make_shared<TOVMarkView>(QString::fromStdString(key));
    }
}

void TOVObjectViewLibrary::initDictionaryBarline() {
    dictViewBarline_.clear();
    // The four repeat barlines and the transparent one are drawn by the barline view itself.
    for (std::size_t i = 0; i < 4; ++i) {
        addFromFile<TOVBarLineView>(dictViewBarline_, kBarlineKeys[i]);
    }
    addFromFile<TOVObjectView>(dictViewBarline_, "barlinesBrace");
}

void TOVObjectViewLibrary::initDictionaryBarlineRepeat() {
    dictPathBarlineRepeat_.clear();
    for (const auto& key : kBarlineRepeatKeys) {
        const auto file = svgFileForResourceName(key);
        if (auto path = file ? SVGUtils::bezierPathFromSVGFile(*file) : std::nullopt) {
            dictPathBarlineRepeat_[key] = std::move(*path);
        }
    }
}

void TOVObjectViewLibrary::initDictionaryRepeat() {
    dictViewRepeat_.clear();
    for (const char* key : {"repeatDaCapo", "repeatDalSegno", "repeatToCoda", "repeatCoda", "repeatSegno"}) {
        addFromFile<TOVRepeatWithIdNumberView>(dictViewRepeat_, key);
    }
    for (const char* key : {"repeatFine", "repeatStraight", "repeatSimile", "repeatTacet"}) {
        addFromFile<TOVRepeatGeneralView>(dictViewRepeat_, key);
    }
    for (int count = 2; count <= 12; ++count) {
        addFromFile<TOVRepeatWithTimesView>(dictViewRepeat_, "repeatRepeat" + std::to_string(count));
    }
    for (const char* key : {"repeatPrevBar", "repeatPrev2Bar", "repeatPrev4Bar"}) {
        addFromFile<TOVRepeatPrevBarView>(dictViewRepeat_, key);
    }
    dictViewRepeat_["repeatVoltaSingle"] = std::make_shared<TOVRepeatVoltaView>(kBracketFrame);
    dictViewRepeat_["repeatVoltaSingleEnd"] = std::make_shared<TOVRepeatVoltaEndView>(kBracketFrame);
    dictViewRepeat_["repeatBis"] = std::make_shared<TOVRepeatBisView>(kBracketFrame);
    dictViewRepeat_["repeatBisEnd"] = std::make_shared<TOVRepeatBisEndView>(kBracketFrame);
    dictViewRepeat_["repeatLongRests"] = std::make_shared<TOVLongRestView>(Rect());
}

void TOVObjectViewLibrary::initDictionaryDynamics() {
    dictViewDynamics_.clear();
    for (std::size_t i = 0; i < 12; ++i) {
        addFromFile<TOVDynamicsGeneralView>(dictViewDynamics_, kDynamicsKeys[i]);
    }
    dictViewDynamics_["dynamicsCrescendo"] = std::make_shared<TOVDynamicsCrescendoView>(kHairpinFrame);
    dictViewDynamics_["dynamicsDecrescendo"] = std::make_shared<TOVDynamicsDecrescendoView>(kHairpinFrame);
}

void TOVObjectViewLibrary::initDictionaryOctave() {
    dictViewOctave_.clear();
    // The octave views keep the frame they are made with; the bassa glyphs stand at its bottom.
    for (const auto& key : kOctaveKeys) {
        const auto file = svgFileForResourceName(key);
        std::error_code error;
        if (!file || !std::filesystem::is_regular_file(*file, error)) {
            continue;
        }
        if (key.ends_with("Bassa")) {
            dictViewOctave_[key] = TOVOctaveBassaView::makeWithFrameSVGFile(kOctaveFrame, *file);
        } else {
            dictViewOctave_[key] = TOVOctaveGeneralView::makeWithFrameSVGFile(kOctaveFrame, *file);
        }
    }
}

void TOVObjectViewLibrary::initDictionaryTempo() {
    dictViewTempo_.clear();
    for (const auto& key : kTempoKeys) {
        if (key == "tempoSpeed") {
            addFromFile<TOVTempoSpeedView>(dictViewTempo_, key);
        } else {
            addFromFile<TOVTempoGeneralView>(dictViewTempo_, key);
        }
    }
}

void TOVObjectViewLibrary::initDictionaryPush() {
    dictViewPush_.clear();
    for (const auto& key : kPushKeys) {
        addFromFile<TOVPushGeneralView>(dictViewPush_, key);
    }
}

void TOVObjectViewLibrary::initDictionaryDrawingTools() {
    dictViewDrawingTools_.clear();
    dictViewDrawingTools_["drawingToolsText"] =
        std::make_shared<TOVToolTextView>(QStringLiteral("Free Text"));
    dictViewDrawingTools_["drawingToolsArrow"] = std::make_shared<TOVToolArrowView>(Rect(0, 0, 50, 10));
    dictViewDrawingTools_["drawingToolsWave"] = std::make_shared<TOVToolWaveView>(Rect(0, 0, 40, 10));
    dictViewDrawingTools_["drawingToolsLine"] = std::make_shared<TOVToolLineView>(Rect(0, 0, 50, 10));
}

void TOVObjectViewLibrary::initDictionaryGeneralSymbol() {
    dictViewGeneralSymbol_.clear();
    for (bool circle : {false, true}) {
        for (std::uint64_t digit = 0; digit <= 9; ++digit) {
            addFromFile<TOVObjectView>(dictViewGeneralSymbol_, digitKey(digit, circle));
        }
    }
}

const std::vector<std::string>& TOVObjectViewLibrary::resourceKeysOfCategory(int category) {
    switch (category) {
    case TOVSymbolCategoryClef:
        return kClefKeys;
    case TOVSymbolCategoryKeySignature:
        return kKeyKeys;
    case TOVSymbolCategoryTimeSignature:
        return kTimeKeys;
    case TOVSymbolCategoryRehearsal:
        return kMarkKeys;
    case TOVSymbolCategoryBarline:
        return kBarlineKeys;
    case TOVSymbolCategoryRepeat:
        return kRepeatKeys;
    case TOVSymbolCategoryDynamics:
        return kDynamicsKeys;
    case TOVSymbolCategoryOctave:
        return kOctaveKeys;
    case TOVSymbolCategoryTempo:
        return kTempoKeys;
    case TOVSymbolCategoryPush:
        return kPushKeys;
    case TOVSymbolCategoryDrawingTool:
        return kToolKeys;
    default:
        return kNoKeys;
    }
}

std::optional<std::string> TOVObjectViewLibrary::resourceKeyOfSymbolType(int type) {
    const auto& keys = resourceKeysOfCategory(type & TOVSymbolCategoryMask);
    const auto index = static_cast<std::size_t>(type & TOVSymbolIndexMask);
    if (index >= keys.size()) {
        return std::nullopt;
    }
    return keys[index];
}

TOVObjectView* TOVObjectViewLibrary::lookUp(const ViewDictionary& dictionary, int category, int type) const {
    if ((type & TOVSymbolCategoryMask) != category) {
        return nullptr;
    }
    const auto key = resourceKeyOfSymbolType(type);
    if (!key) {
        return nullptr;
    }
    const auto found = dictionary.find(*key);
    return found == dictionary.end() ? nullptr : found->second.get();
}

TOVObjectView* TOVObjectViewLibrary::clefViewPrototypeWithSymbolType(int type) const {
    return lookUp(dictViewClef_, TOVSymbolCategoryClef, type);
}
TOVObjectView* TOVObjectViewLibrary::keyViewPrototypeWithSymbolType(int type) const {
    return lookUp(dictViewKey_, TOVSymbolCategoryKeySignature, type);
}
TOVObjectView* TOVObjectViewLibrary::timeViewPrototypeWithSymbolType(int type) const {
    return lookUp(dictViewTime_, TOVSymbolCategoryTimeSignature, type);
}
TOVObjectView* TOVObjectViewLibrary::markViewPrototypeWithSymbolType(int type) const {
    return lookUp(dictViewMark_, TOVSymbolCategoryRehearsal, type);
}
TOVObjectView* TOVObjectViewLibrary::barlineViewPrototypeWithSymbolType(int type) const {
    return lookUp(dictViewBarline_, TOVSymbolCategoryBarline, type);
}
TOVObjectView* TOVObjectViewLibrary::repeatViewPrototypeWithSymbolType(int type) const {
    return lookUp(dictViewRepeat_, TOVSymbolCategoryRepeat, type);
}
TOVObjectView* TOVObjectViewLibrary::dynamicsViewPrototypeWithSymbolType(int type) const {
    return lookUp(dictViewDynamics_, TOVSymbolCategoryDynamics, type);
}
TOVObjectView* TOVObjectViewLibrary::octaveViewPrototypeWithSymbolType(int type) const {
    return lookUp(dictViewOctave_, TOVSymbolCategoryOctave, type);
}
TOVObjectView* TOVObjectViewLibrary::tempoViewPrototypeWithSymbolType(int type) const {
    return lookUp(dictViewTempo_, TOVSymbolCategoryTempo, type);
}
TOVObjectView* TOVObjectViewLibrary::pushViewPrototypeWithSymbolType(int type) const {
    return lookUp(dictViewPush_, TOVSymbolCategoryPush, type);
}
TOVObjectView* TOVObjectViewLibrary::drawingToolViewPrototypeWithSymbolType(int type) const {
    return lookUp(dictViewDrawingTools_, TOVSymbolCategoryDrawingTool, type);
}

TOVObjectView* TOVObjectViewLibrary::prototypeViewWithSymbolType(int type) const {
    switch (type & TOVSymbolCategoryMask) {
    case TOVSymbolCategoryClef:
        return clefViewPrototypeWithSymbolType(type);
    case TOVSymbolCategoryKeySignature:
        return keyViewPrototypeWithSymbolType(type);
    case TOVSymbolCategoryTimeSignature:
        return timeViewPrototypeWithSymbolType(type);
    case TOVSymbolCategoryRehearsal:
        return markViewPrototypeWithSymbolType(type);
    case TOVSymbolCategoryBarline:
        return barlineViewPrototypeWithSymbolType(type);
    case TOVSymbolCategoryRepeat:
        return repeatViewPrototypeWithSymbolType(type);
    case TOVSymbolCategoryDynamics:
        return dynamicsViewPrototypeWithSymbolType(type);
    case TOVSymbolCategoryOctave:
        return octaveViewPrototypeWithSymbolType(type);
    case TOVSymbolCategoryTempo:
        return tempoViewPrototypeWithSymbolType(type);
    case TOVSymbolCategoryPush:
        return pushViewPrototypeWithSymbolType(type);
    case TOVSymbolCategoryArticulation:
        return articulationViewPrototypeWithSymbolType(type);
    case TOVSymbolCategoryDrawingTool:
        return drawingToolViewPrototypeWithSymbolType(type);
    default:
        return nullptr;
    }
}

std::shared_ptr<TOVObjectView> TOVObjectViewLibrary::symbolObjectViewWithSymbolType(int type) const {
    const TOVObjectView* prototype = prototypeViewWithSymbolType(type);
    return prototype ? prototype->clone() : nullptr;
}

std::optional<BezierPath> TOVObjectViewLibrary::symbolObjectPathWithSymbolType(int type) const {
    const TOVObjectView* prototype = prototypeViewWithSymbolType(type);
    return prototype ? prototype->bezierPath() : std::nullopt;
}

std::optional<BezierPath> TOVObjectViewLibrary::pathOfPrototype(const ViewDictionary& dictionary,
                                                                const std::string& key) const {
    const auto found = dictionary.find(key);
    return found == dictionary.end() ? std::nullopt : found->second->bezierPath();
}

std::optional<BezierPath> TOVObjectViewLibrary::repeatTimesPathWithTimes(std::uint64_t times) const {
    const std::uint64_t count = times >= 3 && times <= 12 ? times : 2;
    return pathOfPrototype(dictViewRepeat_, "repeatRepeat" + std::to_string(count));
}

std::optional<BezierPath> TOVObjectViewLibrary::bezierPathFromNumberDigitCircle(std::uint64_t digit,
                                                                                bool circle) const {
    if (digit > 9) {
        return std::nullopt;
    }
    return pathOfPrototype(dictViewGeneralSymbol_, digitKey(digit, circle));
}

std::optional<BezierPath>
TOVObjectViewLibrary::bezierPathFromBarlineRepeatResourceName(const std::string& key) const {
    const auto found = dictPathBarlineRepeat_.find(key);
    return found == dictPathBarlineRepeat_.end() ? std::nullopt : std::optional<BezierPath>(found->second);
}
