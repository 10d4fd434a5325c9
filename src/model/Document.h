#pragma once

#include "model/TOVChordElems.h"
#include "model/TOVManagedObject.h"
#include "platform/foundation/Geometry.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class Bar;
class BarSnapShot;
class ChordHistory;
class Line;
class Page;
class Song;
class Symbol;
class SymbolText;
class SymbolTools;
class TOVPboardBars;

namespace platform {
class Pasteboard;
}

// The root entity of a song, one per context. It owns the pages (and through them the lines and bars),
// the page-level drawing tools and texts, the chord history and the song header; holds the document-wide
// settings; hands every entity below it the undo refresh buffer; and offers the whole-document walks.
//
// Walk order: pages by number, the single and upper lines of each page by order, the bars of each line by
// number; where a walk covers lower lines, a line's own bars come before those of its lower line.
class Document : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;

    // How bar numbers are shown; read and written on the stored value.
    std::uint64_t barNumberShow() const;
    void setBarNumberShow(std::uint64_t value);
    // The document's notation font ("Default" for the built-in glyphs); the setters do nothing when the
    // stored text is the same.
    QString plugInFontID() const;
    void setPlugInFontID(const QString& fontID);
    QString plugInFontName() const;
    void setPlugInFontName(const QString& fontName);

    // The undo refresh buffer of the window showing the document (kept alive by the document too).
    TOVCoreDataController* coreDataController() const override { return coreDataController_.get(); }
    void setCoreDataController(std::shared_ptr<TOVCoreDataController> controller);

    Song* song() const;
    std::vector<Page*> pages() const;
    std::vector<Symbol*> symbols() const;
    std::vector<ChordHistory*> chordHistory() const;
    // Pages by number, chord history by index; computed on every call.
    std::vector<Page*> pageArray() const;
    std::vector<ChordHistory*> chordHistoryArray() const;

    // Creation and removal; each ends with the context processing its pending changes.
    Page* createNewPageWithNumberAPage(std::uint64_t num, std::uint64_t aPage);
    // The entry is numbered by the count of entries after adding it, whatever index is passed.
    ChordHistory* createNewChordHistoryWithElemsIndex(const TOVChordElems& elems, std::uint64_t index);
    Song* createNewSong();
    SymbolTools* createNewSymbolToolsWithTypeFrame(int type, const platform::Rect& frame);
    SymbolText* createNewSymbolTextWithTypeFrame(int type, const platform::Rect& frame);
    // Deletes the page with what it owns and renumbers the pages behind it.
    void removePage(Page* page);
    void removeSymbol(Symbol* symbol);

    Page* nextPageOf(const Page* page) const;
    Page* previousPageOf(const Page* page) const;
    Page* lastPage() const;
    Line* lastLine() const;
    // The bar-less line at the top of the first page.
    Line* firstDummyLine() const;
    // The number of the last bar of the last line of the last page; 0 when that line has no bars.
    std::uint64_t maxBarNumber() const;

    // Recomputes the clef, key and time inherited by every bar: one chain over single and upper lines
    // (starting at treble clef, no key, 4/4) and one over lower lines (starting at bass clef).
    void updateClefKeyTimeStateForAllBars();
    // Runs the width check of every line and lower line.
    void shouldNormalizeAllBarWidthInDocument();
    // Adds (subtracts) length to the number of every page numbered above num.
    void incrementPageNumberOfPagesBehindWithLength(std::uint64_t num, std::uint64_t length);
    void decrementPageNumberOfPagesBehindWithLength(std::uint64_t num, std::uint64_t length);

    // ---- Bar ranges ------------------------------------------------------------------------------------
    // Every operation runs in the caller's undo group, keeps bars numbered 0, 1, 2 ... in walk order and
    // re-flows lines and pages; none refreshes views.

    // The type declared on the pasteboard for copied bars, and the type their data is stored under.
    static constexpr const char* CopiedBarsType = "TOVCopiedBarDataVer2";
    static constexpr const char* CopiedBarsDataType = "copiedBars";

    // Empty bars numbered from the bar's number plus one; a short insertion stays on the bar's line, a
    // longer one is laid out four bars to a new line.
    void createNewBarsBehindBarLength(Bar* bar, std::uint64_t length);
    // Deletes the bars numbered from..to (in either order) and closes the gap.
    void deleteBarsFromTo(Bar* from, Bar* to);
    // Puts snapshots of the bars numbered from..to, upper and lower, on the pasteboard.
    void copyBarsIntoPasteBoardFromTo(Bar* from, Bar* to, platform::Pasteboard& pasteboard);
    // Writes the copied bars count times from the bar on, overwriting bars and adding bars past the end;
    // answers the bars written (upper and lower) in order. Data that is missing, damaged or foreign writes
    // nothing.
    std::vector<Bar*> pasteBarsFromPasteBoardAtBarCountChordNote(Bar* bar, std::uint64_t count, bool chord,
                                                                 bool note,
                                                                 const platform::Pasteboard& pasteboard);
    // The bar numbered num of a single or upper line, or its lower twin; none when there is none.
    Bar* barFromNumberLower(std::uint64_t num, bool lower) const;
    static const BarSnapShot* snapBarFromDataNumberLower(const TOVPboardBars& data, std::uint64_t num,
                                                         bool lower);
    // Adds (subtracts) length to the number of every bar of a single or upper line numbered above num; the
    // twins follow.
    void incrementBarNumberOfBarsBehindWithLength(std::uint64_t num, std::uint64_t length);
    void decrementBarNumberOfBarsBehindWithLength(std::uint64_t num, std::uint64_t length);
    // Each bar in walk order, a line's own bars before those of its lower line.
    void truncateDataByTimeSignature();
    void completeTie();
    // Every bar in walk order.
    std::vector<Bar*> allBarsInWalkOrder() const;

    bool startObserving() override { return beginObserving(); }
    bool stopObserving() override { return endObserving(); }

protected:
    void didInitialize() override;
    void didChange(const platform::Change& change) override;

private:
    // A new document-level drawing tool of the entity (SymbolTools or a kind of it).
    SymbolTools* createDrawingToolOfEntity(std::string_view entity, int type, const platform::Rect& frame);

    std::shared_ptr<TOVCoreDataController> coreDataController_;
};
