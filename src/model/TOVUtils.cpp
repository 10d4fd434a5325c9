#include "model/TOVUtils.h"

#include "model/TOVSymbolTypes.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/Resources.h"
#include "platform/foundation/UserDefaults.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>

namespace {

constexpr std::string_view kDefaultFontID = "Default";

TOVUtils::Services& services() {
    static TOVUtils::Services registered;
    return registered;
}

std::optional<std::string>& rememberedFontsDirectory() {
    static std::optional<std::string> folder;
    return folder;
}

std::optional<std::string>& resourceDirectoryOverride() {
    static std::optional<std::string> folder;
    return folder;
}

int integerDefault(const std::string& key) {
    // Stored numbers are 64-bit; the readers answer their low 32 bits.
    return static_cast<int>(static_cast<std::int32_t>(platform::UserDefaults::standard().integerForKey(key)));
}

// A name that stands for exactly one entry inside a folder: no separator, no NUL, not "." or "..".
bool isSingleComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

// "name.type" ("name" for an empty type), or none when it would not name one entry of a folder.
std::optional<std::string> fileNameOf(std::string_view name, std::string_view type) {
    std::string fileName(name);
    if (!type.empty()) {
        fileName += '.';
        fileName += type;
    }
    if (!isSingleComponent(name) || !isSingleComponent(fileName)) {
        return std::nullopt;
    }
    return fileName;
}

int componentByte(double component) {
    if (!(component > 0)) {
        return 0;
    }
    return static_cast<int>(std::min(component, 1.0) * 255.0);
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned>(c - 'a' + 10);
    }
    return static_cast<unsigned>(c - 'A' + 10);
}

} // namespace

void TOVUtils::registerServices(Services registered) {
    services() = std::move(registered);
}

// MARK: resources and folders

std::optional<std::string> TOVUtils::pathForResourceOfType(std::string_view name, std::string_view type) {
    if (const auto& folder = resourceDirectoryOverride()) {
        auto fileName = fileNameOf(name, type);
        if (!fileName) {
            return std::nullopt;
        }
        const std::filesystem::path candidate = std::filesystem::path(*folder) / *fileName;
        std::error_code error;
        if (!std::filesystem::is_regular_file(candidate, error)) {
            return std::nullopt;
        }
        return candidate.string();
    }
    std::string path = platform::pathForResource(name, type);
    if (path.empty()) {
        return std::nullopt;
    }
    return path;
}

std::optional<std::string> TOVUtils::pathForResourceOfTypeFontID(std::string_view name, std::string_view type,
                                                                 std::string_view fontID) {
    if (fontID == kDefaultFontID) {
        return pathForResourceOfType(name, type);
    }
    // A font ID or file name that could step out of the font's own folder names nothing; the glyphs
    // then come from "Default".
    auto fileName = fileNameOf(name, type);
    if (!isSingleComponent(fontID) || !fileName) {
        return std::nullopt;
    }
    auto cache = pluginFontsCacheDirectory();
    if (!cache) {
        return std::nullopt;
    }
    return (std::filesystem::path(*cache) / std::string(fontID) / *fileName).string();
}

std::optional<std::string> TOVUtils::pluginFontsDirectory() {
    if (const auto& remembered = rememberedFontsDirectory()) {
        return remembered;
    }
    const std::string support = platform::applicationSupportDirectory();
    if (support.empty()) {
        return std::nullopt;
    }
    const std::filesystem::path folder = std::filesystem::path(support) / "Tovrin2" / "fonts";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
        // Not remembered: the next call tries again.
        return std::nullopt;
    }
    rememberedFontsDirectory() = folder.string();
    return rememberedFontsDirectory();
}

std::optional<std::string> TOVUtils::pluginFontsCacheDirectory() {
    auto fonts = pluginFontsDirectory();
    if (!fonts) {
        return std::nullopt;
    }
    // "fonts/../cache", written without the ".." so the path never depends on what "fonts" links to.
    return (std::filesystem::path(*fonts).parent_path() / "cache").string();
}

void TOVUtils::forgetPluginFontsDirectory() {
    rememberedFontsDirectory().reset();
}

void TOVUtils::overrideResourceDirectory(std::optional<std::string> folder) {
    resourceDirectoryOverride() = std::move(folder);
}

// MARK: colours

platform::Color TOVUtils::pageBackgroundColor() {
    if (auto data = platform::UserDefaults::standard().dataForKey("pageBackgroundColor")) {
        if (auto color = platform::KeyedUnarchiver::unarchivedColor(*data)) {
            return *color;
        }
    }
    return platform::Color::white();
}

platform::Color TOVUtils::barViewEditTargetColor() {
    return platform::Color::barViewEditTarget();
}
platform::Color TOVUtils::barViewSelectedFrameColor() {
    return platform::Color::barViewSelectedFrame();
}
platform::Color TOVUtils::barViewDropTargetFrameColor() {
    return platform::Color::barViewDropTargetFrame();
}
platform::Color TOVUtils::objectNormalColor() {
    return platform::Color::black();
}
platform::Color TOVUtils::objectTargetColor() {
    return platform::Color::red();
}
platform::Color TOVUtils::objectSelectedColor() {
    return platform::Color::orange();
}
platform::Color TOVUtils::noteCellDropTargetColor() {
    return platform::Color::orange();
}
platform::Color TOVUtils::noteCellSelectedColor() {
    return platform::Color::orange();
}
platform::Color TOVUtils::noteGridTargetColor() {
    return platform::Color::barViewSelectedFrame();
}
platform::Color TOVUtils::noteGridNormalColor() {
    return platform::Color::darkGray();
}
platform::Color TOVUtils::notePreviewColor() {
    return platform::Color::barViewSelectedFrame();
}
platform::Color TOVUtils::noteDropAreaFillColor() {
    return platform::Color::noteDropAreaFill();
}
platform::Color TOVUtils::noteDropAreaFrameColor() {
    return platform::Color::noteDropAreaFrame();
}
platform::Color TOVUtils::multiSelectAreaFillColor() {
    return platform::Color::multiSelectAreaFill();
}
platform::Color TOVUtils::multiSelectAreaFrameColor() {
    return platform::Color::multiSelectAreaFrame();
}
platform::Color TOVUtils::matrixCellHoverColor() {
    return platform::Color::blue();
}
platform::Color TOVUtils::matrixCellDraggingColor() {
    return platform::Color::orange();
}

// MARK: cursors

std::shared_ptr<platform::Cursor> TOVUtils::cursorForResizeHandle(int handleType) {
    const char* image = nullptr;
    switch (handleType) {
    case 0:
    case 2:
        image = "cursorRightDown";
        break;
    case 1:
    case 3:
        image = "cursorRightUp";
        break;
    case 4:
    case 6:
        image = "cursorUpDown";
        break;
    case 5:
    case 7:
        image = "cursorLeftRight";
        break;
    case 8:
    case 9:
        image = "cursorRotate";
        break;
    default:
        return nullptr;
    }
    static std::map<std::string, std::shared_ptr<platform::Cursor>> made;
    auto found = made.find(image);
    if (found != made.end()) {
        return found->second;
    }
    if (!services().makeCursor) {
        return nullptr;
    }
    auto cursor = services().makeCursor(image, platform::Point{7, 7});
    if (cursor) {
        made.emplace(image, cursor);
    }
    return cursor;
}

// MARK: symbols

int TOVUtils::symbolGroupOf(int symbolType) {
    switch (symbolType & TOVSymbolCategoryMask) {
    case TOVSymbolCategoryDynamics:
    case TOVSymbolCategoryOctave:
    case TOVSymbolCategoryPush:
    case TOVSymbolCategoryArticulation:
        return 1;
    case TOVSymbolCategoryTempo:
        return symbolType == TOVSymbolTempoSpeed ? 0 : 1;
    default:
        return 0;
    }
}

// MARK: user defaults

int TOVUtils::actionTypeDoubleClickNotesArea() {
    return integerDefault("actionNotesAreaDoubleClick");
}
int TOVUtils::actionTypeRightClickNotesArea() {
    return integerDefault("actionNotesAreaRightClick");
}
int TOVUtils::actionTypeDoubleClickChordsArea() {
    return integerDefault("actionChordsAreaDoubleClick");
}
int TOVUtils::actionTypeRightClickChordsArea() {
    return integerDefault("actionChordsAreaRightClick");
}
int TOVUtils::notationTypeBarline() {
    return integerDefault("notationBarline");
}
bool TOVUtils::divideInputNote() {
    return platform::UserDefaults::standard().boolForKey("divideInputNote");
}

TOVChordNotationProfile TOVUtils::currentChordNotationProfile() {
    return TOVChordNotationProfile{
        integerDefault("notationChordMajor"),      integerDefault("notationChordMinor"),
        integerDefault("notationChordDiminished"), integerDefault("notationChordAugment"),
        integerDefault("notationChordOn"),         integerDefault("notationChordSharpFlat")};
}

TOVChordNotationProfile TOVUtils::defaultChordNotationProfile() {
    return TOVChordNotationProfile{1, 0, 0, 0, 0, 0};
}

// MARK: factories and windows

TOVObjectViewFactory* TOVUtils::objectViewFactory() {
    return services().objectViewFactory ? services().objectViewFactory() : nullptr;
}

TOVChordMeasuring* TOVUtils::chordViewFactory() {
    return services().chordViewFactory ? services().chordViewFactory() : nullptr;
}

TOVNoteViewFactory* TOVUtils::noteViewFactory() {
    return services().noteViewFactory ? services().noteViewFactory() : nullptr;
}

void TOVUtils::showPreferencesWindow() {
    if (services().showPreferencesWindow) {
        services().showPreferencesWindow();
    }
}

void TOVUtils::showAboutWindow() {
    if (services().showAboutWindow) {
        services().showAboutWindow();
    }
}

// MARK: versions

std::string TOVUtils::tovrinVersionString() {
    return std::string(platform::shortVersionString);
}

std::string TOVUtils::systemVersionString() {
    return platform::systemVersionString();
}

bool TOVUtils::isSystemVersionOlderThan109() {
    // The question is whether the host predates the desktop release that brought document-modal sheets
    // with completion handlers. Every supported Linux desktop has them, and distribution version
    // numbers say nothing about that release.
    return false;
}

// MARK: colours as text

std::string TOVUtils::hexStringFromColor(const platform::Color& color) {
    char text[16];
    std::snprintf(text, sizeof text, "#FF%02X%02X%02X", componentByte(color.r), componentByte(color.g),
                  componentByte(color.b));
    return text;
}

platform::Color TOVUtils::colorFromHexString(const std::optional<std::string_view>& text) {
    if (!text) {
        return platform::Color::black();
    }
    std::string_view rest = *text;
    if (!rest.empty() && rest.front() == '#') {
        rest.remove_prefix(1);
    }
    while (!rest.empty() &&
           (rest.front() == ' ' || rest.front() == '\t' || rest.front() == '\n' || rest.front() == '\r')) {
        rest.remove_prefix(1);
    }
    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X') && isHexDigit(rest[2])) {
        rest.remove_prefix(2);
    }
    // One hexadecimal integer of 32 bits; more digits than fit saturate, as a scanner would.
    std::uint64_t value = 0;
    bool any = false;
    for (char c : rest) {
        if (!isHexDigit(c)) {
            break;
        }
        any = true;
        value = std::min<std::uint64_t>(value * 16 + hexDigitValue(c), 0xFFFFFFFFu);
    }
    if (!any) {
        return platform::Color::black();
    }
    const auto byte = [&](int shift) { return static_cast<double>((value >> shift) & 0xFF) / 255.0; };
    return platform::Color::fromRGB(byte(16), byte(8), byte(0), 1.0);
}
