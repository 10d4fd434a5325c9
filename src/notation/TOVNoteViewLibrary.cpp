#include "notation/TOVNoteViewLibrary.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVObjectView.h"
#include "model/NoteUnit.h"
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
    return type >= 2816 && type <= 2822 ? keys[type - 2816] : nullptr;
}

const char* accidentalKey(int type) {
    static const char* const keys[] = {"HenkaSharpX1", "HenkaSharpX2", "HenkaFlatX1", "HenkaFlatX2",
                                       "HenkaNatural"};
    return type >= 3840 && type <= 3844 ? keys[type - 3840] : nullptr;
}

// Palette items whose drag image is the black head rather than a picture of their own.
bool dragsAsBlackHead(std::uint32_t type) {
    switch (type) {
    case 0x1001E:
    case 0x1003C:
    case 0x1005A:
    case 0x10078:
    case 0x100B4:
    case 0x100D2:
    case 0x100F0:
    case 0x10168:
    case 0x101A4:
    case 0x101E0:
    case 0x102D0:
    case 0x10348:
    case 0x103C0:
    case 0x30078:
    case 0x300F0:
    case 0x301E0:
    case 0x303C0:
    case 0x500F0:
    case 0x501E0:
    case 0x503C0:
    case 0x70006:
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
        {0x1001E, "Onpu32"},        {0x1003C, "Onpu16"},        {0x1005A, "Onpu16H"},
        {0x10078, "Onpu8"},         {0x100B4, "Onpu8H"},        {0x100D2, "Onpu8HH"},
        {0x100F0, "Onpu4"},         {0x10168, "Onpu4H"},        {0x101A4, "Onpu4HH"},
        {0x101E0, "Onpu2"},         {0x102D0, "Onpu2H"},        {0x10348, "Onpu2HH"},
        {0x103C0, "OnpuZen"},       {0x2001E, "Kyuuhu32"},      {0x2003C, "Kyuuhu16"},
        {0x2005A, "Kyuuhu16H"},     {0x20078, "Kyuuhu8"},       {0x200B4, "Kyuuhu8H"},
        {0x200D2, "Kyuuhu8HH"},     {0x200F0, "Kyuuhu4"},       {0x20168, "Kyuuhu4H"},
        {0x201A4, "Kyuuhu4HH"},     {0x201E0, "Kyuuhu2"},       {0x202D0, "Kyuuhu2H"},
        {0x20348, "Kyuuhu2HH"},     {0x203C0, "KyuuhuZen"},     {0x30078, "OnpuTriple8"},
        {0x300F0, "OnpuTriple4"},   {0x301E0, "OnpuTriple2"},   {0x303C0, "OnpuTripleZen"},
        {0x500F0, "OnpuSextuple4"}, {0x501E0, "OnpuSextuple2"}, {0x503C0, "OnpuSextupleZen"},
        {0x70000, "OnpuTie"},       {0x70001, "HenkaSharpX1"},  {0x70002, "HenkaSharpX2"},
        {0x70003, "HenkaNatural"},  {0x70004, "HenkaFlatX1"},   {0x70005, "HenkaFlatX2"},
        {0x70006, "OnpuHarmony"},   {0x70007, "Slash1haku"}};
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
