#include "model/Bar.h"
#include "model/BarSnapShot.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/TOVCoreDataController.h"
#include "model/TOVUtils.h"
#include "platform/data/ManagedObjectContext.h"

#include <algorithm>

namespace {

constexpr int kSingleBarline = 1280;
constexpr int kLongRest = 1550;
constexpr int kRepeatPrevBar = 1551;
constexpr int kRepeatPrev2Bars = 1552;
constexpr int kRepeatPrev4Bars = 1553;

struct Metre {
    std::uint64_t beat;
    std::uint64_t bar;
};

// Beat and bar length of the time signatures 768 ("1-4 time") to 781 ("C time"). The eighth-note metres
// count in eighths, 6/8, 9/8 and 12/8 included.
constexpr Metre kMetres[] = {
    {240, 240}, {240, 480}, {240, 720}, {240, 960}, {240, 1200}, {240, 1440}, {240, 1680},
    {120, 360}, {120, 600}, {120, 720}, {120, 840}, {120, 1080}, {120, 1440}, {240, 960},
};

Metre metreOf(int timeMode) {
    if (timeMode < 768 || timeMode > 781) {
        return {0, 0};
    }
    return kMetres[timeMode - 768];
}

Document* documentOf(const Line* line) {
    Page* page = line ? line->page() : nullptr;
    return page ? page->document() : nullptr;
}

} // namespace

void Bar::privateInit() {
    width_ = doubleValue("width");
    num_ = unsignedValue("num");
    barLineType_ = static_cast<int>(intValue("barLineType", kSingleBarline));
    longRest_ = unsignedValue("longRest");
    clefType_ = static_cast<int>(intValue("clefType"));
    keyType_ = static_cast<int>(intValue("keyType"));
    timeType_ = static_cast<int>(intValue("timeType"));
    height_ = doubleValue("height");
}

void Bar::storeInsertionDefaults() {
    setPrimitiveValue("barLineType", kSingleBarline);
}

// ---- Setters ----------------------------------------------------------------------------------------------

void Bar::justSetNum(std::uint64_t num) {
    storeAndCache("num", num_, num);
}

void Bar::justSetBarLineType(int type) {
    storeAndCache("barLineType", barLineType_, type);
}

void Bar::justSetWidth(double width) {
    storeAndCache("width", width_, width);
}

void Bar::justSetHeight(double height) {
    storeAndCache("height", height_, height);
}

void Bar::justSetLine(Line* line) {
    setToOne("line", line);
}

bool Bar::isInLowerLine() const {
    Line* line = this->line();
    return line && line->isLowerOfDoublePart();
}

// The pair-aware setters: the partner is looked up first (by the current number); a lower bar hands the
// call to its partner, which writes both; a bar of an upper or single line writes itself and its partner.
template <typename T>
void Bar::setPairAware(T value, T Bar::*field, void (Bar::*set)(T), void (Bar::*justSet)(T)) {
    if (value == this->*field) {
        return;
    }
    Bar* partner = alternativeBarInDoubleLine();
    if (isInLowerLine()) {
        if (partner) {
            (partner->*set)(value);
        } else {
            (this->*justSet)(value);
        }
        return;
    }
    (this->*justSet)(value);
    if (partner) {
        (partner->*justSet)(value);
    }
}

void Bar::setNum(std::uint64_t num) {
    setPairAware(num, &Bar::num_, &Bar::setNum, &Bar::justSetNum);
}

void Bar::setBarLineType(int type) {
    setPairAware(type, &Bar::barLineType_, &Bar::setBarLineType, &Bar::justSetBarLineType);
}

void Bar::setWidth(double width) {
    setPairAware(width, &Bar::width_, &Bar::setWidth, &Bar::justSetWidth);
}

void Bar::setHeight(double height) {
    setPairAware(height, &Bar::height_, &Bar::setHeight, &Bar::justSetHeight);
}

template <typename T>
void Bar::setPlain(std::string_view key, T value, T Bar::*field) {
    if (value == this->*field) {
        return;
    }
    storeAndCache(key, this->*field, value);
}

void Bar::setClefType(int type) {
    setPlain("clefType", type, &Bar::clefType_);
}

void Bar::setKeyType(int type) {
    setPlain("keyType", type, &Bar::keyType_);
}

void Bar::setTimeType(int type) {
    setPlain("timeType", type, &Bar::timeType_);
}

void Bar::setLongRest(std::uint64_t bars) {
    setPlain("longRest", bars, &Bar::longRest_);
}

// ---- Relationships ----------------------------------------------------------------------------------------

Line* Bar::line() const {
    return toOne<Line>("line");
}

void Bar::setLine(Line* target) {
    Line* current = line();
    if (target == current) {
        return;
    }
    if (current && current->isLowerOfDoublePart()) {
        Bar* partner = alternativeBarInDoubleLine();
        if (target && target->isLowerOfDoublePart() && partner) {
            // The upper partner moves and takes this bar into the target's lower line.
            partner->setLine(target->upper());
        } else {
            justSetLine(target);
        }
        return;
    }
    Line* oldLine = current;
    Bar* partner = alternativeBarInDoubleLine();
    justSetLine(target);
    if (target) {
        if (partner) {
            Line* lower = target->lower();
            if (!lower) {
                lower = target->createLowerLineWithCreateEmptyBars(false);
            }
            if (lower) {
                partner->justSetLine(lower);
            }
        }
        // A lower line holds a twin for every bar of its upper line: this bar, when it came without a
        // partner, and the bars the target held before it became double get empty ones.
        target->completeLowerTwins();
    }
    processPendingChanges();
    if (oldLine && !oldLine->isDeleted() && oldLine->bars().empty()) {
        if (Page* page = oldLine->page()) {
            page->removeLine(oldLine);
        }
    }
}

std::vector<Note*> Bar::notes() const {
    return toManyAs<Note>("notes");
}

std::vector<Chord*> Bar::chords() const {
    return toManyAs<Chord>("chords");
}

std::vector<Symbol*> Bar::symbols() const {
    return toManyAs<Symbol>("symbols");
}

std::vector<SymbolTools*> Bar::toolsFollowedBy() const {
    return toManyAs<SymbolTools>("toolsFollowedBy");
}

std::vector<Note*> Bar::noteArray() const {
    std::vector<Note*> notes = this->notes();
    std::stable_sort(notes.begin(), notes.end(), [](Note* a, Note* b) { return a->timing() < b->timing(); });
    return notes;
}

std::vector<Chord*> Bar::chordArray() const {
    std::vector<Chord*> chords = this->chords();
    std::stable_sort(chords.begin(), chords.end(),
                     [](Chord* a, Chord* b) { return a->timing() < b->timing(); });
    return chords;
}

Bar* Bar::alternativeBarInDoubleLine() const {
    Line* line = this->line();
    Line* other = line ? line->altarnativePart() : nullptr;
    if (!other) {
        return nullptr;
    }
    for (Bar* bar : other->bars()) {
        if (bar->num() == num_) {
            return bar;
        }
    }
    return nullptr;
}

Bar* Bar::nextBar() const {
    Line* line = this->line();
    return line ? line->nextBarOf(this) : nullptr;
}

Bar* Bar::previousBar() const {
    Line* line = this->line();
    return line ? line->previousBarOf(this) : nullptr;
}

std::uint64_t Bar::indexInLine() const {
    Line* line = this->line();
    if (!line) {
        return NotFound;
    }
    const std::vector<Bar*> bars = line->barArray();
    auto it = std::find(bars.begin(), bars.end(), this);
    return it == bars.end() ? NotFound : static_cast<std::uint64_t>(it - bars.begin());
}

// ---- What is in force -------------------------------------------------------------------------------------

int Bar::clefMode() const {
    if (clefType_ != 0) {
        return clefType_;
    }
    if (inheritedClefType_ != 0) {
        return inheritedClefType_;
    }
    if (Document* document = documentOf(line())) {
        document->updateClefKeyTimeStateForAllBars();
    }
    return clefType_ != 0 ? clefType_ : inheritedClefType_;
}

int Bar::keyMode() const {
    return keyType_ != 0 ? keyType_ : inheritedKeyType_;
}

int Bar::timeMode() const {
    if (timeType_ != 0) {
        return timeType_;
    }
    if (inheritedTimeType_ != 0) {
        return inheritedTimeType_;
    }
    if (Document* document = documentOf(line())) {
        document->updateClefKeyTimeStateForAllBars();
    }
    return timeType_ != 0 ? timeType_ : inheritedTimeType_;
}

std::uint64_t Bar::length1Beat() const {
    return metreOf(timeMode()).beat;
}

std::uint64_t Bar::totalRhythmLength() const {
    return metreOf(timeMode()).bar;
}

int Bar::rightBarLineType() const {
    if (isInLowerLine()) {
        Bar* partner = alternativeBarInDoubleLine();
        return partner ? partner->rightBarLineType() : 0;
    }
    return barLineType_;
}

int Bar::leftBarLineType() const {
    Line* line = this->line();
    if (line && line->isLowerOfDoublePart()) {
        Bar* partner = alternativeBarInDoubleLine();
        return partner ? partner->leftBarLineType() : 0;
    }
    if (!line || line->bars().empty()) {
        return kSingleBarline;
    }
    const std::vector<Bar*> bars = line->barArray();
    if (bars.front() == this) {
        return line->firstBarLineType();
    }
    Bar* previous = line->previousBarOf(this);
    return previous ? previous->rightBarLineType() : 0;
}

int Bar::repeatPrevBarType() const {
    int type = 0;
    for (const Symbol* symbol : symbols()) {
        const int t = symbol->type();
        if (t == kRepeatPrevBar || t == kRepeatPrev2Bars || t == kRepeatPrev4Bars) {
            type = t;
        }
    }
    return type;
}

int Bar::repeatPrevBarMode() const {
    if (int own = repeatPrevBarType()) {
        return own;
    }
    const Bar* bar = this;
    for (int distance = 1; distance <= 3; ++distance) {
        bar = bar->previousBar();
        if (!bar) {
            return 0;
        }
        switch (bar->repeatPrevBarType()) {
        case kRepeatPrevBar:
            return 0;
        case kRepeatPrev4Bars:
            return kRepeatPrev4Bars;
        case kRepeatPrev2Bars:
            return distance == 1 ? kRepeatPrev2Bars : 0;
        default:
            break;
        }
    }
    return 0;
}

bool Bar::canInsertSymbol(int type) const {
    if (TOVUtils::symbolGroupOf(type) == 1) {
        return longRest_ == 0;
    }
    switch (type) {
    case kLongRest:
        return symbolsOfGroupSpecific().empty() && longRest_ == 0 && toManyCount("notes") == 0 &&
               toManyCount("chords") == 0;
    case kRepeatPrevBar:
        return repeatPrevBarMode() == 0;
    case kRepeatPrev2Bars: {
        if (repeatPrevBarMode() != 0) {
            return false;
        }
        Bar* next = nextBar();
        return next && next->repeatPrevBarMode() == 0;
    }
    case kRepeatPrev4Bars: {
        if (repeatPrevBarMode() != 0) {
            return false;
        }
        const Bar* bar = this;
        for (int i = 0; i < 3; ++i) {
            bar = bar->nextBar();
            if (!bar || bar->repeatPrevBarMode() != 0) {
                return false;
            }
        }
        return true;
    }
    default:
        return true;
    }
}

std::vector<Symbol*> Bar::symbolsOfGroupSpecific() const {
    std::vector<Symbol*> result;
    for (Symbol* symbol : symbols()) {
        if (TOVUtils::symbolGroupOf(symbol->type()) == 1) {
            result.push_back(symbol);
        }
    }
    return result;
}

// ---- Contents ---------------------------------------------------------------------------------------------

template <typename T>
T* Bar::createSymbol(std::string_view entityName, int type, const platform::Rect& frame) {
    platform::ManagedObjectContext* context = managedObjectContext();
    T* symbol = context ? context->insertNewObject<T>(entityName) : nullptr;
    if (!symbol) {
        return nullptr;
    }
    symbol->setType(type);
    symbol->setFrame(frame);
    symbol->setBar(this);
    processPendingChanges();
    return symbol;
}

Symbol* Bar::createNewSymbolWithTypeFrame(int type, const platform::Rect& frame) {
    return createSymbol<Symbol>("Symbol", type, frame);
}

SymbolText* Bar::createNewSymbolTextWithTypeFrame(int type, const platform::Rect& frame) {
    return createSymbol<SymbolText>("SymbolText", type, frame);
}

SymbolRepeat* Bar::createNewSymbolRepeatWithTypeFrame(int type, const platform::Rect& frame) {
    return createSymbol<SymbolRepeat>("SymbolRepeat", type, frame);
}

SymbolTempo* Bar::createNewSymbolTempoWithTypeFrame(int type, const platform::Rect& frame) {
    return createSymbol<SymbolTempo>("SymbolTempo", type, frame);
}

void Bar::removeSymbol(Symbol* symbol) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!symbol || !context) {
        return;
    }
    context->deleteObject(symbol);
    processPendingChanges();
}

std::unique_ptr<TOVSnapshotObject> Bar::createSnapShot() const {
    auto snapshot = std::make_unique<BarSnapShot>();
    snapshot->takeSnapshotFrom(this);
    return snapshot;
}

// ---- Life cycle and reports -------------------------------------------------------------------------------

void Bar::prepareForDeletion() {
    if (isUndoRedoing()) {
        return;
    }
    Line* line = this->line();
    if (!line || line->isDeleted()) {
        return;
    }
    const std::vector<Bar*> bars = line->bars();
    if (bars.size() == 1 && bars.front() == this) {
        if (Page* page = line->page()) {
            page->removeLine(line);
        }
    }
}

TOVCoreDataController* Bar::reportTarget() const {
    Document* document = documentOf(line());
    return document ? document->coreDataController() : nullptr;
}

void Bar::didChange(const platform::Change& change) {
    TOVManagedObject::didChange(change);
    if (!observeON()) {
        return;
    }
    TOVCoreDataController* controller = reportTarget();
    if (!controller) {
        return;
    }
    const std::string_view key = change.key;
    if (key == "chords") {
        controller->barDidUpdateChords(this);
    } else if (key == "notes") {
        controller->barDidUpdateNotes(this);
    } else if (key == "symbols") {
        controller->barDidUpdateSymbols(this);
    } else if (key == "barLineType") {
        controller->barDidUpdateBarlineType(this);
    } else if (key == "clefType") {
        controller->barDidUpdateClefType(this);
    } else if (key == "keyType") {
        controller->barDidUpdateKeyType(this);
    } else if (key == "timeType") {
        controller->barDidUpdateTimeType(this);
    } else if (key == "longRest") {
        controller->barDidUpdateLongRest(this);
    } else if (key == "width") {
        controller->barDidUpdateWidth(this);
    }
}
