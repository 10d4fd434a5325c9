#pragma once

#include "model/TOVChordElems.h"
#include "platform/foundation/AttributedString.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/XmlElement.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class Bar;
class Document;
class Line;
class Note;
class NoteTone;
class NoteUnit;
class Page;
class Symbol;

// Reads and writes the "tovz" interchange file: one gzip stream of a UTF-8 XML document that mirrors the
// song model. A fresh parser is made for every load and every save; a load fills a Document that was just
// inserted and holds nothing yet, and after it the parser keeps the file's data version and plug-in font.
//
// Reading never fails on content: unknown words read as the field's default or skip their element and
// numbers are clamped to the ranges the model holds. Only a container or XML that cannot be read, or a
// layout that does not fit the pages and lines the file itself declares, fails the load, with a plain NO.
class TOVDocumentParser {
public:
    // The data version this program writes.
    static constexpr std::string_view currentDataVersion = "1.5";

    // How the formatted-text reader finds fonts: a font by name (PostScript, full or family name) at a
    // size, or none; and the default user font at a size. Without a registered lookup every name is taken
    // as it stands and the default font is "DejaVuSans", which keeps the reader usable where no font
    // service runs (the fuzz target). The application and the tools that read songs install the machine's
    // fonts (TOVApplicationController::registerServices).
    struct FontLookup {
        std::function<std::optional<platform::TextFont>(const QString& name, double size)> named;
        std::function<platform::TextFont(double size)> userFont;
    };
    static void setFontLookup(FontLookup lookup);

    bool saveTOVZDocumentToUrlFromDocument(const std::filesystem::path& url, const Document* document);
    bool loadTOVZDocumentFromUrlToDocument(const std::filesystem::path& url, Document* document);
    // The same on bytes in memory: the gzip stream of the document, or none when it cannot be built.
    std::optional<std::vector<std::uint8_t>> tovzDataFromDocument(const Document* document);
    bool loadTOVZDocumentFromDataToDocument(std::span<const std::uint8_t> data, Document* document);

    // What opening a document does once its file is read, so that every program that opens songs (the
    // document window, the tools) holds the same song: the song takes the plug-in font the file names,
    // even when that font is not installed here; every bar's content fits its time signature; the ties
    // the file marks are made (the reader only marks their tones); pending changes are processed.
    void completeOpenedDocument(Document* document) const;

    // Why the last load or save failed, in a few words ("not a gzip stream or damaged"); empty after a
    // success. A save fails when the file would not open again (past the reader's caps, or with pages or
    // lines the format cannot hold), so that no song is written that cannot be read back.
    const std::string& failureReason() const { return failureReason_; }

    // What the last load cut or left out, each in a sentence for the notice after the load (texts longer
    // than maxTextLength cut, notes, tones, chords and marks a bar cannot hold left out); empty when the
    // song came in whole.
    const std::vector<std::string>& loadNotices() const { return loadNotices_; }
    // The longest text (in UTF-16 code units) a song property, mark or free text is read with.
    static constexpr qsizetype maxTextLength = 64 * 1024;
    // The most marks (symbols) one bar is read with.
    static constexpr std::size_t maxSymbolsInBar = 256;

    const std::optional<QString>& dataVersion() const { return dataVersion_; }
    const std::optional<QString>& fontID() const { return fontID_; }
    const std::optional<QString>& fontName() const { return fontName_; }

    // A file is old (its tuplets delimited by "beam", its chords set with the default notation profile)
    // when its version is at most 1.4, and later than this program when it is above 1.5; versions compare
    // component by component as numbers ("1.10" is later than "1.5"). No version is old and not later.
    static bool isOldDataVersion(const std::optional<QString>& version);
    static bool isLaterDataVersion(const std::optional<QString>& version);

    // Vocabularies: code to word (empty when the code has none) and word to code (0 when unmatched).
    static std::string serializeBarlineType(int type);
    static int deserializeBarlineType(const std::optional<std::string>& word);
    static std::optional<platform::XmlElement> serializeClefType(int type);
    static std::optional<platform::XmlElement> serializeKeyType(int type);
    static std::optional<platform::XmlElement> serializeTimeType(int type);
    static int deserializeClefType(const platform::XmlElement* element);
    static int deserializeKeyType(const platform::XmlElement* element);
    static int deserializeTimeType(const platform::XmlElement* element);
    static std::string serializeToolsSymbolType(int type);
    static int deserializeToolsSymbolType(const std::optional<std::string>& word);
    static std::string serializeSymbolType(int type);
    static int deserializeSymbolType(const std::optional<std::string>& word);
    static std::string selializeNoteHeadType(int type);
    static int deserializeNoteHeadType(const std::optional<std::string>& word);
    static std::string serializeAccidentalType(int type);
    static int deserializeAccidentalType(const std::optional<std::string>& word);
    static std::string serializeArticulationType(int type);
    static int deserializeArticulationType(const std::optional<std::string>& word);

    // Positions and sizes: points written in staff spaces (points / 5.9) with "%g"; read back as a
    // single-precision number times 5.9.
    static std::string serializeFloatValue(double points);
    static double deserializeFloatSting(const std::optional<std::string>& text);
    static void serializeFrameIntoPosSize(const platform::Rect& frame, platform::XmlElement& element,
                                          bool pos, bool size);
    static void serializeFrameOfResizableFixedSymbolInto(const Symbol* symbol, platform::XmlElement& element);
    static platform::Rect deserializeFrameFromPosSize(const platform::XmlElement& element, bool pos,
                                                      bool size);

    static platform::XmlElement serializeChordValue(const TOVChordElems& elems);
    static TOVChordElems deserializeChordValueFromXML(const platform::XmlElement& element);

    static platform::XmlElement serializeAttributedString(const platform::AttributedString& text);
    static platform::AttributedString
    deserializeAttributedStringDefaultFontSize(const platform::XmlElement& element, double defaultFontSize);
    // The exact archive of a formatted text beside the run list; none unless it says it is ours and decodes.
    static std::optional<platform::AttributedString>
    deserializeBase64AttributedString(const platform::XmlElement& element);

    void serializeBarInto(const Bar* bar, platform::XmlElement& part) const;
    void deserializeBarInBar(const platform::XmlElement& part, Bar* bar) const;
    void serializeNoteInto(const Note* note, platform::XmlElement& harmonies) const;
    void deserializeHarmoniesElemInBar(const platform::XmlElement& harmonies, Bar* bar) const;

private:
    bool fail(std::string reason);
    bool loadFromXmlRoot(const platform::XmlElement& root, Document* document);
    bool deserializeLinesFromXMLInDocument(const platform::XmlElement& lines, Document* document,
                                           std::vector<Line*>& created);
    void deserializeSongFromXMLInDocument(const platform::XmlElement& song, Document* document) const;
    bool deserializeBarSetsFromXMLInLines(const platform::XmlElement& sets, const std::vector<Line*>& lines);
    void deserializeToolsSymbolsInDocument(const platform::XmlElement& symbols, Document* document) const;
    static bool checkAndRepairStructure(Document* document);
    static std::optional<std::string> layoutFaultForSaving(const Document* document);

    void serializeSymbolsInto(const Bar* bar, platform::XmlElement& part) const;
    void deserializeSymbolsInBar(const platform::XmlElement& symbols, Bar* bar) const;
    void deserializeChordsInBar(const platform::XmlElement& chords, Bar* bar) const;
    platform::XmlElement serializeTone(const NoteTone* tone, const Note* note) const;
    void deserializeTonesFromXMLInUit(const platform::XmlElement* notes, NoteUnit* unit) const;
    class BarTicks;
    void deserializeTupletHarmonyElemsArrayInBar(const std::vector<const platform::XmlElement*>& members,
                                                 Bar* bar, bool triplet, BarTicks& taken) const;
    void deserializeHarmonyElemsArrayInBar(const std::vector<const platform::XmlElement*>& members, Bar* bar,
                                           BarTicks& taken) const;
    static int noteUnitKindOfXMLElem(const platform::XmlElement* notes);
    static int beamTypeTupletForOldNoteUnit(const NoteUnit* unit);
    std::optional<platform::AttributedString> deserializeTextOfElement(const platform::XmlElement& owner,
                                                                       double defaultFontSize) const;
    QString cappedString(const std::string& text) const;

    std::optional<QString> dataVersion_;
    std::optional<QString> fontID_;
    std::optional<QString> fontName_;
    bool oldFile_ = true;
    std::string failureReason_;
    std::vector<std::string> loadNotices_;
    // Counted while a load reads, for its notices.
    mutable std::uint64_t textsCut_ = 0;
    mutable std::uint64_t objectsLeftOut_ = 0;
};
