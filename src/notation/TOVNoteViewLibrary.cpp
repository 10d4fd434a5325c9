#include "notation/TOVNoteViewLibrary.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVObjectView.h"
#include "model/NoteUnit.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNoteArticulationView.h"
#include "notation/TOVNotePreview.h"
#include "notation/TOVSlurView.h"
#include "platform/graphics/QPainterGraphicsContext.h"

#include <QString>
#include <filesystem>

using platform::BezierPath;
using platform::Image;
using platform::Rect;

namespace {

constexpr const char* kDefaultFontID = "Default";
constexpr const char* kBlackHeadKey = "OnpuTamaKuro";
constexpr const char* kSlurKey = "ArticulationSlur";

bool fileExists(const std::optional<std::string>& file) {
    std::error_code error;
    return file && std::filesystem::is_regular_file(*file, error);
}

// The glyph keys by length. Heads have a black default; rests and flags have none.
const char* toneHeadKey(std::uint64_t length) {
    switch (length) {
    case 320:
    case 480:
    case 720:
    case 840:
        return "OnpuTama2";
    case 640:
    case 960:
        return "OnpuTamaZen";
    default:
        return kBlackHeadKey;
    }
}

const char* slashHeadKey(std::uint64_t length) {
    switch (length) {
    case 320:
    case 480:
    case 720:
    case 840:
        return "SlashTamaShiro";
    case 640:
    case 960:
        return "SlashTamaZen";
    default:
        return "SlashTamaKuro";
    }
}

// 0 thirty-second, 1 sixteenth, 2 eighth, 3 quarter, 4 half, 5 whole; -1 for a length in no row.
int lengthRow(std::uint64_t length) {
    switch (length) {
    case 30:
        return 0;
    case 40:
    case 60:
    case 90:
        return 1;
    case 80:
    case 120:
    case 180:
    case 210:
        return 2;
    case 160:
    case 240:
    case 360:
    case 420:
        return 3;
    case 320:
    case 480:
    case 720:
    case 840:
        return 4;
    case 640:
    case 960:
        return 5;
    default:
        return -1;
    }
}

const char* restKey(std::uint64_t length) {
    static const char* const keys[] = {"Kyuuhu32", "Kyuuhu16", "Kyuuhu8", "Kyuuhu4", "Kyuuhu2", "KyuuhuZen"};
    const int row = lengthRow(length);
    return row < 0 ? nullptr : keys[row];
}

const char* flagKey(std::uint64_t length) {
    static const char* const keys[] = {"OnpuHata32", "OnpuHata16", "OnpuHata8"};
    const int row = lengthRow(length);
    return row < 0 || row > 2 ? nullptr : keys[row];
}

const char* articulationKey(int type) {
    static const char* const keys[] = {"ArticulationTenuto",
                                       "ArticulationStaccato",
                                       "ArticulationFermata",
                                       "ArticulationAccento",
                                       "ArticulationMarcato",
                                       "ArticulationS",
                                       kSlurKey};
    return type >= TOVSymbolTenuto && type <= TOVSymbolSlur ? keys[type - TOVSymbolTenuto] : nullptr;
}

const char* accidentalKey(int type) {
    static const char* const keys[] = {"HenkaSharpX1", "HenkaSharpX2", "HenkaFlatX1", "HenkaFlatX2",
                                       "HenkaNatural"};
    return type >= TOVSymbolSharp && type <= TOVSymbolNatural ? keys[type - TOVSymbolSharp] : nullptr;
}

// Palette items whose drag image is the black head rather than a picture of their own.
bool dragsAsBlackHead(std::uint32_t type) {
    switch (type) {
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLength32nd):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLength16th):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDotted16th):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLength8th):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDotted8th):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDoubleDotted8th):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDottedQuarter):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDoubleDottedQuarter):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthHalf):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDottedHalf):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDoubleDottedHalf):
    case TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthWhole):
    case TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLength8th):
    case TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter):
    case TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthHalf):
    case TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthWhole):
    case TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthQuarter):
    case TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthHalf):
    case TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthWhole):
    case TOVNoteItemHarmonyTone:
        return true;
    default:
        return false;
    }
}

} // namespace

const std::vector<std::string>& TOVNoteViewLibrary::generalKeys() {
    static const std::vector<std::string> keys = {
        "OnpuTamaKuro", "OnpuTama2",  "OnpuTamaZen", "SlashTamaKuro", "SlashTamaShiro",
        "SlashTamaZen", "OnpuHata32", "OnpuHata16",  "OnpuHata8",     "Kyuuhu32",
        "Kyuuhu16",     "Kyuuhu8",    "Kyuuhu4",     "Kyuuhu2",       "KyuuhuZen"};
    return keys;
}

const std::vector<std::string>& TOVNoteViewLibrary::accidentalKeys() {
    static const std::vector<std::string> keys = {"HenkaSharpX1", "HenkaSharpX2", "HenkaFlatX1",
                                                  "HenkaFlatX2", "HenkaNatural"};
    return keys;
}

const std::vector<std::string>& TOVNoteViewLibrary::articulationKeys() {
    static const std::vector<std::string> keys = {
        "ArticulationAccento",  "ArticulationFermata", "ArticulationMarcato", "ArticulationS", kSlurKey,
        "ArticulationStaccato", "ArticulationTenuto"};
    return keys;
}

TOVNoteViewLibrary::TOVNoteViewLibrary() = default;

TOVNoteViewLibrary::TOVNoteViewLibrary(const std::string& fontID) {
    setFontID(fontID);
}

TOVNoteViewLibrary::~TOVNoteViewLibrary() = default;

void TOVNoteViewLibrary::setFontID(const std::string& fontID) {
    if (built_ && fontID == fontID_) {
        return;
    }
    fontID_ = fontID;
    built_ = true;
    initDictionaryGeneral();
    initDictionaryAccidental();
    initDictionaryArticulation();
    // Every font drags the built-in head, so that a tone lands where the pointer shows it.
    notePreview_ = TOVNotePreview::withFrameSVGFile(
        Rect(), TOVUtils::pathForResourceOfType(kBlackHeadKey, "svg").value_or(""));
}

std::optional<std::string> TOVNoteViewLibrary::svgFileForResourceName(const std::string& key) const {
    return TOVUtils::pathForResourceOfTypeFontID(key, "svg", fontID_);
}

void TOVNoteViewLibrary::initDictionaryGeneral() {
    dictViewGeneral_.clear();
    for (const auto& key : generalKeys()) {
        const auto file = svgFileForResourceName(key);
        if (fileExists(file)) {
            dictViewGeneral_[key] = TOVObjectView::makeWithFrameSVGFile<TOVObjectView>(Rect(), *file);
        }
    }
}

void TOVNoteViewLibrary::initDictionaryAccidental() {
    dictViewAccidental_.clear();
    for (const auto& key : accidentalKeys()) {
        const auto file = svgFileForResourceName(key);
        if (fileExists(file)) {
            dictViewAccidental_[key] =
                TOVObjectView::makeWithFrameSVGFile<TOVNoteAccidentalView>(Rect(), *file);
        }
    }
}

void TOVNoteViewLibrary::initDictionaryArticulation() {
    dictViewArticulation_.clear();
    for (const auto& key : articulationKeys()) {
        if (key == kSlurKey) {
            dictViewArticulation_[key] = std::make_shared<TOVSlurView>(Rect());
            continue;
        }
        const auto file = svgFileForResourceName(key);
        if (fileExists(file)) {
            dictViewArticulation_[key] =
                TOVObjectView::makeWithFrameSVGFile<TOVNoteArticulationView>(Rect(), *file);
        }
    }
}

std::optional<std::string> TOVNoteViewLibrary::resourceNameFromType(std::uint32_t type) {
    static const std::map<std::uint32_t, const char*> names = {
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLength32nd), "Onpu32"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLength16th), "Onpu16"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDotted16th), "Onpu16H"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLength8th), "Onpu8"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDotted8th), "Onpu8H"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDoubleDotted8th), "Onpu8HH"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter), "Onpu4"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDottedQuarter), "Onpu4H"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDoubleDottedQuarter), "Onpu4HH"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthHalf), "Onpu2"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDottedHalf), "Onpu2H"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDoubleDottedHalf), "Onpu2HH"},
        {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthWhole), "OnpuZen"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLength32nd), "Kyuuhu32"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLength16th), "Kyuuhu16"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDotted16th), "Kyuuhu16H"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLength8th), "Kyuuhu8"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDotted8th), "Kyuuhu8H"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDoubleDotted8th), "Kyuuhu8HH"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthQuarter), "Kyuuhu4"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDottedQuarter), "Kyuuhu4H"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDoubleDottedQuarter), "Kyuuhu4HH"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthHalf), "Kyuuhu2"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDottedHalf), "Kyuuhu2H"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDoubleDottedHalf), "Kyuuhu2HH"},
        {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthWhole), "KyuuhuZen"},
        {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLength8th), "OnpuTriple8"},
        {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter), "OnpuTriple4"},
        {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthHalf), "OnpuTriple2"},
        {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthWhole), "OnpuTripleZen"},
        {TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthQuarter), "OnpuSextuple4"},
        {TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthHalf), "OnpuSextuple2"},
        {TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthWhole), "OnpuSextupleZen"},
        {TOVNoteItemTie, "OnpuTie"},
        {TOVNoteItemSharp, "HenkaSharpX1"},
        {TOVNoteItemDoubleSharp, "HenkaSharpX2"},
        {TOVNoteItemNatural, "HenkaNatural"},
        {TOVNoteItemFlat, "HenkaFlatX1"},
        {TOVNoteItemDoubleFlat, "HenkaFlatX2"},
        {TOVNoteItemHarmonyTone, "OnpuHarmony"},
        {TOVNoteItemBeatSlash, "Slash1haku"}};
    const auto found = names.find(type);
    if (found == names.end()) {
        return std::nullopt;
    }
    return std::string(found->second);
}

std::optional<Image>
TOVNoteViewLibrary::imageForNotePaletteDraggingPreviewWithType(std::uint32_t type) const {
    if (dragsAsBlackHead(type)) {
        // A font without the head answers an empty image: the item is still the font's to draw.
        const auto head = generalPath(kBlackHeadKey);
        const platform::Size size = head ? head->bounds().size : platform::Size();
        Image image(size);
        if (head) {
            platform::QPainterGraphicsContext ctx(image);
            ctx.setFillColor(platform::Color::black());
            ctx.fillPath(*head);
        }
        return image;
    }
    const auto name = resourceNameFromType(type);
    if (!name) {
        return std::nullopt;
    }
    const auto file = TOVUtils::pathForResourceOfType(*name, "png");
    if (!file) {
        return std::nullopt;
    }
    Image image = Image::fromFile(QString::fromStdString(*file));
    if (image.isNull()) {
        return std::nullopt;
    }
    return image;
}

std::shared_ptr<TOVNotePreview> TOVNoteViewLibrary::tonePreviewForDragging() const {
    if (!notePreview_) {
        return nullptr;
    }
    return std::dynamic_pointer_cast<TOVNotePreview>(notePreview_->clone());
}

std::optional<BezierPath> TOVNoteViewLibrary::generalPath(const char* key) const {
    if (!key) {
        return std::nullopt;
    }
    const auto found = dictViewGeneral_.find(key);
    if (found == dictViewGeneral_.end() || !found->second) {
        return std::nullopt;
    }
    return found->second->bezierPath();
}

std::optional<BezierPath> TOVNoteViewLibrary::bezierPathForToneHeadOfLength(std::uint64_t length) const {
    return generalPath(toneHeadKey(length));
}

std::optional<BezierPath> TOVNoteViewLibrary::bezierPathForSlashHeadOfLength(std::uint64_t length) const {
    return generalPath(slashHeadKey(length));
}

std::optional<BezierPath> TOVNoteViewLibrary::bezierPathForRestOfLength(std::uint64_t length) const {
    return generalPath(restKey(length));
}

std::optional<BezierPath> TOVNoteViewLibrary::bezierPathFromUnitLength(const NoteUnit* unit,
                                                                       std::uint64_t length) const {
    switch (unit ? unit->kind() : 0) {
    case 0:
        return bezierPathForToneHeadOfLength(length);
    case 1:
        return bezierPathForRestOfLength(length);
    case 2:
        return bezierPathForSlashHeadOfLength(length);
    default:
        return std::nullopt;
    }
}

std::optional<BezierPath> TOVNoteViewLibrary::bezierPathFlagForLengthFlip(std::uint64_t length,
                                                                          bool flip) const {
    auto flag = generalPath(flagKey(length));
    if (flag && flip) {
        SVGUtils::scaleBezierPathXByYBy(&*flag, 1.0, -1.0);
    }
    return flag;
}

std::shared_ptr<TOVObjectView> TOVNoteViewLibrary::articulationViewWithSymbolType(int type) const {
    const char* key = articulationKey(type);
    if (!key) {
        return nullptr;
    }
    const auto found = dictViewArticulation_.find(key);
    if (found == dictViewArticulation_.end() || !found->second) {
        return nullptr;
    }
    return found->second->clone();
}

std::shared_ptr<TOVNoteAccidentalView> TOVNoteViewLibrary::accidentalViewWithSymbolType(int type) const {
    const char* key = accidentalKey(type);
    if (!key) {
        return nullptr;
    }
    const auto found = dictViewAccidental_.find(key);
    if (found == dictViewAccidental_.end() || !found->second) {
        return nullptr;
    }
    return std::dynamic_pointer_cast<TOVNoteAccidentalView>(found->second->clone());
}
