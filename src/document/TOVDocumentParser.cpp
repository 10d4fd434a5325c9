#include "document/TOVDocumentParser.h"

#include "model/Bar.h"
#include "model/Chord.h"
#include "model/ChordHistory.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/TOVChordElems.h"
#include "model/TOVChordMeasuring.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/TOVUtils.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Gzip.h"
#include "platform/foundation/Numbers.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/XmlDocument.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <set>
#include <utility>

using platform::XmlElement;

namespace {

// The distance between two staff lines: positions in the file are counted in these.
// A full line of bars spans this many points; bar widths are stored as a share of it.
constexpr double kLineWidth = 520.0;
// The stem height of a unit whose own height the file does not carry.
constexpr double kPlainStemHeight = 15.0;
// The longest length a unit's type can hold (TOVLengthBeat marks a one-beat slash).
constexpr std::int64_t kMaxUnitLength = TOVLengthBeat - 1;
// The line slots of a page and the bars of a line the file format knows.
constexpr std::uint64_t kMinLinesOnPage = 8;
constexpr std::uint64_t kMaxLinesOnPage = 12;
constexpr std::uint64_t kMaxBarsInLine = 8;
// The longest bar a time signature makes (7/4), and the shortest value written (a 32nd, or a tuplet
// of three 64ths).
constexpr std::uint64_t kLongestBarTicks = 1680;
constexpr std::uint64_t kShortestValueTicks = 30;

struct Word {
    int code;
    const char* word;
};

constexpr Word kBarlineWords[] = {
    {0x500, "single"},         {0x501, "dotted"},          {0x502, "great-double"}, {0x503, "double"},
    {0x504, "repeat-forward"}, {0x505, "repeat-backward"}, {0x506, "repeat-both"},  {0x507, "transparent"}};
constexpr Word kClefWords[] = {{0x100, "clef-g"}, {0x101, "clef-f"}};
constexpr Word kKeyWords[] = {{0x200, "key-sharp1"}, {0x201, "key-sharp2"}, {0x202, "key-sharp3"},
                              {0x203, "key-sharp4"}, {0x204, "key-sharp5"}, {0x205, "key-sharp6"},
                              {0x206, "key-sharp7"}, {0x207, "key-flat1"},  {0x208, "key-flat2"},
                              {0x209, "key-flat3"},  {0x20A, "key-flat4"},  {0x20B, "key-flat5"},
                              {0x20C, "key-flat6"},  {0x20D, "key-flat7"}};
constexpr Word kTimeWords[] = {
    {0x300, "time-1_4"}, {0x301, "time-2_4"}, {0x302, "time-3_4"},  {0x303, "time-4_4"}, {0x304, "time-5_4"},
    {0x305, "time-6_4"}, {0x306, "time-7_4"}, {0x307, "time-3_8"},  {0x308, "time-5_8"}, {0x309, "time-6_8"},
    {0x30A, "time-7_8"}, {0x30B, "time-9_8"}, {0x30C, "time-12_8"}, {0x30D, "time-C"}};
constexpr Word kToolWords[] = {{0xC00, "free-text"}, {0xC01, "arrow"}, {0xC02, "wave"}, {0xC03, "line"}};
constexpr Word kSymbolWords[] = {{0x400, "reharsal"},
                                 {0x600, "dacapo"},
                                 {0x601, "dalsegno"},
                                 {0x602, "to-coda"},
                                 {0x603, "coda"},
                                 {0x604, "segno"},
                                 {0x605, "fine"},
                                 {0x606, "volta-begin"},
                                 {0x607, "volta-end"},
                                 {0x608, "bis-begin"},
                                 {0x609, "bis-end"},
                                 {0x60A, "straight"},
                                 {0x60B, "repeat-times"},
                                 {0x60C, "simile"},
                                 {0x60D, "tacet"},
                                 {0x60F, "repeat-prev-bar-1"},
                                 {0x610, "repeat-prev-bar-2"},
                                 {0x611, "repeat-prev-bar-4"},
                                 {0x700, "fff"},
                                 {0x701, "ff"},
                                 {0x702, "f"},
                                 {0x703, "mf"},
                                 {0x704, "ppp"},
                                 {0x705, "pp"},
                                 {0x706, "p"},
                                 {0x707, "mp"},
                                 {0x708, "fp"},
                                 {0x709, "sf"},
                                 {0x70A, "sfz"},
                                 {0x70B, "fz"},
                                 {0x70C, "crescendo"},
                                 {0x70D, "decrescendo"},
                                 {0x800, "8va"},
                                 {0x801, "8va-bassa"},
                                 {0x802, "15ma"},
                                 {0x803, "15ma-bassa"},
                                 {0x900, "rit"},
                                 {0x901, "poco-rit"},
                                 {0x902, "accel"},
                                 {0x903, "poco-accel"},
                                 {0x904, "a-tempo"},
                                 {0x905, "rubato"},
                                 {0x906, "speed"},
                                 {0x907, "shuffle8"},
                                 {0x908, "shuffle16"},
                                 {0xA00, "push8"},
                                 {0xA01, "push16"}};
constexpr Word kHeadWords[] = {{0, "normal"}, {1, "x"}, {2, "none"}};
constexpr Word kAccidentalWords[] = {
    {0xF00, "sharp"}, {0xF01, "double-sharp"}, {0xF02, "flat"}, {0xF03, "double-flat"}, {0xF04, "natural"}};
constexpr Word kArticulationWords[] = {{0xB00, "tenuto"},  {0xB01, "staccato"}, {0xB02, "fermata"},
                                       {0xB03, "accento"}, {0xB04, "marcato"},  {0xB05, "arpegio"},
                                       {0xB06, "slur"}};
constexpr Word kPitchWords[] = {{0, "C"},   {1, "C#"}, {2, "Db"},  {3, "D"},   {4, "D#"}, {5, "Eb"},
                                {6, "E"},   {7, "F"},  {8, "F#"},  {9, "Gb"},  {10, "G"}, {11, "G#"},
                                {12, "Ab"}, {13, "A"}, {14, "A#"}, {15, "Bb"}, {16, "B"}};
constexpr Word kQualityWords[] = {{0, "6"},   {1, "m"},    {2, "m7-5"}, {3, "7"},    {4, "m6"},
                                  {5, "dim"}, {6, "maj7"}, {7, "m7"},   {8, "dim7"}, {10, "mmaj7"}};
constexpr Word kTensionWords[] = {
    {0, "sus4"},      {1, "+5"},        {2, "6"},        {3, "9"},        {4, "11"},        {5, "13"},
    {6, "omit3"},     {7, "add9"},      {8, "-5"},       {9, "6/9"},      {10, "-9"},       {11, "+11"},
    {12, "-13"},      {13, "omit5"},    {14, "2"},       {15, "+5(9)"},   {16, "6/9(+11)"}, {17, "+9"},
    {18, "11(13)"},   {20, "+"},        {21, "sus4(9)"}, {22, "-5(9)"},   {24, "9(11)"},    {25, "11(-13)"},
    {28, "sus4(-9)"}, {29, "+5(-9)"},   {31, "9(+11)"},  {32, "+11(13)"}, {35, "4"},        {36, "-5(-9)"},
    {38, "9(13)"},    {39, "+11(-13)"}, {43, "+5(+9)"},  {45, "9(-13)"},  {50, "-5(+9)"},   {52, "-9(13)"},
    {59, "-9(-13)"},  {66, "+9(-13)"}};

constexpr int kNoPitch = TOVChordNoStep;
constexpr int kNoQuality = TOVChordPlainTriad;
constexpr int kNoTension = TOVChordNoTension;

// Words are matched without regard to the case of their (ASCII) letters.
bool sameWord(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(text[i]) != lower(word[i])) {
            return false;
        }
    }
    return true;
}

bool matches(const std::optional<std::string>& text, std::string_view word) {
    return text && sameWord(*text, word);
}

template <std::size_t N>
std::string wordOf(const Word (&table)[N], int code) {
    for (const Word& w : table) {
        if (w.code == code) {
            return w.word;
        }
    }
    return {};
}

template <std::size_t N>
std::optional<int> codeOf(const Word (&table)[N], const std::optional<std::string>& text) {
    if (text) {
        for (const Word& w : table) {
            if (sameWord(*text, w.word)) {
                return w.code;
            }
        }
    }
    return std::nullopt;
}

std::int64_t integerAttr(const XmlElement& element, std::string_view name) {
    const std::optional<std::string> text = element.attribute(name);
    return text ? platform::integerValue(*text) : 0;
}

std::uint64_t nonNegative(std::int64_t value) {
    return value < 0 ? 0 : static_cast<std::uint64_t>(value);
}

double floatAttr(const XmlElement& element, std::string_view name) {
    const std::optional<std::string> text = element.attribute(name);
    return text ? static_cast<double>(platform::floatValue(*text)) : 0.0;
}

// A scale or an angle may be written in any form; a value the model cannot draw reads as 0.
double finiteFloatAttr(const XmlElement& element, std::string_view name) {
    const double value = floatAttr(element, name);
    return std::isfinite(value) ? value : 0.0;
}

XmlElement textElement(std::string name, std::string text) {
    return XmlElement(std::move(name), std::move(text));
}

void processPendingChanges(const platform::ManagedObject* object) {
    if (object && object->managedObjectContext()) {
        object->managedObjectContext()->processPendingChanges();
    }
}

// The name of a font with a style or weight word appended, as the run list describes one.
QString withWord(const QString& family, const std::optional<std::string>& word) {
    if (!word || word->empty() || sameWord(*word, "Normal")) {
        return family;
    }
    return family + QLatin1Char(' ') + QString::fromUtf8(word->data(), static_cast<qsizetype>(word->size()));
}

TOVDocumentParser::FontLookup& fontLookup() {
    static TOVDocumentParser::FontLookup lookup;
    return lookup;
}

std::optional<platform::TextFont> fontNamed(const QString& name, double size) {
    if (name.trimmed().isEmpty()) {
        return std::nullopt;
    }
    if (fontLookup().named) {
        return fontLookup().named(name, size);
    }
    return platform::TextFont{name, size};
}

platform::TextFont userFont(double size) {
    if (fontLookup().userFont) {
        return fontLookup().userFont(size);
    }
    return platform::TextFont{QStringLiteral("DejaVuSans"), size};
}

std::vector<int> versionComponents(const QString& version) {
    std::vector<int> components;
    for (const QString& part : version.split(QLatin1Char('.'))) {
        components.push_back(std::max(0, platform::intValue(QStringView(part))));
    }
    return components;
}

int compareVersion(const QString& version, std::initializer_list<int> reference) {
    const std::vector<int> a = versionComponents(version);
    const std::vector<int> b(reference);
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const int x = i < a.size() ? a[i] : 0;
        const int y = i < b.size() ? b[i] : 0;
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return 0;
}

} // namespace

// ---- settings and versions

void TOVDocumentParser::setFontLookup(FontLookup lookup) {
    fontLookup() = std::move(lookup);
}

bool TOVDocumentParser::isOldDataVersion(const std::optional<QString>& version) {
    return !version || compareVersion(*version, {1, 4}) <= 0;
}

bool TOVDocumentParser::isLaterDataVersion(const std::optional<QString>& version) {
    return version && compareVersion(*version, {1, 5}) > 0;
}

// ---- vocabularies

std::string TOVDocumentParser::serializeBarlineType(int type) {
    std::string word = wordOf(kBarlineWords, type);
    return word.empty() ? std::string("single") : word;
}

int TOVDocumentParser::deserializeBarlineType(const std::optional<std::string>& word) {
    return codeOf(kBarlineWords, word).value_or(TOVBarlineSingle);
}

namespace {

template <std::size_t N>
std::optional<XmlElement> typedElement(const char* name, const Word (&table)[N], int type) {
    std::string word = wordOf(table, type);
    if (word.empty()) {
        return std::nullopt;
    }
    XmlElement element(name);
    element.addAttribute("type", std::move(word));
    return element;
}

template <std::size_t N>
int typedElementCode(const Word (&table)[N], const XmlElement* element) {
    return element ? codeOf(table, element->attribute("type")).value_or(0) : 0;
}

} // namespace

std::optional<XmlElement> TOVDocumentParser::serializeClefType(int type) {
    return typedElement("clef", kClefWords, type);
}

std::optional<XmlElement> TOVDocumentParser::serializeKeyType(int type) {
    return typedElement("key", kKeyWords, type);
}

std::optional<XmlElement> TOVDocumentParser::serializeTimeType(int type) {
    return typedElement("time", kTimeWords, type);
}

int TOVDocumentParser::deserializeClefType(const XmlElement* element) {
    return typedElementCode(kClefWords, element);
}

int TOVDocumentParser::deserializeKeyType(const XmlElement* element) {
    return typedElementCode(kKeyWords, element);
}

int TOVDocumentParser::deserializeTimeType(const XmlElement* element) {
    return typedElementCode(kTimeWords, element);
}

std::string TOVDocumentParser::serializeToolsSymbolType(int type) {
    return wordOf(kToolWords, type);
}

int TOVDocumentParser::deserializeToolsSymbolType(const std::optional<std::string>& word) {
    return codeOf(kToolWords, word).value_or(0);
}

std::string TOVDocumentParser::serializeSymbolType(int type) {
    if ((type & TOVSymbolCategoryMask) == TOVSymbolCategoryRehearsal && type >= 0) {
        return "reharsal";
    }
    return wordOf(kSymbolWords, type);
}

int TOVDocumentParser::deserializeSymbolType(const std::optional<std::string>& word) {
    return codeOf(kSymbolWords, word).value_or(0);
}

std::string TOVDocumentParser::selializeNoteHeadType(int type) {
    return wordOf(kHeadWords, type);
}

int TOVDocumentParser::deserializeNoteHeadType(const std::optional<std::string>& word) {
    return codeOf(kHeadWords, word).value_or(0);
}

std::string TOVDocumentParser::serializeAccidentalType(int type) {
    return wordOf(kAccidentalWords, type);
}

int TOVDocumentParser::deserializeAccidentalType(const std::optional<std::string>& word) {
    return codeOf(kAccidentalWords, word).value_or(0);
}

std::string TOVDocumentParser::serializeArticulationType(int type) {
    return wordOf(kArticulationWords, type);
}

int TOVDocumentParser::deserializeArticulationType(const std::optional<std::string>& word) {
    return codeOf(kArticulationWords, word).value_or(0);
}

// ---- numbers and frames

std::string TOVDocumentParser::serializeFloatValue(double points) {
    return platform::formatG(points / TOVStaffSpace);
}

double TOVDocumentParser::deserializeFloatSting(const std::optional<std::string>& text) {
    if (!text) {
        return 0;
    }
    const double value = static_cast<double>(platform::floatValue(*text)) * TOVStaffSpace;
    // A position the model cannot place (an overflow to infinity) is read as the origin.
    return std::isfinite(value) ? value : 0.0;
}

void TOVDocumentParser::serializeFrameIntoPosSize(const platform::Rect& frame, XmlElement& element, bool pos,
                                                  bool size) {
    if (pos) {
        element.appendAttribute("x", serializeFloatValue(frame.x()));
        element.appendAttribute("y", serializeFloatValue(frame.y()));
    }
    if (size) {
        element.appendAttribute("width", serializeFloatValue(frame.width()));
        element.appendAttribute("height", serializeFloatValue(frame.height()));
    }
}

void TOVDocumentParser::serializeFrameOfResizableFixedSymbolInto(const Symbol* symbol, XmlElement& element) {
    const platform::Rect frame = symbol->frame();
    const platform::Size initial = symbol->initialSize();
    serializeFrameIntoPosSize(platform::Rect(frame.x(), frame.y(), initial.width * symbol->scale(),
                                             initial.height * symbol->scale()),
                              element, true, true);
}

platform::Rect TOVDocumentParser::deserializeFrameFromPosSize(const XmlElement& element, bool pos,
                                                              bool size) {
    platform::Rect frame;
    if (pos) {
        frame.origin = {deserializeFloatSting(element.attribute("x")),
                        deserializeFloatSting(element.attribute("y"))};
    }
    if (size) {
        frame.size = {deserializeFloatSting(element.attribute("width")),
                      deserializeFloatSting(element.attribute("height"))};
    }
    return frame;
}

// ---- chord values

XmlElement TOVDocumentParser::serializeChordValue(const TOVChordElems& elems) {
    auto word = [](const auto& table, int value) {
        std::string w = value < 0 ? std::string() : wordOf(table, value);
        return w.empty() ? std::string("none") : w;
    };
    XmlElement element("chord-value");
    element.appendAttribute("step1", word(kPitchWords, elems.elemStep1));
    element.appendAttribute("step2", word(kQualityWords, elems.elemStep2));
    element.appendAttribute("step3", word(kTensionWords, elems.elemStep3));
    element.appendAttribute("base", word(kPitchWords, elems.elemStepBase));
    return element;
}

TOVChordElems TOVDocumentParser::deserializeChordValueFromXML(const XmlElement& element) {
    TOVChordElems elems;
    elems.elemStep1 = codeOf(kPitchWords, element.attribute("step1")).value_or(kNoPitch);
    elems.elemStep2 = codeOf(kQualityWords, element.attribute("step2")).value_or(kNoQuality);
    elems.elemStep3 = codeOf(kTensionWords, element.attribute("step3")).value_or(kNoTension);
    elems.elemStepBase = codeOf(kPitchWords, element.attribute("base")).value_or(kNoPitch);
    elems.slash = elems.elemStepBase < kNoPitch;
    return elems;
}

// ---- formatted texts

namespace {

constexpr const char* kWeightWords[] = {"ExtraBlack", "UltraBlack", "Black",  "DemiBold",   "ExtraBold",
                                        "SemiBold",   "UltraBold",  "Bold",   "ExtraLight", "Heavy",
                                        "UltraLight", "Light",      "Medium", "Regular",    "Thin"};

std::string lineStyleText(std::int64_t style) {
    return platform::formatUnsigned(style < 0 ? 2
                                              : static_cast<std::uint64_t>(std::min<std::int64_t>(style, 2)));
}

std::int64_t lineStyleOf(const std::optional<std::string>& text) {
    const std::int64_t value = text ? platform::integerValue(*text) : 0;
    return std::clamp<std::int64_t>(value, 0, 2);
}

} // namespace

XmlElement TOVDocumentParser::serializeAttributedString(const platform::AttributedString& text) {
    XmlElement texts("formatted-texts");
    for (const platform::AttributedString::Run& run : text.runs()) {
        XmlElement& element = texts.addChild("formatted-text");
        std::string family;
        std::string size;
        std::string style = "Normal";
        std::string weight = "Normal";
        if (const std::optional<platform::TextFont>& font = run.attributes.font) {
            const QString& name = font->postScriptName;
            family = name.toStdString();
            size = platform::formatG(std::ceil(static_cast<float>(font->pointSize) * 1.4f));
            if (platform::containsStringIgnoreCase(name, QStringLiteral("Italic"))) {
                style = "Italic";
            } else if (platform::containsStringIgnoreCase(name, QStringLiteral("Oblique"))) {
                style = "Oblique";
            }
            for (const char* word : kWeightWords) {
                if (platform::containsStringIgnoreCase(name, QLatin1String(word))) {
                    weight = word;
                    break;
                }
            }
        }
        const std::string color = run.attributes.foregroundColor
                                      ? TOVUtils::hexStringFromColor(*run.attributes.foregroundColor)
                                      : "#FF000000";
        element.appendAttribute("font-family", std::move(family));
        element.appendAttribute("font-size", std::move(size));
        element.appendAttribute("font-style", std::move(style));
        element.appendAttribute("font-weight", std::move(weight));
        element.appendAttribute("color", color);
        element.appendAttribute("underline", lineStyleText(run.attributes.underlineStyle));
        element.appendAttribute("line-through", lineStyleText(run.attributes.strikethroughStyle));
        if (run.length > 0) {
            element.addChild(
                textElement("arbitrary-text", text.string().mid(run.location, run.length).toStdString()));
        }
    }
    return texts;
}

platform::AttributedString
TOVDocumentParser::deserializeAttributedStringDefaultFontSize(const XmlElement& element,
                                                              double defaultFontSize) {
    platform::AttributedString::Builder builder;
    for (const XmlElement* run : element.children("formatted-text")) {
        const XmlElement* textChild = run->firstChild("arbitrary-text");
        const std::string characters = textChild ? textChild->stringValue() : std::string();
        if (characters.empty()) {
            continue;
        }
        QString family = QString::fromStdString(run->attribute("font-family").value_or(std::string()));
        const bool defaultFamily = family.compare(QStringLiteral("Meiryo"), Qt::CaseInsensitive) == 0;
        const std::optional<std::string> sizeText = run->attribute("font-size");
        double size =
            std::floor(static_cast<float>(sizeText ? platform::floatValue(*sizeText) : 0.0f) / 1.4f);
        if (!(size > 0) || !std::isfinite(size)) {
            size = defaultFontSize;
        }
        // A family with its style and weight words names a face of a plain family ("DejaVu Serif" and
        // "Italic"); the family alone names the fonts written by their PostScript name, which carry their
        // style already ("Helvetica-BoldOblique"); failing both, the default font keeps the text readable.
        // The styled name goes first: a plain family alone names its upright face, and the style is lost.
        // Without a lookup nothing tells a name that exists from one that does not, and the family is
        // taken as it stands.
        std::optional<platform::TextFont> font;
        if (defaultFamily) {
            font = userFont(size);
        } else {
            const QString styled =
                withWord(withWord(family, run->attribute("font-style")), run->attribute("font-weight"));
            if (styled != family && fontLookup().named) {
                font = fontNamed(styled, size);
            }
            if (!font) {
                font = fontNamed(family, size);
            }
            if (!font) {
                font = userFont(size);
            }
        }
        const std::optional<std::string> colorText = run->attribute("color");
        platform::TextAttributes attributes;
        attributes.font = font;
        attributes.foregroundColor = TOVUtils::colorFromHexString(
            colorText ? std::optional<std::string_view>(*colorText) : std::nullopt);
        attributes.underlineStyle = lineStyleOf(run->attribute("underline"));
        attributes.strikethroughStyle = lineStyleOf(run->attribute("line-through"));
        builder.append(QString::fromStdString(characters), attributes);
    }
    return builder.build();
}

std::optional<platform::AttributedString>
TOVDocumentParser::deserializeBase64AttributedString(const XmlElement& element) {
    if (element.attribute("platform-type") != std::optional<std::string>("MAC")) {
        return std::nullopt;
    }
    const std::optional<std::vector<std::uint8_t>> bytes = platform::base64Decode(element.stringValue());
    if (!bytes) {
        return std::nullopt;
    }
    return platform::AttributedString::fromSerialized(*bytes);
}

namespace {

// The text up to `length` code units, with the attributes it had there.
platform::AttributedString cutText(const platform::AttributedString& text, qsizetype length) {
    platform::AttributedString::Builder builder;
    for (const platform::AttributedString::Run& run : text.runs()) {
        if (run.location >= length) {
            break;
        }
        builder.append(text.string().mid(run.location, std::min(run.length, length - run.location)),
                       run.attributes);
    }
    return builder.build();
}

// An archive this much larger than the longest text it may hold is not decoded at all.
constexpr std::size_t kMaxArchiveCharacters = TOVDocumentParser::maxTextLength * 64;

} // namespace

// The text of a song property, a rehearsal mark or a free text: the exact archive when it is ours and
// reads, else the run list beside it (a foreign or damaged archive never empties a text that has one).
// A text longer than maxTextLength is cut there.
std::optional<platform::AttributedString>
TOVDocumentParser::deserializeTextOfElement(const XmlElement& owner, double defaultFontSize) const {
    std::optional<platform::AttributedString> text;
    if (const XmlElement* archive = owner.firstChild("base64-formatted-texts")) {
        if (archive->stringValue().size() <= kMaxArchiveCharacters) {
            text = deserializeBase64AttributedString(*archive);
        }
    }
    if (!text) {
        if (const XmlElement* runs = owner.firstChild("formatted-texts")) {
            text = deserializeAttributedStringDefaultFontSize(*runs, defaultFontSize);
        }
    }
    if (text && text->length() > maxTextLength) {
        text = cutText(*text, maxTextLength);
        ++textsCut_;
    }
    return text;
}

QString TOVDocumentParser::cappedString(const std::string& text) const {
    QString string = QString::fromStdString(text);
    if (string.size() > maxTextLength) {
        string.truncate(maxTextLength);
        ++textsCut_;
    }
    return string;
}

// ---- saving

std::optional<std::string> TOVDocumentParser::layoutFaultForSaving(const Document* document) {
    const std::vector<Page*> pages = document->pageArray();
    for (const Page* page : pages) {
        if (page->aPage() < kMinLinesOnPage || page->aPage() > kMaxLinesOnPage) {
            return "a page has " + std::to_string(page->aPage()) + " line slots, and a page holds " +
                   std::to_string(kMinLinesOnPage) + " to " + std::to_string(kMaxLinesOnPage);
        }
        bool first = page == pages.front();
        for (const Line* line : page->lineArray()) {
            if (first) {
                first = false; // the bar-less line that opens the song
                continue;
            }
            if (line->partition() < 1 || line->partition() > kMaxBarsInLine) {
                return "a line is divided into " + std::to_string(line->partition()) +
                       " bars, and a line holds 1 to " + std::to_string(kMaxBarsInLine);
            }
        }
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> TOVDocumentParser::tovzDataFromDocument(const Document* document) {
    failureReason_.clear();
    if (!document) {
        failureReason_ = "no document";
        return std::nullopt;
    }
    if (std::optional<std::string> fault = layoutFaultForSaving(document)) {
        failureReason_ = "the song could not be opened again: " + *fault;
        return std::nullopt;
    }
    XmlElement root("tovrin");
    root.appendAttribute("data-struct-version", platform::formatG(1.5));
    root.appendAttribute("platform-type", "MAC");
    root.appendAttribute("platform-version", TOVUtils::systemVersionString());
    root.appendAttribute("software-version", TOVUtils::tovrinVersionString());
    root.appendAttribute("custom-font-id", document->plugInFontID().toStdString());
    root.appendAttribute("custom-font-name", document->plugInFontName().toStdString());
    root.appendAttribute("xml:space", "preserve");

    const std::vector<ChordHistory*> history = document->chordHistoryArray();
    if (!history.empty()) {
        XmlElement& element = root.addChild("history");
        for (const ChordHistory* entry : history) {
            element.addChild(serializeChordValue(entry->chordElems()));
        }
    }

    const std::vector<Page*> pages = document->pageArray();
    XmlElement& pagesElement = root.addChild("pages");
    for (const Page* page : pages) {
        pagesElement.addChild("page").appendAttribute("a-page", platform::formatUnsigned(page->aPage()));
    }

    XmlElement& linesElement = root.addChild("lines");
    XmlElement& songElement = linesElement.addChild("song");
    songElement.appendAttribute("partition", "1");
    songElement.appendAttribute("parts", "1");
    const Song* song = document->song();
    songElement.appendAttribute("rows", song && song->isDoubleRow() ? "2" : "1");
    if (song) {
        const std::pair<const char*, std::optional<platform::AttributedString>> properties[] = {
            {"title", song->name()},
            {"producer", song->producer()},
            {"arranger", song->arranger()},
            {"composer", song->composer()},
            {"writer", song->writer()}};
        for (const auto& [name, text] : properties) {
            if (text && !text->isEmpty()) {
                XmlElement& property = songElement.addChild(name);
                property.appendAttribute("type", "song-property");
                property.addChild(serializeAttributedString(*text));
            }
        }
    }
    std::vector<Line*> lines;
    for (const Page* page : pages) {
        for (Line* line : page->lineArray()) {
            if (line->isLowerOfDoublePart()) {
                continue;
            }
            lines.push_back(line);
            if (line->partition() != 0) {
                XmlElement& element = linesElement.addChild("line");
                element.appendAttribute("partition", platform::formatUnsigned(line->partition()));
                element.appendAttribute("parts", line->lower() ? "2" : "1");
            }
        }
    }

    XmlElement& sets = root.addChild("measure-sets");
    for (const Line* line : lines) {
        const std::vector<Bar*> bars = line->barArray();
        const Line* lower = line->lower();
        const std::vector<Bar*> lowerBars = lower ? lower->barArray() : std::vector<Bar*>();
        for (std::size_t i = 0; i < bars.size(); ++i) {
            XmlElement& set = sets.addChild("measure-set");
            const std::string width = platform::formatG(bars[i]->width() / kLineWidth);
            auto writePart = [&](const char* name, const Bar* bar) {
                XmlElement& part = set.addChild(name);
                part.appendAttribute("width", width);
                if (i == 0) {
                    part.addChild(
                        textElement("barline-left", serializeBarlineType(line->firstBarLineType())));
                }
                part.addChild(textElement("barline-right", serializeBarlineType(bar->barLineType())));
                serializeBarInto(bar, part);
            };
            writePart("part1", bars[i]);
            if (lower && i < lowerBars.size()) {
                writePart("part2", lowerBars[i]);
            }
        }
    }

    const std::vector<Symbol*> tools = document->symbols();
    bool hasTools = false;
    XmlElement toolsElement("symbols");
    for (const Symbol* symbol : tools) {
        const int type = symbol->type();
        const std::string word = serializeToolsSymbolType(type);
        if (word.empty()) {
            continue;
        }
        if (type == TOVToolFreeText) {
            const auto* text = dynamic_cast<const SymbolText*>(symbol);
            if (!text) {
                continue;
            }
            XmlElement& element = toolsElement.addChild("text-symbol");
            element.appendAttribute("type", word);
            serializeFrameIntoPosSize(symbol->frame(), element, true, false);
            if (text->text()) {
                element.addChild(serializeAttributedString(*text->text()));
            } else {
                element.addChild("formatted-texts");
            }
        } else {
            XmlElement& element = toolsElement.addChild(type == TOVToolWave ? "wave" : "tool");
            element.appendAttribute("type", word);
            serializeFrameIntoPosSize(symbol->frame(), element, true, true);
            element.appendAttribute("angle", platform::formatG(symbol->angle()));
            if (type == TOVToolWave) {
                element.appendAttribute("flip", symbol->flip() ? "true" : "false");
            }
        }
        hasTools = true;
    }
    if (hasTools) {
        root.addChild(std::move(toolsElement));
    }

    const platform::XmlDocument xml(std::move(root));
    const std::vector<std::uint8_t> text = xml.xmlData();
    // A song is only written as a file this program opens again.
    if (std::optional<std::string> fault = platform::XmlDocument::limitFault(text)) {
        failureReason_ = "the song is too large to be opened again: " + *fault;
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> packed = platform::gzipDeflate(text);
    if (!packed) {
        failureReason_ = "the song could not be packed";
    }
    return packed;
}

bool TOVDocumentParser::saveTOVZDocumentToUrlFromDocument(const std::filesystem::path& url,
                                                          const Document* document) {
    if (url.empty() || !document) {
        return false;
    }
    const std::optional<std::vector<std::uint8_t>> data = tovzDataFromDocument(document);
    if (!data) {
        return false;
    }
    // A failed write leaves the previous file as it was.
    return platform::writeFileAtomically(url, *data);
}

// ---- loading

bool TOVDocumentParser::fail(std::string reason) {
    failureReason_ = std::move(reason);
    return false;
}

bool TOVDocumentParser::loadTOVZDocumentFromUrlToDocument(const std::filesystem::path& url,
                                                          Document* document) {
    if (url.empty() || !document) {
        return fail("no file or no document");
    }
    std::string error;
    const std::optional<std::vector<std::uint8_t>> bytes =
        platform::readFile(url, platform::XmlDocument::maxInputBytes, &error);
    if (!bytes) {
        return fail("cannot be read: " + error);
    }
    return loadTOVZDocumentFromDataToDocument(*bytes, document);
}

bool TOVDocumentParser::loadTOVZDocumentFromDataToDocument(std::span<const std::uint8_t> data,
                                                           Document* document) {
    failureReason_.clear();
    loadNotices_.clear();
    textsCut_ = 0;
    objectsLeftOut_ = 0;
    if (!document || data.empty()) {
        return fail(document ? "empty file" : "no document");
    }
    // Inflating stops at what the XML layer would accept anyway.
    platform::InflateReport inflated;
    const std::optional<std::vector<std::uint8_t>> xmlBytes =
        platform::gzipInflate(data, platform::XmlDocument::maxInputBytes, &inflated);
    if (inflated.tooLarge) {
        return fail("the song is too large: it unpacks to more than 64 MiB");
    }
    if (!xmlBytes || xmlBytes->empty()) {
        return fail("not a gzip or zlib stream, or damaged");
    }
    // The writer makes one stream of one whole document: more after the stream, or elements the end of
    // the input left open, are a song cut short (or pieced together), which must not pass for the whole.
    if (inflated.bytesAfterStream) {
        return fail("the file is cut short or pieced together: data follows the end of the packed song");
    }
    platform::XmlDocument::ParseReport parsed;
    const std::optional<platform::XmlDocument> xml = platform::XmlDocument::parse(*xmlBytes, &parsed);
    if (parsed.tooLarge) {
        return fail("the song is too large: it holds more than " +
                    std::to_string(platform::XmlDocument::maxNodes) + " XML nodes");
    }
    if (!xml) {
        return fail("the unpacked data is not XML that can be read");
    }
    if (parsed.closedAtEnd) {
        return fail("the file is cut short: the song ends before its last elements are closed");
    }
    return loadFromXmlRoot(xml->rootElement(), document);
}

void TOVDocumentParser::completeOpenedDocument(Document* document) const {
    if (document == nullptr) {
        return;
    }
    if (fontID_) {
        document->setPlugInFontID(*fontID_);
        document->setPlugInFontName(fontName_.value_or(QString()));
    }
    document->truncateDataByTimeSignature();
    document->completeTie();
    if (platform::ManagedObjectContext* context = document->managedObjectContext()) {
        context->processPendingChanges();
    }
}

bool TOVDocumentParser::loadFromXmlRoot(const XmlElement& root, Document* document) {
    auto qText = [&](std::string_view name) -> std::optional<QString> {
        const std::optional<std::string> text = root.attribute(name);
        return text ? std::optional<QString>(QString::fromStdString(*text)) : std::nullopt;
    };
    dataVersion_ = qText("data-struct-version");
    fontID_ = qText("custom-font-id");
    fontName_ = qText("custom-font-name");
    oldFile_ = isOldDataVersion(dataVersion_);

    if (const XmlElement* history = root.firstChild("history")) {
        std::uint64_t index = 0;
        for (const XmlElement* value : history->children("chord-value")) {
            document->createNewChordHistoryWithElemsIndex(deserializeChordValueFromXML(*value), index++);
        }
    }
    if (const XmlElement* pages = root.firstChild("pages")) {
        std::uint64_t num = 0;
        for (const XmlElement* page : pages->children("page")) {
            std::int64_t aPage = integerAttr(*page, "a-page");
            if (aPage < static_cast<std::int64_t>(kMinLinesOnPage) ||
                aPage > static_cast<std::int64_t>(kMaxLinesOnPage)) {
                aPage = 10;
            }
            document->createNewPageWithNumberAPage(num++, static_cast<std::uint64_t>(aPage));
            processPendingChanges(document);
        }
    }
    std::vector<Line*> lines;
    bool haveLines = false;
    if (const XmlElement* linesElement = root.firstChild("lines")) {
        if (!deserializeLinesFromXMLInDocument(*linesElement, document, lines)) {
            return fail("its lines do not fit on its pages");
        }
        haveLines = true;
    }
    if (const XmlElement* sets = root.firstChild("measure-sets")) {
        if (!haveLines || !deserializeBarSetsFromXMLInLines(*sets, lines)) {
            return fail("its measure-sets do not fit in its lines");
        }
    }
    if (const XmlElement* tools = root.firstChild("symbols")) {
        deserializeToolsSymbolsInDocument(*tools, document);
    }
    processPendingChanges(document);
    if (!checkAndRepairStructure(document)) {
        return fail("its pages, lines and bars do not form a valid song");
    }
    if (textsCut_ > 0) {
        loadNotices_.push_back(std::to_string(textsCut_) + (textsCut_ == 1 ? " text was" : " texts were") +
                               " longer than " + std::to_string(maxTextLength) +
                               " characters and cut there.");
    }
    if (objectsLeftOut_ > 0) {
        loadNotices_.push_back(std::to_string(objectsLeftOut_) +
                               " notes, tones, chords or marks that their bars cannot hold were left out.");
    }
    return true;
}

bool TOVDocumentParser::deserializeLinesFromXMLInDocument(const XmlElement& linesElement, Document* document,
                                                          std::vector<Line*>& created) {
    if (const XmlElement* song = linesElement.firstChild("song")) {
        deserializeSongFromXMLInDocument(*song, document);
    }
    const std::vector<Page*> pages = document->pageArray();
    const std::vector<const XmlElement*> lineElements = linesElement.children("line");
    if (pages.empty()) {
        // A document saved before it had any page (a new song's first save) has nothing to place; lines
        // without a page to hold them cannot be read.
        return lineElements.empty();
    }
    pages.front()->createNewLineWithPartitionFirstBarlineType(0, 0);
    std::size_t p = 0;
    std::uint64_t used = 1;
    for (const XmlElement* lineElement : lineElements) {
        const bool twoParts = integerAttr(*lineElement, "parts") == 2;
        const std::uint64_t needed = twoParts ? 2 : 1;
        if (used + needed > pages[p]->aPage()) {
            if (++p >= pages.size()) {
                return false;
            }
            used = 0;
        }
        std::int64_t partition = integerAttr(*lineElement, "partition");
        if (partition < 1 || partition > static_cast<std::int64_t>(kMaxBarsInLine)) {
            partition = 4;
        }
        Line* line = pages[p]->createNewLineWithPartitionFirstBarlineType(
            static_cast<std::uint64_t>(partition), TOVBarlineSingle);
        if (!line) {
            return false;
        }
        if (twoParts) {
            line->createLowerLineWithCreateEmptyBars(false);
        }
        used += needed;
        created.push_back(line);
        processPendingChanges(document);
    }
    return true;
}

void TOVDocumentParser::deserializeSongFromXMLInDocument(const XmlElement& songElement,
                                                         Document* document) const {
    Song* song = document->createNewSong();
    if (!song) {
        return;
    }
    const std::int64_t rows = integerAttr(songElement, "rows");
    song->setIsDoubleRow(rows != 0 && rows != 1);
    struct Property {
        const char* name;
        double defaultSize;
        void (Song::*set)(const std::optional<platform::AttributedString>&);
    };
    const Property properties[] = {{"title", 20.0, &Song::setName},
                                   {"producer", 10.0, &Song::setProducer},
                                   {"arranger", 10.0, &Song::setArranger},
                                   {"composer", 10.0, &Song::setComposer},
                                   {"writer", 10.0, &Song::setWriter}};
    for (const Property& property : properties) {
        if (const XmlElement* element = songElement.firstChild(property.name)) {
            (song->*property.set)(deserializeTextOfElement(*element, property.defaultSize));
        }
    }
}

bool TOVDocumentParser::deserializeBarSetsFromXMLInLines(const XmlElement& sets,
                                                         const std::vector<Line*>& lines) {
    const std::vector<const XmlElement*> setElements = sets.children("measure-set");
    if (lines.empty()) {
        // Every document we write has "measure-sets", also one without lines: only bars need a line.
        return setElements.empty();
    }
    std::size_t current = 0;
    std::uint64_t placed = 0;
    std::uint64_t n = 0;
    for (const XmlElement* set : setElements) {
        Line* line = lines[current];
        if (placed + 1 > line->partition()) {
            if (++current >= lines.size()) {
                return false;
            }
            line = lines[current];
            placed = 0;
        }
        const XmlElement* part1 = set->firstChild("part1");
        double width = 0;
        int right = TOVBarlineSingle;
        if (part1) {
            width = floatAttr(*part1, "width") * kLineWidth;
            // A width of 0 or below is no width of its own (the layout gives the bar its share) and is
            // kept as written; only a value that is no number at all is unsafe to keep.
            if (!std::isfinite(width)) {
                width = 0;
            }
            if (const XmlElement* barline = part1->firstChild("barline-right")) {
                right = deserializeBarlineType(barline->stringValue());
            }
        }
        Bar* bar = line->createNewBarWithNumberWidthBarlineType(n, width, right);
        if (!bar) {
            return false;
        }
        if (placed == 0) {
            const XmlElement* barline = part1 ? part1->firstChild("barline-left") : nullptr;
            line->setFirstBarLineType(barline ? deserializeBarlineType(barline->stringValue())
                                              : TOVBarlineSingle);
        }
        if (part1) {
            deserializeBarInBar(*part1, bar);
        }
        if (Line* lower = line->lower()) {
            if (const XmlElement* part2 = set->firstChild("part2")) {
                if (Bar* twin = lower->createNewBarWithNumberWidthBarlineType(n, width, right)) {
                    deserializeBarInBar(*part2, twin);
                }
            }
        }
        ++placed;
        ++n;
    }
    return true;
}

bool TOVDocumentParser::checkAndRepairStructure(Document* document) {
    // A double line whose measure-sets lacked a "part2" gets empty lower twins, so that every upper bar has
    // its twin; then the bars must be numbered 0, 1, 2 ... in walk order, each lower bar as its twin.
    std::uint64_t expected = 0;
    for (const Page* page : document->pageArray()) {
        std::uint64_t usedSlots = 0;
        for (Line* line : page->lineArray()) {
            if (line->isLowerOfDoublePart()) {
                continue;
            }
            usedSlots += line->lower() ? 2 : 1;
            if (Line* lower = line->lower()) {
                line->completeLowerTwins();
                processPendingChanges(document);
                if (lower->barArray().size() != line->barArray().size()) {
                    return false;
                }
            }
            const std::vector<Bar*> bars = line->barArray();
            if (bars.size() > line->partition()) {
                return false;
            }
            for (const Bar* bar : bars) {
                if (bar->num() != expected++) {
                    return false;
                }
                const Bar* twin = bar->alternativeBarInDoubleLine();
                if (line->lower() && (!twin || twin->num() != bar->num())) {
                    return false;
                }
            }
        }
        if (usedSlots > page->aPage()) {
            return false;
        }
    }
    return true;
}

void TOVDocumentParser::deserializeToolsSymbolsInDocument(const XmlElement& symbols,
                                                          Document* document) const {
    for (const XmlElement* element : symbols.children("text-symbol")) {
        if (!matches(element->attribute("type"), "free-text")) {
            continue;
        }
        SymbolText* symbol = document->createNewSymbolTextWithTypeFrame(
            TOVToolFreeText, deserializeFrameFromPosSize(*element, true, false));
        if (symbol) {
            symbol->setText(deserializeTextOfElement(*element, 20.0));
        }
    }
    for (const XmlElement* element : symbols.children("tool")) {
        const int type = deserializeToolsSymbolType(element->attribute("type"));
        if (type == 0) {
            // A tool of a kind we do not know has nothing to draw.
            continue;
        }
        if (SymbolTools* symbol = document->createNewSymbolToolsWithTypeFrame(
                type, deserializeFrameFromPosSize(*element, true, true))) {
            symbol->setAngle(finiteFloatAttr(*element, "angle"));
        }
    }
    for (const XmlElement* element : symbols.children("wave")) {
        if (SymbolTools* symbol = document->createNewSymbolToolsWithTypeFrame(
                TOVToolWave, deserializeFrameFromPosSize(*element, true, true))) {
            symbol->setAngle(finiteFloatAttr(*element, "angle"));
            symbol->setFlip(matches(element->attribute("flip"), "true"));
        }
    }
}

// ---- bar content

void TOVDocumentParser::serializeBarInto(const Bar* bar, XmlElement& part) const {
    if (bar->clefType() != 0) {
        if (std::optional<XmlElement> element = serializeClefType(bar->clefType())) {
            part.addChild(std::move(*element));
        }
    }
    if (bar->keyType() != 0) {
        if (std::optional<XmlElement> element = serializeKeyType(bar->keyType())) {
            part.addChild(std::move(*element));
        }
    }
    if (bar->timeType() != 0) {
        if (std::optional<XmlElement> element = serializeTimeType(bar->timeType())) {
            part.addChild(std::move(*element));
        }
    }
    if (bar->longRest() != 0) {
        part.addChild(textElement("long-rest", platform::formatUnsigned(bar->longRest())));
    }
    serializeSymbolsInto(bar, part);
    const std::vector<Chord*> chords = bar->chordArray();
    if (!chords.empty()) {
        XmlElement& element = part.addChild("chords");
        for (const Chord* chord : chords) {
            XmlElement& chordElement = element.addChild("chord");
            chordElement.appendAttribute("type", "chord");
            chordElement.appendAttribute("scale", platform::formatG(chord->scale()));
            serializeFrameOfResizableFixedSymbolInto(chord, chordElement);
            chordElement.appendAttribute("timing", platform::formatUnsigned(chord->timing()));
            chordElement.addChild(serializeChordValue(chord->chordElems()));
        }
    }
    const std::vector<Note*> notes = bar->noteArray();
    if (!notes.empty()) {
        XmlElement& harmonies = part.addChild("harmonies");
        for (const Note* note : notes) {
            serializeNoteInto(note, harmonies);
        }
    }
}

void TOVDocumentParser::serializeSymbolsInto(const Bar* bar, XmlElement& part) const {
    const std::vector<Symbol*> symbols = bar->symbols();
    if (symbols.empty()) {
        return;
    }
    XmlElement& element = part.addChild("symbols");
    for (const Symbol* symbol : symbols) {
        const int type = symbol->type();
        const int category = type & ~0xFF;
        const std::string word = serializeSymbolType(type);
        auto begin = [&](const char* name, bool withScale) -> XmlElement& {
            XmlElement& child = element.addChild(name);
            if (!word.empty()) {
                child.appendAttribute("type", word);
            }
            if (withScale) {
                child.appendAttribute("scale", platform::formatG(symbol->scale()));
            }
            return child;
        };
        const auto* repeat = dynamic_cast<const SymbolRepeat*>(symbol);
        const QString repeatID = repeat ? repeat->repeatIDString() : QString();
        if (category == TOVSymbolCategoryRehearsal) {
            const auto* text = dynamic_cast<const SymbolText*>(symbol);
            XmlElement& child = begin("text-symbol", false);
            serializeFrameIntoPosSize(symbol->frame(), child, true, false);
            child.addChild(text && text->text() ? serializeAttributedString(*text->text())
                                                : XmlElement("formatted-texts"));
        } else if (type >= TOVSymbolDaCapo && type <= TOVSymbolSegno) {
            XmlElement& child = begin("repeat-with-id", true);
            serializeFrameOfResizableFixedSymbolInto(symbol, child);
            if (!repeatID.isEmpty() && repeatID != QStringLiteral("0")) {
                child.addText(repeatID.toStdString());
            }
        } else if (type == TOVSymbolVoltaBegin || type == TOVSymbolVoltaEnd || type == TOVSymbolBisBegin ||
                   type == TOVSymbolBisEnd) {
            const bool volta = type <= TOVSymbolVoltaEnd;
            XmlElement& child = begin(volta ? "volta" : "bis", false);
            serializeFrameIntoPosSize(symbol->frame(), child, true, true);
            if ((type == TOVSymbolVoltaBegin || type == TOVSymbolBisEnd) && !repeatID.isEmpty()) {
                child.addChild(textElement("arbitrary-text", repeatID.toStdString()));
            }
        } else if (type == TOVSymbolRepeatTimes) {
            XmlElement& child = begin("repeat-times", true);
            serializeFrameOfResizableFixedSymbolInto(symbol, child);
            if (!repeatID.isEmpty()) {
                child.addText(repeatID.toStdString());
            }
        } else if (type == TOVSymbolTempoSpeed) {
            XmlElement& child = begin("speed", true);
            serializeFrameOfResizableFixedSymbolInto(symbol, child);
            const auto* tempo = dynamic_cast<const SymbolTempo*>(symbol);
            if (tempo && tempo->speed() != 0) {
                child.addText(platform::formatUnsigned(tempo->speed()));
            }
        } else if (type == TOVSymbolCrescendo || type == TOVSymbolDecrescendo) {
            XmlElement& child = begin("symbol", true);
            serializeFrameIntoPosSize(symbol->frame(), child, true, true);
        } else if (type >= TOVSymbolOctave8va && type <= TOVSymbolOctave15maBassa) {
            XmlElement& child = begin("symbol", false);
            serializeFrameIntoPosSize(symbol->frame(), child, true, true);
        } else if (category == TOVSymbolCategoryRepeat || category == TOVSymbolCategoryTempo ||
                   type == TOVSymbolPush8 || type == TOVSymbolPush16 ||
                   (type >= TOVSymbolDynamicsFFF && type <= TOVSymbolDynamicsFZ)) {
            XmlElement& child = begin("symbol", true);
            serializeFrameOfResizableFixedSymbolInto(symbol, child);
        }
    }
}

void TOVDocumentParser::deserializeBarInBar(const XmlElement& part, Bar* bar) const {
    if (const XmlElement* clef = part.firstChild("clef")) {
        bar->setClefType(deserializeClefType(clef));
    }
    if (const XmlElement* key = part.firstChild("key")) {
        bar->setKeyType(deserializeKeyType(key));
    }
    if (const XmlElement* time = part.firstChild("time")) {
        bar->setTimeType(deserializeTimeType(time));
    }
    if (const XmlElement* longRest = part.firstChild("long-rest")) {
        const std::int64_t bars = platform::integerValue(longRest->stringValue());
        bar->setLongRest(static_cast<std::uint64_t>(std::clamp<std::int64_t>(bars, 1, 999)));
    }
    if (const XmlElement* symbols = part.firstChild("symbols")) {
        deserializeSymbolsInBar(*symbols, bar);
    }
    if (const XmlElement* chords = part.firstChild("chords")) {
        deserializeChordsInBar(*chords, bar);
    }
    if (const XmlElement* harmonies = part.firstChild("harmonies")) {
        deserializeHarmoniesElemInBar(*harmonies, bar);
    }
}

void TOVDocumentParser::deserializeSymbolsInBar(const XmlElement& symbols, Bar* bar) const {
    // A bar is read with at most maxSymbolsInBar marks; the rest are left out.
    std::size_t room = maxSymbolsInBar;
    const auto haveRoom = [&] {
        if (room == 0) {
            ++objectsLeftOut_;
            return false;
        }
        --room;
        return true;
    };
    for (const XmlElement* element : symbols.children("text-symbol")) {
        if (!haveRoom()) {
            continue;
        }
        if (!matches(element->attribute("type"), "reharsal")) {
            continue;
        }
        if (SymbolText* symbol = bar->createNewSymbolTextWithTypeFrame(
                TOVSymbolMarkIntro, deserializeFrameFromPosSize(*element, true, false))) {
            symbol->setText(deserializeTextOfElement(*element, 20.0));
        }
    }
    auto positiveNumber = [](const XmlElement& element) {
        return platform::integerValue(element.stringValue());
    };
    for (const char* name : {"repeat-with-id", "repeat-times"}) {
        const bool times = std::string_view(name) == "repeat-times";
        for (const XmlElement* element : symbols.children(name)) {
            if (!haveRoom()) {
                continue;
            }
            const int type = deserializeSymbolType(element->attribute("type"));
            if (type == 0) {
                continue;
            }
            SymbolRepeat* symbol = bar->createNewSymbolRepeatWithTypeFrame(
                type, deserializeFrameFromPosSize(*element, true, true));
            if (!symbol) {
                continue;
            }
            const std::int64_t number = positiveNumber(*element);
            if (number > 0) {
                symbol->setRepeatIDNumber(number);
            } else if (times) {
                symbol->setRepeatIDNumber(0);
            }
            symbol->setScale(finiteFloatAttr(*element, "scale"));
        }
    }
    for (const char* name : {"volta", "bis"}) {
        const int withText = std::string_view(name) == "volta" ? TOVSymbolVoltaBegin : TOVSymbolBisEnd;
        for (const XmlElement* element : symbols.children(name)) {
            if (!haveRoom()) {
                continue;
            }
            const int type = deserializeSymbolType(element->attribute("type"));
            if (type == 0) {
                continue;
            }
            SymbolRepeat* symbol = bar->createNewSymbolRepeatWithTypeFrame(
                type, deserializeFrameFromPosSize(*element, true, true));
            if (symbol && type == withText) {
                if (const XmlElement* text = element->firstChild("arbitrary-text")) {
                    symbol->setRepeatIDString(cappedString(text->stringValue()));
                }
            }
        }
    }
    for (const XmlElement* element : symbols.children("speed")) {
        if (!haveRoom()) {
            continue;
        }
        const int type = deserializeSymbolType(element->attribute("type"));
        if (type == 0) {
            continue;
        }
        SymbolTempo* symbol =
            bar->createNewSymbolTempoWithTypeFrame(type, deserializeFrameFromPosSize(*element, true, true));
        if (!symbol) {
            continue;
        }
        const std::int64_t speed = positiveNumber(*element);
        if (speed > 0) {
            // Metronome speeds run from 0 to 999.
            symbol->setSpeed(static_cast<std::uint64_t>(std::min<std::int64_t>(speed, 999)));
        }
        symbol->setScale(finiteFloatAttr(*element, "scale"));
    }
    for (const XmlElement* element : symbols.children("symbol")) {
        if (!haveRoom()) {
            continue;
        }
        const int type = deserializeSymbolType(element->attribute("type"));
        if (type == 0) {
            continue;
        }
        const platform::Rect frame = deserializeFrameFromPosSize(*element, true, true);
        const int category = type & ~0xFF;
        Symbol* symbol =
            category == TOVSymbolCategoryTempo    ? bar->createNewSymbolTempoWithTypeFrame(type, frame)
            : category == TOVSymbolCategoryRepeat ? bar->createNewSymbolRepeatWithTypeFrame(type, frame)
                                                  : bar->createNewSymbolWithTypeFrame(type, frame);
        if (symbol) {
            symbol->setScale(finiteFloatAttr(*element, "scale"));
        }
    }
}

void TOVDocumentParser::deserializeChordsInBar(const XmlElement& chords, Bar* bar) const {
    TOVChordMeasuring* factory = TOVUtils::chordViewFactory();
    if (factory && oldFile_) {
        factory->setProfile(TOVUtils::defaultChordNotationProfile());
    }
    for (const XmlElement* element : chords.children("chord")) {
        const XmlElement* value = element->firstChild("chord-value");
        if (!value) {
            continue;
        }
        const TOVChordElems elems = deserializeChordValueFromXML(*value);
        const std::uint64_t timing = nonNegative(integerAttr(*element, "timing"));
        if (timing >= kLongestBarTicks) {
            // No bar reaches that far.
            ++objectsLeftOut_;
            continue;
        }
        Chord* chord = bar->createNewChordWithElemsTiming(elems, timing);
        if (!chord) {
            continue;
        }
        chord->setFrame(deserializeFrameFromPosSize(*element, true, true));
        chord->setScale(finiteFloatAttr(*element, "scale"));
        if (chord->scale() == 0 && factory) {
            // A chord stored without a scale is sized to the width its frame was drawn at.
            const std::optional<platform::Size> size = factory->boundsSizeOfChordFontID(elems, "Default");
            if (size && size->width > 0) {
                chord->setScale(chord->frame().width() / size->width);
            }
        }
    }
    if (factory && oldFile_) {
        factory->setProfile(TOVUtils::currentChordNotationProfile());
    }
}

// ---- notes

namespace {

const char* beamWord(int beam) {
    switch (beam) {
    case NoteUnit::BeamNone:
        return "none";
    case NoteUnit::BeamFirst:
        return "begin";
    case NoteUnit::BeamLast:
        return "end";
    case NoteUnit::BeamMiddle:
        return "continue";
    default:
        return nullptr;
    }
}

int beamOfWord(const std::optional<std::string>& word) {
    if (matches(word, "begin")) {
        return NoteUnit::BeamFirst;
    }
    if (matches(word, "end")) {
        return NoteUnit::BeamLast;
    }
    if (matches(word, "continue")) {
        return NoteUnit::BeamMiddle;
    }
    return NoteUnit::BeamNone;
}

std::uint64_t unitLength(const XmlElement& element) {
    return static_cast<std::uint64_t>(
        std::clamp<std::int64_t>(integerAttr(element, "duration"), 0, kMaxUnitLength));
}

} // namespace

void TOVDocumentParser::serializeNoteInto(const Note* note, XmlElement& harmonies) const {
    const std::vector<NoteUnit*> units = note->unitArray();
    std::uint64_t timing = note->timing();
    const bool triplet = note->isTriplet();
    const bool sextuplet = note->isSextuplet();
    const bool beamed = note->isBeam();
    const char* stem = note->flip() ? "down" : "up";
    for (std::size_t i = 0; i < units.size(); ++i) {
        const NoteUnit* unit = units[i];
        const bool first = i == 0;
        const bool last = i + 1 == units.size();
        const double height = first ? note->heightLeft() : last ? note->heightRight() : kPlainStemHeight;
        XmlElement* element = nullptr;
        if (triplet || sextuplet) {
            element = &harmonies.addChild(triplet ? "triplet-harmony" : "sextuplet-harmony");
            element->appendAttribute("tuplet", first ? "begin" : last ? "end" : "continue");
            if (const char* beam = beamWord(unit->beam())) {
                element->appendAttribute("beam", beam);
            }
            element->appendAttribute("number", platform::formatInteger(static_cast<std::int64_t>(i)));
            element->appendAttribute("timing", platform::formatUnsigned(timing));
            element->appendAttribute("duration", platform::formatUnsigned(unit->duration()));
            element->appendAttribute("stem-direction", stem);
            element->appendAttribute("stem-height", serializeFloatValue(height));
        } else {
            element = &harmonies.addChild("harmony");
            if (const char* beam = beamWord(unit->beam())) {
                element->appendAttribute("beam", beam);
            }
            element->appendAttribute("stem-height", serializeFloatValue(beamed ? height : kPlainStemHeight));
            element->appendAttribute("timing", platform::formatUnsigned(timing));
            element->appendAttribute("duration", platform::formatUnsigned(unit->duration()));
            element->appendAttribute("stem-direction", stem);
        }
        XmlElement& notes = element->addChild("notes");
        const std::vector<NoteTone*> tones = unit->toneArrayAscending();
        if (tones.empty()) {
            notes.addChild("rest");
        }
        for (const NoteTone* tone : tones) {
            notes.addChild(serializeTone(tone, note));
        }
        timing += unit->duration();
    }
}

XmlElement TOVDocumentParser::serializeTone(const NoteTone* tone, const Note* note) const {
    XmlElement element(tone->slash() ? "slash" : "pitch");
    if (tone->slash()) {
        element.appendAttribute("stemless", note->isBeatLength() ? "true" : "false");
    } else {
        element.appendAttribute("level", platform::formatInteger(tone->level()));
        element.appendAttribute("head", selializeNoteHeadType(tone->head()));
        if (const SymbolAccidental* accidental = tone->accidental()) {
            XmlElement& child = element.addChild("accidental");
            child.appendAttribute("type", serializeAccidentalType(accidental->type()));
            serializeFrameIntoPosSize(accidental->frame(), child, true, false);
        }
    }
    // The file marks a tie on its left tone only and a load remakes it to the next tone: a tie that lost
    // its right tone is no tie in the song and must not come back as one.
    if (Tie::isWhole(tone->tieRight())) {
        element.addChild("tie");
    }
    const std::vector<SymbolInNote*> articulations = tone->articulations();
    if (!articulations.empty()) {
        XmlElement& list = element.addChild("articulations");
        for (const SymbolInNote* articulation : articulations) {
            if (articulation->type() == TOVSymbolSlur) {
                XmlElement& slur = list.addChild("slur");
                slur.appendAttribute("type", "slur");
                serializeFrameIntoPosSize(articulation->frame(), slur, true, true);
                slur.appendAttribute("angle", platform::formatG(articulation->angle()));
                slur.appendAttribute("bow-direction", articulation->flip() ? "down" : "up");
            } else {
                XmlElement& child = list.addChild("articulation");
                child.appendAttribute("type", serializeArticulationType(articulation->type()));
                serializeFrameIntoPosSize(articulation->frame(), child, true, false);
            }
        }
    }
    return element;
}

// The ticks of one bar that the notes read so far take. A note (or a whole tuplet) is read only when it
// lasts at least the shortest value the notation writes, into free ticks that end within the longest bar
// a time signature makes (the bar's own length is applied once the song is whole): two notes never sound
// at once in a bar, so a bar holds at most 56 notes.
class TOVDocumentParser::BarTicks {
public:
    bool take(std::uint64_t from, std::uint64_t length) {
        if (length < kShortestValueTicks || from >= kLongestBarTicks || length > kLongestBarTicks - from) {
            return false;
        }
        const auto next = spans_.lower_bound(from);
        if (next != spans_.end() && next->first < from + length) {
            return false;
        }
        if (next != spans_.begin() && std::prev(next)->second > from) {
            return false;
        }
        spans_.emplace(from, from + length);
        return true;
    }

private:
    // Start to end of each note's ticks.
    std::map<std::uint64_t, std::uint64_t> spans_;
};

void TOVDocumentParser::deserializeHarmoniesElemInBar(const XmlElement& harmonies, Bar* bar) const {
    BarTicks taken;
    for (const bool triplet : {true, false}) {
        const char* delimiter = oldFile_ ? "beam" : "tuplet";
        std::vector<const XmlElement*> group;
        bool open = false;
        for (const XmlElement* member :
             harmonies.children(triplet ? "triplet-harmony" : "sextuplet-harmony")) {
            const std::optional<std::string> word = member->attribute(delimiter);
            if (matches(word, "begin")) {
                group.assign(1, member);
                open = true;
                continue;
            }
            if (!open) {
                continue;
            }
            group.push_back(member);
            if (matches(word, "end")) {
                deserializeTupletHarmonyElemsArrayInBar(group, bar, triplet, taken);
                // A group ends at its "end": later members wait for the next "begin".
                group.clear();
                open = false;
            }
        }
    }
    const std::vector<const XmlElement*> singles = harmonies.children("harmony");
    if (!singles.empty()) {
        deserializeHarmonyElemsArrayInBar(singles, bar, taken);
    }
}

void TOVDocumentParser::deserializeTupletHarmonyElemsArrayInBar(const std::vector<const XmlElement*>& members,
                                                                Bar* bar, bool triplet,
                                                                BarTicks& taken) const {
    std::vector<std::uint64_t> lengths;
    std::uint64_t whole = 0;
    for (const XmlElement* member : members) {
        lengths.push_back(unitLength(*member));
        whole += lengths.back();
    }
    if (whole == 0 || whole > static_cast<std::uint64_t>(kMaxUnitLength)) {
        return;
    }
    Note* note = nullptr;
    for (const XmlElement* member : members) {
        const std::optional<std::string> position = member->attribute(oldFile_ ? "beam" : "tuplet");
        if (matches(position, "begin")) {
            const std::uint64_t from = nonNegative(integerAttr(*member, "timing"));
            if (!taken.take(from, whole)) {
                ++objectsLeftOut_;
                return;
            }
            note =
                triplet
                    ? bar->createNewTripletFromLengthUnitsLevelKind(from, lengths, 0, NoteUnit::KindRest)
                    : bar->createNewSextupletFromLengthUnitsLevelKind(from, lengths, 0, NoteUnit::KindRest);
            if (note) {
                note->setHeightLeft(deserializeFloatSting(member->attribute("stem-height")));
                note->setFlip(matches(member->attribute("stem-direction"), "down"));
            }
        } else if (note && matches(position, "end")) {
            note->setHeightRight(deserializeFloatSting(member->attribute("stem-height")));
        }
        if (!note) {
            continue;
        }
        const std::vector<NoteUnit*> units = note->unitArray();
        const std::int64_t number = integerAttr(*member, "number");
        if (number < 0 || static_cast<std::uint64_t>(number) >= units.size()) {
            continue;
        }
        NoteUnit* unit = units[static_cast<std::size_t>(number)];
        unit->setBeam(oldFile_ ? NoteUnit::BeamNone : beamOfWord(member->attribute("beam")));
        deserializeTonesFromXMLInUit(member->firstChild("notes"), unit);
    }
    if (note && oldFile_) {
        const std::vector<NoteUnit*> units = note->unitArray();
        std::vector<int> beams;
        for (const NoteUnit* unit : units) {
            beams.push_back(beamTypeTupletForOldNoteUnit(unit));
        }
        for (std::size_t i = 0; i < units.size(); ++i) {
            units[i]->setBeam(beams[i]);
        }
    }
}

void TOVDocumentParser::deserializeHarmonyElemsArrayInBar(const std::vector<const XmlElement*>& members,
                                                          Bar* bar, BarTicks& taken) const {
    std::vector<Note*> run;
    double runHeightLeft = 0;
    bool runFlip = false;
    for (const XmlElement* member : members) {
        const std::uint64_t timing = nonNegative(integerAttr(*member, "timing"));
        const std::uint64_t duration = unitLength(*member);
        const XmlElement* notes = member->firstChild("notes");
        const int kind = noteUnitKindOfXMLElem(notes);
        Note* note =
            taken.take(timing, duration) ? bar->createNewSingleRestFromLength(timing, duration) : nullptr;
        if (!note && duration > 0) {
            ++objectsLeftOut_;
        }
        if (!note) {
            // A unit that made no note takes no part in a beam run either.
            continue;
        }
        NoteUnit* unit = note->firstUnit();
        if (unit && (kind == NoteUnit::KindMelody || kind == NoteUnit::KindSlash)) {
            unit->setType(NoteUnit::GroupNote + static_cast<std::uint32_t>(duration));
        }
        if (unit) {
            deserializeTonesFromXMLInUit(notes, unit);
        }
        note->setHeightLeft(deserializeFloatSting(member->attribute("stem-height")));
        note->setFlip(matches(member->attribute("stem-direction"), "down"));

        const std::optional<std::string> beam = member->attribute("beam");
        if (matches(beam, "begin")) {
            run.assign(1, note);
            runHeightLeft = note->heightLeft();
            runFlip = note->flip();
        } else if (!run.empty() && (matches(beam, "continue") || matches(beam, "end"))) {
            run.push_back(note);
            if (matches(beam, "end")) {
                const double heightRight = deserializeFloatSting(member->attribute("stem-height"));
                if (Note* beamed = bar->makeBeamOn(run)) {
                    beamed->setHeightLeft(runHeightLeft);
                    beamed->setFlip(runFlip);
                    beamed->setHeightRight(heightRight);
                }
                // A run ends at its "end": a later "continue" or "end" joins nothing.
                run.clear();
            }
        }
    }
}

int TOVDocumentParser::noteUnitKindOfXMLElem(const XmlElement* notes) {
    if (notes && notes->firstChild("pitch")) {
        return NoteUnit::KindMelody;
    }
    if (notes && notes->firstChild("slash")) {
        return NoteUnit::KindSlash;
    }
    return NoteUnit::KindRest;
}

void TOVDocumentParser::deserializeTonesFromXMLInUit(const XmlElement* notes, NoteUnit* unit) const {
    if (!notes || !unit) {
        return;
    }
    auto readArticulations = [this](const XmlElement& toneElement, NoteTone* tone) {
        const XmlElement* list = toneElement.firstChild("articulations");
        if (!list) {
            return;
        }
        if (const XmlElement* slur = list->firstChild("slur")) {
            if (SymbolInNote* symbol = tone->createNewArticulationWithTypeFrame(
                    TOVSymbolSlur, deserializeFrameFromPosSize(*slur, true, true))) {
                symbol->setAngle(finiteFloatAttr(*slur, "angle"));
                symbol->setFlip(matches(slur->attribute("bow-direction"), "down"));
            }
        }
        // A tone carries each articulation once.
        std::set<int> types;
        for (const XmlElement* articulation : list->children("articulation")) {
            const int type = deserializeArticulationType(articulation->attribute("type"));
            if (!types.insert(type).second) {
                ++objectsLeftOut_;
                continue;
            }
            tone->createNewArticulationWithTypeFrame(type,
                                                     deserializeFrameFromPosSize(*articulation, true, false));
        }
    };
    const std::vector<const XmlElement*> pitches = notes->children("pitch");
    if (!pitches.empty()) {
        // A unit holds one tone per level, and only levels a page can show.
        std::set<std::int64_t> levels;
        for (const XmlElement* pitch : pitches) {
            const std::int64_t level = std::clamp(integerAttr(*pitch, "level"), -NoteTone::maxDrawableLevel,
                                                  NoteTone::maxDrawableLevel);
            if (!levels.insert(level).second) {
                ++objectsLeftOut_;
                continue;
            }
            NoteTone* tone = unit->createNewToneWithLevel(level);
            if (!tone) {
                continue;
            }
            tone->setHead(deserializeNoteHeadType(pitch->attribute("head")));
            if (pitch->firstChild("tie")) {
                tone->setNeedCreateTie(true);
            }
            if (const XmlElement* accidental = pitch->firstChild("accidental")) {
                tone->createNewAccidentalWithTypeFrame(
                    deserializeAccidentalType(accidental->attribute("type")),
                    deserializeFrameFromPosSize(*accidental, true, false));
            }
            readArticulations(*pitch, tone);
        }
        return;
    }
    if (const XmlElement* slash = notes->firstChild("slash")) {
        NoteTone* tone = unit->createNewSlash();
        if (!tone) {
            return;
        }
        if (matches(slash->attribute("stemless"), "true")) {
            unit->setType(NoteUnit::GroupNote + NoteUnit::BeatLength);
        }
        if (slash->firstChild("tie")) {
            tone->setNeedCreateTie(true);
        }
        readArticulations(*slash, tone);
    }
}

int TOVDocumentParser::beamTypeTupletForOldNoteUnit(const NoteUnit* unit) {
    const Note* note = unit ? unit->note() : nullptr;
    if (!note) {
        return NoteUnit::BeamNone;
    }
    const std::vector<NoteUnit*> units = note->unitArray();
    for (const NoteUnit* each : units) {
        if (each->kind() == NoteUnit::KindRest) {
            return NoteUnit::BeamNone;
        }
    }
    const std::uint64_t total = note->duration();
    if ((note->isTriplet() && total >= 480) || (note->isSextuplet() && total >= 960)) {
        return NoteUnit::BeamNone;
    }
    if (unit == units.front()) {
        return NoteUnit::BeamFirst;
    }
    if (unit == units.back()) {
        return NoteUnit::BeamLast;
    }
    return NoteUnit::BeamMiddle;
}
