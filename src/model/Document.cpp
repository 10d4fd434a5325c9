#include "model/Document.h"

#include "model/Bar.h"
#include "model/BarSnapShot.h"
#include "model/ChordHistory.h"
#include "model/Line.h"
#include "model/NoteSnapShot.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/SymbolToolsSnapShot.h"
#include "model/TOVCoreDataController.h"
#include "model/TOVPboardBars.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/data/Pasteboard.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

#include <algorithm>
#include <cmath>
#include <utility>

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
    int time = TOVSymbolTime4_4;

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
                bar->setInheritedTimeType(TOVSymbolTime4_4);
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

} // namespace

void Document::updateClefKeyTimeStateForAllBars() {
    InheritanceChain upper{TOVSymbolClefG};
    InheritanceChain lower{TOVSymbolClefF};
    for (Page* page : pageArray()) {
        for (Line* line : page->lineArray()) {
            for (Bar* bar : line->barArray()) {
                upper.visit(bar, TOVSymbolClefG);
            }
            if (Line* lowerLine = line->lower()) {
                for (Bar* bar : lowerLine->barArray()) {
                    lower.visit(bar, TOVSymbolClefF);
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

// ---- Bar ranges
// ---------------------------------------------------------------------------------------------

namespace {

constexpr double kInsertedBarWidth = 130.0;
constexpr std::uint64_t kNewLinePartition = 4;

// The line the bar-range operations work on: the upper line of a double line.
Line* upperOf(Line* line) {
    if (line && line->isLowerOfDoublePart()) {
        return line->upper();
    }
    return line;
}

Line* lineOf(const Bar* bar) {
    return bar ? upperOf(bar->line()) : nullptr;
}

bool inRange(const Bar* bar, std::uint64_t from, std::uint64_t to) {
    return bar->num() >= from && bar->num() <= to;
}

int barLineOrSingle(int type) {
    return type >= TOVBarlineSingle && type <= TOVBarlineTransparent ? type : TOVBarlineSingle;
}

bool isFiniteRect(const platform::Rect& r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}

// Geometry a hostile archive could carry that no drawing can use; a NaN would also make the song unequal
// to itself, so that no undo could be checked against it.
bool isUsable(const SymbolSnapShot& snap) {
    if (!std::isfinite(snap.angle()) || !std::isfinite(snap.scale()) || !isFiniteRect(snap.frame()) ||
        !std::isfinite(snap.initialSize().width) || !std::isfinite(snap.initialSize().height)) {
        return false;
    }
    if (const auto* tools = dynamic_cast<const SymbolToolsSnapShot*>(&snap)) {
        return isFiniteRect(tools->frameRelativeToBarRect());
    }
    if (const auto* note = dynamic_cast<const NoteSnapShot*>(&snap)) {
        return std::isfinite(note->heightLeft()) && std::isfinite(note->heightRight());
    }
    return true;
}

// Settings a hostile archive could carry that the layout cannot use.
bool isUsable(const BarSnapShot& snap) {
    if (!std::isfinite(snap.width()) || !std::isfinite(snap.height()) || snap.width() < 0) {
        return false;
    }
    for (const BarSnapShot::SnapShots* contents :
         {&snap.chordArray(), &snap.noteArray(), &snap.symbolArray()}) {
        for (const auto& item : *contents) {
            if (!item || !isUsable(*item)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

std::vector<Bar*> Document::allBarsInWalkOrder() const {
    std::vector<Bar*> out;
    for (Page* page : pageArray()) {
        for (Line* line : page->lineArray()) {
            for (Bar* bar : line->barArray()) {
                out.push_back(bar);
            }
            if (Line* lower = line->lower()) {
                for (Bar* bar : lower->barArray()) {
                    out.push_back(bar);
                }
            }
        }
    }
    return out;
}

Bar* Document::barFromNumberLower(std::uint64_t num, bool lower) const {
    for (Page* page : pageArray()) {
        for (Line* line : page->lineArray()) {
            for (Bar* bar : line->bars()) {
                if (bar->num() == num) {
                    return lower ? bar->alternativeBarInDoubleLine() : bar;
                }
            }
        }
    }
    return nullptr;
}

const BarSnapShot* Document::snapBarFromDataNumberLower(const TOVPboardBars& data, std::uint64_t num,
                                                        bool lower) {
    for (const auto& snap : lower ? data.lowerBars() : data.upperBars()) {
        if (snap->num() == num) {
            return snap.get();
        }
    }
    return nullptr;
}

namespace {

// Gives every bar of a single or upper line numbered above num a new number, and its twin the same. The
// pairs are collected first: renumbering one by one would pair a bar with the twin of another whose number
// it passes through.
template <typename Shift>
void renumberBarsBehind(const Document& document, std::uint64_t num, Shift shift) {
    std::vector<std::pair<Bar*, Bar*>> pairs;
    for (Page* page : document.pageArray()) {
        for (Line* line : page->lineArray()) {
            for (Bar* bar : line->bars()) {
                if (bar->num() > num) {
                    pairs.emplace_back(bar, bar->alternativeBarInDoubleLine());
                }
            }
        }
    }
    for (auto [bar, twin] : pairs) {
        const std::uint64_t next = shift(bar->num());
        bar->justSetNum(next);
        if (twin) {
            twin->justSetNum(next);
        }
    }
}

} // namespace

void Document::incrementBarNumberOfBarsBehindWithLength(std::uint64_t num, std::uint64_t length) {
    renumberBarsBehind(*this, num, [length](std::uint64_t n) { return n + length; });
}

void Document::decrementBarNumberOfBarsBehindWithLength(std::uint64_t num, std::uint64_t length) {
    // Numbers never wrap below zero.
    renumberBarsBehind(*this, num, [length](std::uint64_t n) { return n > length ? n - length : 0; });
}

void Document::truncateDataByTimeSignature() {
    for (Bar* bar : allBarsInWalkOrder()) {
        if (!bar->isDeleted()) {
            bar->truncateDataByTimeSignature();
        }
    }
}

void Document::completeTie() {
    for (Bar* bar : allBarsInWalkOrder()) {
        bar->completeTie();
    }
}

void Document::createNewBarsBehindBarLength(Bar* bar, std::uint64_t length) {
    Line* line = lineOf(bar);
    Page* page = line ? line->page() : nullptr;
    if (!bar || length == 0 || !page) {
        return;
    }
    const std::uint64_t n = bar->num();
    incrementBarNumberOfBarsBehindWithLength(n, length);
    processPendingChanges();
    const bool isDouble = line->lower() != nullptr;
    const std::vector<Bar*> lineBars = line->barArray();
    const std::uint64_t first = lineBars.front()->num();
    const std::uint64_t partition = line->partition();
    // The bars beyond the partition that were behind the bar follow the new ones. A line can hold more bars
    // than its partition (a bar moved on to the front of it); its surplus bars up to the bar itself come
    // before the new ones in walk order, so they stay where they are and the line is split afterwards.
    std::vector<Bar*> overflow;
    for (Bar* b : lineBars) {
        if (b->num() - first >= partition && b->num() > n) {
            overflow.push_back(b);
        }
    }
    Line* target = line;
    for (std::uint64_t i = n + 1; i <= n + length; ++i) {
        const std::uint64_t remaining = n + length - i + 1;
        if (i < first + partition) {
            target = line;
        } else if (overflow.size() + remaining < 5) {
            // A short insertion stays on the line; adjustBars splits it.
        } else if ((i - first - partition) % 4 == 0) {
            target = page->createNewLineWithPartitionFirstBarlineType(kNewLinePartition, TOVBarlineSingle);
            if (isDouble) {
                target->createLowerLineWithCreateEmptyBars(false);
            }
        }
        target->createNewBarWithNumberWidthBarlineType(i, kInsertedBarWidth, TOVBarlineSingle);
        if (isDouble) {
            target->lower()->createNewBarWithNumberWidthBarlineType(i, kInsertedBarWidth, TOVBarlineSingle);
        }
    }
    processPendingChanges();
    for (Bar* b : overflow) {
        b->setLine(target);
    }
    target->adjustBars();
    if (line != target && line->bars().size() > line->partition()) {
        line->adjustBars();
    }
    shouldNormalizeAllBarWidthInDocument();
    pageArray().front()->adjustLines();
    processPendingChanges();
}

void Document::deleteBarsFromTo(Bar* from, Bar* to) {
    if (!from || !to) {
        return;
    }
    if (from->num() > to->num()) {
        std::swap(from, to);
    }
    const std::uint64_t f = from->num();
    const std::uint64_t t = to->num();
    Line* first = lineOf(from);
    Line* last = lineOf(to);
    if (!first || !last) {
        return;
    }
    std::uint64_t keep = 0;
    for (Bar* bar : first->bars()) {
        keep += inRange(bar, f, t) ? 1 : 0;
    }
    const bool moveBack = !(last->lower() && !first->lower());
    bool inside = false;
    bool done = false;
    std::vector<Page*> pages = pageArray();
    for (auto page = pages.rbegin(); page != pages.rend() && !done; ++page) {
        if ((*page)->isDeleted()) {
            continue;
        }
        std::vector<Line*> lines = (*page)->lineArray();
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
            Line* line = *it;
            if (line->isDeleted()) {
                continue;
            }
            if (line == first) {
                for (Bar* bar : first->barArray()) {
                    if (inRange(bar, f, t)) {
                        first->removeBar(bar);
                    }
                }
                done = true;
                break;
            }
            if (line == last) {
                for (Bar* bar : last->barArray()) {
                    if (inRange(bar, f, t)) {
                        last->removeBar(bar);
                    } else if (bar->num() > t && keep > 0 && moveBack) {
                        bar->setLine(first);
                        --keep;
                    }
                }
                inside = true;
            } else if (inside) {
                (*page)->removeLine(line);
            }
        }
    }
    processPendingChanges();
    decrementBarNumberOfBarsBehindWithLength(f, t - f + 1);
    // First, then last when the range ends on another line.
    std::vector<Line*> touched{first};
    if (last != first) {
        touched.push_back(last);
    }
    for (Line* line : touched) {
        if (line->isDeleted()) {
            continue;
        }
        const std::uint64_t count = line->bars().size();
        if (count > 0 && count < line->partition()) {
            if (line->nextLine()) {
                line->setPartition(count);
            }
        } else if (count > 0) {
            line->adjustBars();
        }
    }
    shouldNormalizeAllBarWidthInDocument();
    if (!pageArray().empty()) {
        pageArray().front()->adjustLines();
    }
    processPendingChanges();
}

void Document::copyBarsIntoPasteBoardFromTo(Bar* from, Bar* to, platform::Pasteboard& pasteboard) {
    if (!from || !to) {
        return;
    }
    if (from->num() > to->num()) {
        std::swap(from, to);
    }
    const std::uint64_t f = from->num();
    const std::uint64_t t = to->num();
    TOVPboardBars::Bars upper;
    TOVPboardBars::Bars lower;
    auto take = [f, t](Line* line, TOVPboardBars::Bars& into) {
        for (Bar* bar : line->barArray()) {
            if (inRange(bar, f, t)) {
                auto snap = std::make_unique<BarSnapShot>();
                snap->takeSnapshotFrom(bar);
                into.push_back(std::move(snap));
            }
        }
    };
    for (Page* page : pageArray()) {
        for (Line* line : page->lineArray()) {
            take(line, upper);
            if (Line* lowerLine = line->lower()) {
                take(lowerLine, lower);
            }
        }
    }
    TOVPboardBars container;
    container.setUpperBars(std::move(upper));
    container.setLowerBars(std::move(lower));
    container.setPreferLower(from->line() && from->line()->isLowerOfDoublePart());
    pasteboard.clearContents();
    pasteboard.addTypes({CopiedBarsType});
    pasteboard.setDataForType(platform::KeyedArchiver::archivedDataWithRootObject(container),
                              CopiedBarsDataType);
}

std::vector<Bar*>
Document::pasteBarsFromPasteBoardAtBarCountChordNote(Bar* bar, std::uint64_t count, bool chord, bool note,
                                                     const platform::Pasteboard& pasteboard) {
    Line* current = lineOf(bar);
    if (!current || !pasteboard.containsType(CopiedBarsType)) {
        return {};
    }
    // Everything is read and checked before the song changes.
    const std::optional<platform::Bytes> data = pasteboard.dataForType(CopiedBarsDataType);
    if (!data) {
        return {};
    }
    const std::unique_ptr<TOVPboardBars> copied =
        platform::KeyedUnarchiver::unarchivedObjectOfClass<TOVPboardBars>(*data);
    if (!copied || copied->upperBars().empty()) {
        return {};
    }
    for (const auto* list : {&copied->upperBars(), &copied->lowerBars()}) {
        for (const auto& snap : *list) {
            if (!isUsable(*snap)) {
                return {};
            }
        }
    }
    const bool targetLower = bar->line()->isLowerOfDoublePart();
    std::uint64_t m = bar->num();
    std::vector<Bar*> written;
    auto restore = [chord, note, &m](Bar* into, const BarSnapShot* snap) {
        into->restoreFromSnapShotChordNoteNum(snap, chord, note, m);
    };
    // A pair from the copy: both parts when the lower one was copied, else the one part the paste aims at.
    auto restorePair = [&](Bar* upper, Bar* twin, const BarSnapShot* snap, const BarSnapShot* lowerSnap) {
        if (lowerSnap) {
            restore(upper, snap);
            restore(twin, lowerSnap);
        } else {
            restore(targetLower ? twin : upper, snap);
        }
    };
    for (std::uint64_t round = 0; round < count; ++round) {
        for (const auto& snapPtr : copied->upperBars()) {
            const BarSnapShot* snap = snapPtr.get();
            const BarSnapShot* lowerSnap = snapBarFromDataNumberLower(*copied, snap->num(), true);
            Bar* target = barFromNumberLower(m, false);
            Bar* twin = nullptr;
            if (target) {
                current = target->line();
                twin = target->alternativeBarInDoubleLine();
                if (twin) {
                    restorePair(target, twin, snap, lowerSnap);
                } else {
                    restore(target, lowerSnap && copied->preferLower() ? lowerSnap : snap);
                }
            } else {
                Line* use = current;
                if (use->bars().size() >= use->partition()) {
                    use = current->page()->createNewLineWithPartitionFirstBarlineType(kNewLinePartition,
                                                                                      TOVBarlineSingle);
                }
                target = use->createNewBarWithNumberWidthBarlineType(m, 0.0, TOVBarlineSingle);
                if (Line* lowerLine = use->lower()) {
                    twin = lowerLine->createNewBarWithNumberWidthBarlineType(m, 0.0, TOVBarlineSingle);
                    restorePair(target, twin, snap, lowerSnap);
                } else if (lowerSnap) {
                    processPendingChanges();
                    Line* lowerLine = use->createLowerLineWithCreateEmptyBars(true);
                    restore(target, snap);
                    twin = lowerLine->barArray().back();
                    restore(twin, lowerSnap);
                } else {
                    restore(target, snap);
                }
                current = use;
            }
            written.push_back(target);
            if (twin) {
                written.push_back(twin);
            }
            if (!targetLower && current->barArray().front() == target) {
                current->setFirstBarLineType(barLineOrSingle(snap->barLineTypeLeft()));
            }
            ++m;
        }
    }
    processPendingChanges();
    for (Bar* b : written) {
        b->didFinishPasting();
    }
    shouldNormalizeAllBarWidthInDocument();
    pageArray().front()->adjustLines();
    processPendingChanges();
    return written;
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
