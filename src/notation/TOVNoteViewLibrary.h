#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class NoteUnit;
class TOVNoteAccidentalView;
class TOVNotePreview;
class TOVObjectView;

// The note glyphs of one font ("Default" or a plug-in font): heads, slash heads, flags and rests,
// accidentals and articulations, each a prototype view read once from the font's SVG file. A glyph whose
// file is missing is simply absent, so that the factory can fall back to "Default" glyph by glyph.
// Prototypes are never handed out: lookups answer copies of them or of their outlines.
//
// Lengths are in ticks (a quarter is 240); the lengths of triplet and sextuplet members (40, 80, 160, 320,
// 640) and of dotted values have rows of their own in the tables.
class TOVNoteViewLibrary {
public:
    using ViewDictionary = std::map<std::string, std::shared_ptr<TOVObjectView>>;
    using AccidentalDictionary = std::map<std::string, std::shared_ptr<TOVNoteAccidentalView>>;

    // The keys of each dictionary, in loading order.
    static const std::vector<std::string>& generalKeys();
    static const std::vector<std::string>& accidentalKeys();
    static const std::vector<std::string>& articulationKeys();

    TOVNoteViewLibrary();
    explicit TOVNoteViewLibrary(const std::string& fontID);
    ~TOVNoteViewLibrary();

    const std::string& fontID() const { return fontID_; }
    // Rebuilds every dictionary and the preview when the ID differs from the stored one; the same ID
    // does nothing.
    void setFontID(const std::string& fontID);

    // Where the key's SVG file of the library's font is, whether or not it exists.
    std::optional<std::string> svgFileForResourceName(const std::string& key) const;

    void initDictionaryGeneral();
    void initDictionaryAccidental();
    // The slur is always there: it draws itself and has no file.
    void initDictionaryArticulation();

    // The resource name of a notes-palette item code (a rhythm value or one of the note symbols
    // TOVNoteItemTie to TOVNoteItemBeatSlash); none for any other code.
    static std::optional<std::string> resourceNameFromType(std::uint32_t type);
    // The image a palette item shows while it is dragged: the filled black head (at the size of this
    // font's black head; an empty image without one) for notes, tuplets and the harmony tone, the
    // application's own PNG image of the item for every other item; none when there is no such image.
    std::optional<platform::Image> imageForNotePaletteDraggingPreviewWithType(std::uint32_t type) const;

    // A copy of the preview template; null without one.
    std::shared_ptr<TOVNotePreview> tonePreviewForDragging() const;

    // Copies of outlines; the heads fall back to the black head for any other length, rests and flags
    // answer none for a length in no row.
    std::optional<platform::BezierPath> bezierPathForToneHeadOfLength(std::uint64_t length) const;
    std::optional<platform::BezierPath> bezierPathForSlashHeadOfLength(std::uint64_t length) const;
    std::optional<platform::BezierPath> bezierPathForRestOfLength(std::uint64_t length) const;
    // By the unit's kind: a tone head, a rest or a slash head (a missing unit counts as a tone).
    std::optional<platform::BezierPath> bezierPathFromUnitLength(const NoteUnit* unit,
                                                                 std::uint64_t length) const;
    // The flag of the length; flipped, it is mirrored about the x axis (it hangs into negative y).
    std::optional<platform::BezierPath> bezierPathFlagForLengthFlip(std::uint64_t length, bool flip) const;

    // Copies of the prototypes of a symbol type (TOVSymbolTenuto to TOVSymbolSlur, TOVSymbolSharp to
    // TOVSymbolNatural); null for any other type or a glyph the font lacks. The articulation TOVSymbolSlur is
    // the slur view.
    std::shared_ptr<TOVObjectView> articulationViewWithSymbolType(int type) const;
    std::shared_ptr<TOVNoteAccidentalView> accidentalViewWithSymbolType(int type) const;

    const ViewDictionary& dictViewGeneral() const { return dictViewGeneral_; }
    void setDictViewGeneral(ViewDictionary dictionary) { dictViewGeneral_ = std::move(dictionary); }
    const AccidentalDictionary& dictViewAccidental() const { return dictViewAccidental_; }
    void setDictViewAccidental(AccidentalDictionary dictionary) {
        dictViewAccidental_ = std::move(dictionary);
    }
    const ViewDictionary& dictViewArticulation() const { return dictViewArticulation_; }
    void setDictViewArticulation(ViewDictionary dictionary) { dictViewArticulation_ = std::move(dictionary); }
    const std::shared_ptr<TOVNotePreview>& notePreview() const { return notePreview_; }
    void setNotePreview(std::shared_ptr<TOVNotePreview> preview) { notePreview_ = std::move(preview); }

private:
    std::optional<platform::BezierPath> generalPath(const char* key) const;

    std::string fontID_;
    bool built_ = false;
    ViewDictionary dictViewGeneral_;
    AccidentalDictionary dictViewAccidental_;
    ViewDictionary dictViewArticulation_;
    std::shared_ptr<TOVNotePreview> notePreview_;
};
