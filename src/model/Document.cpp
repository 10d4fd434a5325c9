#include "model/Document.h"

#include "model/Bar.h"
#include "model/ChordHistory.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/TOVCoreDataController.h"
#include "platform/data/ManagedObjectContext.h"

#include <algorithm>

namespace {

const QString kDefaultFont = QStringLiteral("Default");

template <typename T>
T* insert(const Document* document, std::string_view entityName) {
    platform::ManagedObjectContext* context = document->managedObjectContext();
    return context ? context->insertNewObject<T>(entityName) : nullptr;
}

} // namespace

void Document::didInitialize() {
    if (!hasValue("plugInFontID")) {
        setPrimitiveValue("plugInFontID", kDefaultFont.toStdString());
    }
    if (!hasValue("plugInFontName")) {
        setPrimitiveValue("plugInFontName", kDefaultFont.toStdString());
    }
}

std::uint64_t Document::barNumberShow() const {
    return unsignedValue("barNumberShow");
}

void Document::setBarNumberShow(std::uint64_t value) {
    setValue("barNumberShow", value);
}

QString Document::plugInFontID() const {
    return QString::fromStdString(stringValue("plugInFontID"));
}

void Document::setPlugInFontID(const QString& fontID) {
    // setValue does nothing when the stored text is the same.
    setValue("plugInFontID", fontID.toStdString());
}

QString Document::plugInFontName() const {
    return QString::fromStdString(stringValue("plugInFontName"));
}

void Document::setPlugInFontName(const QString& fontName) {
    setValue("plugInFontName", fontName.toStdString());
}

void Document::setCoreDataController(std::shared_ptr<TOVCoreDataController> controller) {
    coreDataController_ = std::move(controller);
}

Song* Document::song() const {
    return toOne<Song>("song");
}

std::vector<Page*> Document::pages() const {
    return toManyAs<Page>("pages");
}

std::vector<Symbol*> Document::symbols() const {
    return toManyAs<Symbol>("symbols");
}

std::vector<ChordHistory*> Document::chordHistory() const {
    return toManyAs<ChordHistory>("chordHistory");
}

std::vector<Page*> Document::pageArray() const {
    std::vector<Page*> pages = this->pages();
    std::stable_sort(pages.begin(), pages.end(), [](Page* a, Page* b) { return a->num() < b->num(); });
    return pages;
}

std::vector<ChordHistory*> Document::chordHistoryArray() const {
    std::vector<ChordHistory*> entries = chordHistory();
    std::stable_sort(entries.begin(), entries.end(),
                     [](ChordHistory* a, ChordHistory* b) { return a->index() < b->index(); });
    return entries;
}

Page* Document::createNewPageWithNumberAPage(std::uint64_t num, std::uint64_t aPage) {
    auto* page = insert<Page>(this, "Page");
    if (!page) {
        return nullptr;
    }
    page->setDocument(this);
    page->setNum(num);
    page->setAPage(aPage);
    processPendingChanges();
    return page;
}

ChordHistory* Document::createNewChordHistoryWithElemsIndex(const TOVChordElems& elems, std::uint64_t) {
    auto* entry = insert<ChordHistory>(this, "ChordHistory");
    if (!entry) {
        return nullptr;
    }
    entry->setChordElems(elems);
    entry->setDocument(this);
    entry->setIndex(toManyCount("chordHistory"));
    processPendingChanges();
    return entry;
}

Song* Document::createNewSong() {
    auto* song = insert<Song>(this, "Song");
    if (!song) {
        return nullptr;
    }
    setToOne("song", song);
    processPendingChanges();
    return song;
}

SymbolTools* Document::createDrawingToolOfEntity(std::string_view entity, int type,
                                                 const platform::Rect& frame) {
    auto* symbol = insert<SymbolTools>(this, entity);
    if (!symbol) {
        return nullptr;
    }
    symbol->setType(type);
    symbol->setFrame(frame);
    symbol->setDocument(this);
    processPendingChanges();
    return symbol;
}

SymbolTools* Document::createNewSymbolToolsWithTypeFrame(int type, const platform::Rect& frame) {
    return createDrawingToolOfEntity("SymbolTools", type, frame);
}

SymbolText* Document::createNewSymbolTextWithTypeFrame(int type, const platform::Rect& frame) {
    return static_cast<SymbolText*>(createDrawingToolOfEntity("SymbolText", type, frame));
}

void Document::removePage(Page* page) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!page || !context || page->isDeleted()) {
        return;
    }
    const std::uint64_t num = page->num();
    context->deleteObject(page);
    decrementPageNumberOfPagesBehindWithLength(num, 1);
    processPendingChanges();
}

void Document::removeSymbol(Symbol* symbol) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!symbol || !context) {
        return;
    }
    context->deleteObject(symbol);
    processPendingChanges();
}

Page* Document::nextPageOf(const Page* page) const {
    const std::vector<Page*> pages = pageArray();
    auto it = std::find(pages.begin(), pages.end(), page);
    if (it == pages.end() || it + 1 == pages.end()) {
        return nullptr;
    }
    return *(it + 1);
}

Page* Document::previousPageOf(const Page* page) const {
    const std::vector<Page*> pages = pageArray();
    auto it = std::find(pages.begin(), pages.end(), page);
    if (it == pages.end() || it == pages.begin()) {
        return nullptr;
    }
    return *(it - 1);
}

Page* Document::lastPage() const {
    const std::vector<Page*> pages = pageArray();
    return pages.empty() ? nullptr : pages.back();
}

Line* Document::lastLine() const {
    Page* page = lastPage();
    if (!page) {
        return nullptr;
    }
    const std::vector<Line*> lines = page->lineArray();
    return lines.empty() ? nullptr : lines.back();
}

Line* Document::firstDummyLine() const {
    const std::vector<Page*> pages = pageArray();
    if (pages.empty()) {
        return nullptr;
    }
    const std::vector<Line*> lines = pages.front()->lineArray();
    return lines.empty() ? nullptr : lines.front();
}

std::uint64_t Document::maxBarNumber() const {
    Line* line = lastLine();
    if (!line) {
        return 0;
    }
    const std::vector<Bar*> bars = line->barArray();
    return bars.empty() ? 0 : bars.back()->num();
}

namespace {

// The running clef, key and time of one chain of bars.
struct InheritanceChain {
    int clef;
    int key = 0;
    int time = 771;

    void visit(Bar* bar, int startClef) {
        if (bar->num() == 0) {
            if (bar->clefType() == 0) {
                bar->setInheritedClefType(startClef);
            }
            clef = bar->clefMode();
            if (bar->keyType() == 0) {
                bar->setInheritedKeyType(0);
            }
            key = bar->keyMode();
            if (bar->timeType() == 0) {
                bar->setInheritedTimeType(771);
            }
            time = bar->timeMode();
            return;
        }
        if (bar->clefType() == 0) {
            bar->setInheritedClefType(clef);
        } else {
            clef = bar->clefType();
        }
        if (bar->keyType() == 0) {
            bar->setInheritedKeyType(key);
        } else {
            key = bar->keyType();
        }
        if (bar->timeType() == 0) {
            bar->setInheritedTimeType(time);
        } else {
            time = bar->timeType();
        }
    }
};

constexpr int kTrebleClef = 256;
constexpr int kBassClef = 257;

} // namespace

void Document::updateClefKeyTimeStateForAllBars() {
    InheritanceChain upper{kTrebleClef};
    InheritanceChain lower{kBassClef};
    for (Page* page : pageArray()) {
        for (Line* line : page->lineArray()) {
            for (Bar* bar : line->barArray()) {
                upper.visit(bar, kTrebleClef);
            }
            if (Line* lowerLine = line->lower()) {
                for (Bar* bar : lowerLine->barArray()) {
                    lower.visit(bar, kBassClef);
                }
            }
        }
    }
}

void Document::shouldNormalizeAllBarWidthInDocument() {
    for (Page* page : pageArray()) {
        for (Line* line : page->lineArray()) {
            line->shouldNormalizeAllBarWidthInLine();
            if (Line* lower = line->lower()) {
                lower->shouldNormalizeAllBarWidthInLine();
            }
        }
    }
}

void Document::incrementPageNumberOfPagesBehindWithLength(std::uint64_t num, std::uint64_t length) {
    for (Page* page : pages()) {
        if (page->num() > num) {
            page->setNum(page->num() + length);
        }
    }
}

void Document::decrementPageNumberOfPagesBehindWithLength(std::uint64_t num, std::uint64_t length) {
    for (Page* page : pages()) {
        if (page->num() > num) {
            // Numbers never wrap below zero.
            page->setNum(page->num() > length ? page->num() - length : 0);
        }
    }
}

void Document::didChange(const platform::Change& change) {
    TOVManagedObject::didChange(change);
    TOVCoreDataController* controller = coreDataController();
    if (!observeON() || !controller) {
        return;
    }
    if (change.key == "pages") {
        controller->documentDidUpdatePages(this);
    } else if (change.key == "chordHistory") {
        controller->documentDidUpdateChordHistory(this);
    } else if (change.key == "symbols") {
        controller->documentDidUpdateSymbols(this);
    } else if (change.key == "plugInFontID" || change.key == "plugInFontName") {
        controller->documentDidUpdateDocument(this);
    }
}
