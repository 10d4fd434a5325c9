#include "model/Bar.h"
#include "model/BarSnapShot.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolRepeatSnapShot.h"
#include "model/SymbolTempo.h"
#include "model/SymbolTempoSnapShot.h"
#include "model/SymbolText.h"
#include "model/SymbolTextSnapShot.h"
#include "model/SymbolTools.h"
#include "model/TOVChordElems.h"
#include "model/TOVChordMeasuring.h"
#include "model/TOVChordUtils.h"
#include "model/TOVCoreDataController.h"
#include "model/TOVNoteUtils.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVTranspose.h"
#include "model/TOVUtils.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"

#include <algorithm>
#include <typeinfo>

namespace {

struct Metre {
    std::uint64_t beat;
    std::uint64_t bar;
};

// Beat and bar length of the time signatures TOVSymbolTime1_4 ("1-4 time") to TOVSymbolTimeCommon ("C time").
// The eighth-note metres count in eighths, 6/8, 9/8 and 12/8 included.
constexpr Metre kMetres[] = {
    {240, 240}, {240, 480}, {240, 720}, {240, 960}, {240, 1200}, {240, 1440}, {240, 1680},
    {120, 360}, {120, 600}, {120, 720}, {120, 840}, {120, 1080}, {120, 1440}, {240, 960},
};

Metre metreOf(int timeMode) {
    if (timeMode < TOVSymbolTime1_4 || timeMode > TOVSymbolTimeCommon) {
        return {0, 0};
    }
    return kMetres[timeMode - TOVSymbolTime1_4];
}

Document* documentOf(const Line* line) {
    Page* page = line ? line->page() : nullptr;
    return page ? page->document() : nullptr;
}

} // namespace

void Bar::privateInit() {
    width_ = doubleValue("width");
    num_ = unsignedValue("num");
    barLineType_ = static_cast<int>(intValue("barLineType", TOVBarlineSingle));
    longRest_ = unsignedValue("longRest");
    clefType_ = static_cast<int>(intValue("clefType"));
    keyType_ = static_cast<int>(intValue("keyType"));
    timeType_ = static_cast<int>(intValue("timeType"));
    height_ = doubleValue("height");
}

void Bar::storeInsertionDefaults() {
    setPrimitiveValue("barLineType", TOVBarlineSingle);
}

// ---- Setters ----------------------------------------------------------------------------------------------

void Bar::justSetNum(std::uint64_t num) {
    storeAndCache("num", num_, num);
}

void Bar::justSetBarLineType(int type) {
    storeAndCache("barLineType", barLineType_, type);
}

// Width and height are stored in single precision; the cache keeps what the store holds.
void Bar::justSetWidth(double width) {
    storeAndCache("width", width_, singlePrecision(width));
}

void Bar::justSetHeight(double height) {
    storeAndCache("height", height_, singlePrecision(height));
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
    setPairAware(singlePrecision(width), &Bar::width_, &Bar::setWidth, &Bar::justSetWidth);
}

void Bar::setHeight(double height) {
    setPairAware(singlePrecision(height), &Bar::height_, &Bar::setHeight, &Bar::justSetHeight);
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
        if (partner) {
            // A pair moves as a whole: the upper partner moves and takes this bar into the lower line of
            // the target's upper line.
            partner->setLine(target && target->isLowerOfDoublePart() ? target->upper() : target);
        } else {
            justSetLine(target);
        }
        return;
    }
    // A bar of an upper or single line goes into upper or single lines only; its partner follows below.
    if (target && target->isLowerOfDoublePart()) {
        target = target->upper();
        if (target == current) {
            return;
        }
    }
    Line* oldLine = current;
    Bar* partner = alternativeBarInDoubleLine();
    justSetLine(target);
    if (!target && partner) {
        partner->justSetLine(nullptr);
    }
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
        return TOVBarlineSingle;
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
        if (t == TOVSymbolRepeatPrevBar1 || t == TOVSymbolRepeatPrevBar2 || t == TOVSymbolRepeatPrevBar4) {
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
        case TOVSymbolRepeatPrevBar1:
            return 0;
        case TOVSymbolRepeatPrevBar4:
            return TOVSymbolRepeatPrevBar4;
        case TOVSymbolRepeatPrevBar2:
            return distance == 1 ? TOVSymbolRepeatPrevBar2 : 0;
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
    case TOVSymbolLongRest:
        return symbolsOfGroupSpecific().empty() && longRest_ == 0 && toManyCount("notes") == 0 &&
               toManyCount("chords") == 0;
    case TOVSymbolRepeatPrevBar1:
        return repeatPrevBarMode() == 0;
    case TOVSymbolRepeatPrevBar2: {
        if (repeatPrevBarMode() != 0) {
            return false;
        }
        Bar* next = nextBar();
        return next && next->repeatPrevBarMode() == 0;
    }
    case TOVSymbolRepeatPrevBar4: {
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

// ---- Notes and chords -------------------------------------------------------------------------------------

namespace {

constexpr std::uint64_t kQuarter = 240;
// The lengths an entered value is split into, longest first; the final 0 answers "nothing fits".
constexpr std::uint64_t kKnownLengths[] = {960, 840, 720, 480, 420, 360, 240, 210, 180, 120, 90, 60, 30, 0};

bool isKnownLength(std::uint64_t length) {
    return length != 0 &&
           std::find(std::begin(kKnownLengths), std::end(kKnownLengths), length) != std::end(kKnownLengths);
}

std::uint64_t longestKnownLengthUpTo(std::uint64_t limit) {
    for (std::uint64_t length : kKnownLengths) {
        if (length <= limit) {
            return length;
        }
    }
    return 0;
}

} // namespace

Note* Bar::insertNote() {
    platform::ManagedObjectContext* context = managedObjectContext();
    return context ? context->insertNewObject<Note>("Note") : nullptr;
}

NoteUnit* Bar::insertUnit(Note* note, std::uint32_t type, std::uint64_t timing, std::uint64_t duration) {
    auto* unit = managedObjectContext()->insertNewObject<NoteUnit>("NoteUnit");
    unit->setNote(note);
    unit->setType(type);
    unit->setTiming(timing);
    unit->setDuration(duration);
    unit->setBeam(NoteUnit::BeamNone);
    return unit;
}

namespace {

NoteTone* insertTone(NoteUnit* unit, std::int64_t level, bool slash) {
    auto* tone = unit->managedObjectContext()->insertNewObject<NoteTone>("NoteTone");
    tone->setUnit(unit);
    if (slash) {
        tone->setSlash(true);
    } else {
        tone->setLevel(level);
    }
    return tone;
}

} // namespace

Chord* Bar::createNewChordWithElemsTiming(const TOVChordElems& elems, std::uint64_t timing) {
    platform::ManagedObjectContext* context = managedObjectContext();
    auto* chord = context ? context->insertNewObject<Chord>("Chord") : nullptr;
    if (!chord) {
        return nullptr;
    }
    chord->setType(TOVSymbolChord);
    chord->setChordElems(elems);
    chord->setTiming(timing);
    chord->setBar(this);
    return chord;
}

Note* Bar::createNewSingleMeloFromLengthLevel(std::uint64_t from, std::uint64_t length, std::int64_t level) {
    Note* note = length == 0 ? nullptr : insertNote();
    if (!note) {
        return nullptr;
    }
    if (level >= 0) {
        note->setFlip(true);
    }
    NoteUnit* unit = insertUnit(note, NoteUnit::GroupNote + static_cast<std::uint32_t>(length), from, length);
    insertTone(unit, level, false);
    note->setBar(this);
    return note;
}

Note* Bar::createNewSingleRestFromLength(std::uint64_t from, std::uint64_t length) {
    Note* note = length == 0 ? nullptr : insertNote();
    if (!note) {
        return nullptr;
    }
    insertUnit(note, NoteUnit::GroupRest + static_cast<std::uint32_t>(length), from, length);
    note->setBar(this);
    return note;
}

Note* Bar::createNewSingleSlashFromLength(std::uint64_t from, std::uint64_t length) {
    Note* note = length == 0 ? nullptr : insertNote();
    if (!note) {
        return nullptr;
    }
    NoteUnit* unit = insertUnit(note, NoteUnit::GroupNote + static_cast<std::uint32_t>(length), from, length);
    insertTone(unit, 0, true);
    note->setBar(this);
    return note;
}

Note* Bar::createNewBeatSlashFrom(std::uint64_t from) {
    const std::uint64_t beat = length1Beat();
    Note* note = beat == 0 || from % beat != 0 ? nullptr : insertNote();
    if (!note) {
        return nullptr;
    }
    NoteUnit* unit = insertUnit(note, NoteUnit::GroupNote | NoteUnit::BeatLength, from, beat);
    insertTone(unit, 0, true);
    note->setBar(this);
    return note;
}

Note* Bar::createNewTupletFrom(std::uint32_t group, std::uint64_t beamedUpTo, std::uint64_t from,
                               const std::vector<std::uint64_t>& slotLengths, std::int64_t level, int kind) {
    Note* note = insertNote();
    if (!note) {
        return nullptr;
    }
    std::uint64_t span = 0;
    for (std::uint64_t slot : slotLengths) {
        span += slot;
    }
    note->setBar(this);
    if (level >= 0) {
        note->setFlip(true);
    }
    std::uint64_t t = from;
    for (std::size_t i = 0; i < slotLengths.size(); ++i) {
        NoteUnit* unit = insertUnit(note, group + static_cast<std::uint32_t>(span), t, slotLengths[i]);
        if (kind != NoteUnit::KindRest) {
            insertTone(unit, level, kind == NoteUnit::KindSlash);
            if (span <= beamedUpTo) {
                const bool last = i + 1 == slotLengths.size();
                unit->setBeam(i == 0 ? NoteUnit::BeamFirst
                              : last ? NoteUnit::BeamLast
                                     : NoteUnit::BeamMiddle);
            }
        }
        t += unit->duration();
    }
    processPendingChanges();
    return note;
}

Note* Bar::createNewTripletFromLengthUnitsLevelKind(std::uint64_t from,
                                                    const std::vector<std::uint64_t>& slotLengths,
                                                    std::int64_t level, int kind) {
    return createNewTupletFrom(NoteUnit::GroupTriplet, kQuarter, from, slotLengths, level, kind);
}

Note* Bar::createNewSextupletFromLengthUnitsLevelKind(std::uint64_t from,
                                                      const std::vector<std::uint64_t>& slotLengths,
                                                      std::int64_t level, int kind) {
    return createNewTupletFrom(NoteUnit::GroupSextuplet, 2 * kQuarter, from, slotLengths, level, kind);
}

void Bar::removeChord(Chord* chord) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!chord || !context) {
        return;
    }
    context->deleteObject(chord);
    processPendingChanges();
}

void Bar::removeNote(Note* note) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!note || !context) {
        return;
    }
    context->deleteObject(note);
    processPendingChanges();
}

void Bar::willRemoveNoteUnit(NoteUnit* unit) {
    Note* note = unit ? unit->note() : nullptr;
    if (!note) {
        return;
    }
    const std::vector<NoteUnit*> units = note->units();
    if (units.size() == 1 && units.front() == unit) {
        removeNote(note);
    } else if (!note->isTuplet()) {
        makeBeamOffExceptAnUnit(note, unit);
    }
}

// ---- Lookups ----------------------------------------------------------------------------------------------

Note* Bar::noteAtXPos(std::uint64_t x) const {
    for (Note* note : noteArray()) {
        const std::uint64_t t = note->timing();
        if (t <= x && x < t + note->duration()) {
            return note;
        }
    }
    return nullptr;
}

Note* Bar::noteFromX(std::uint64_t x) const {
    for (Note* note : noteArray()) {
        const std::uint64_t t = note->timing();
        if (t > x) {
            break;
        }
        if (x < t + note->duration()) {
            return note;
        }
    }
    return nullptr;
}

Note* Bar::noteAfterX(std::uint64_t x) const {
    for (Note* note : noteArray()) {
        if (note->timing() > x) {
            return note;
        }
    }
    return nullptr;
}

NoteUnit* Bar::noteUnitFromX(std::uint64_t x) const {
    for (const Note* note : noteArray()) {
        for (NoteUnit* unit : note->unitArray()) {
            const std::uint64_t t = unit->timing();
            if (t > x) {
                return nullptr;
            }
            if (x < t + unit->duration()) {
                return unit;
            }
        }
    }
    return nullptr;
}

Note* Bar::nextContinuousNoteOf(const Note* note) const {
    if (!note) {
        return nullptr;
    }
    const std::uint64_t end = note->timing() + note->duration();
    if (end >= totalRhythmLength()) {
        const Bar* next = nextBar();
        return next ? next->noteAtXPos(0) : nullptr;
    }
    return noteAtXPos(end);
}

Note* Bar::previousContinuousNoteOf(const Note* note) const {
    if (!note) {
        return nullptr;
    }
    const std::uint64_t start = note->timing();
    if (start == 0) {
        const Bar* previous = previousBar();
        const std::uint64_t length = previous ? previous->totalRhythmLength() : 0;
        return length == 0 ? nullptr : previous->noteAtXPos(length - 1);
    }
    return noteAtXPos(start - 1);
}

int Bar::accidentalModeOfTone(const NoteTone* tone) const {
    if (!tone) {
        return 0;
    }
    if (const int own = tone->thisAccidentalType()) {
        return own;
    }
    const std::vector<Note*> notes = noteArray();
    if (notes.empty()) {
        return 0;
    }
    const std::int64_t level = tone->level();
    int mode = 0;
    // A tie chain arriving across the barline is followed back bar by bar; a damaged song whose ties
    // run in a circle stops after a bounded number of steps.
    static thread_local int tieDepth = 0;
    constexpr int kMaxTieDepth = 64;
    const Tie* tie = tone->tieLeft();
    const NoteTone* left = tie ? tie->toneLeft() : nullptr;
    if (left && tone->unit() == notes.front()->firstUnit() && tieDepth < kMaxTieDepth) {
        ++tieDepth;
        mode = left->accidentalMode();
        --tieDepth;
    }
    for (const Note* note : notes) {
        for (const NoteUnit* unit : note->unitArray()) {
            for (const NoteTone* other : unit->toneArray()) {
                if (other == tone) {
                    return mode;
                }
                if (other->level() == level) {
                    if (const int type = other->thisAccidentalType()) {
                        mode = type;
                    }
                }
            }
        }
    }
    return 0;
}

// ---- Input checks -----------------------------------------------------------------------------------------

bool Bar::canInputNoteFromLength(std::uint64_t from, std::uint64_t length) const {
    if (length1Beat() == 0 || from >= totalRhythmLength()) {
        return false;
    }
    const Bar* bar = this;
    std::uint64_t x = from;
    std::uint64_t rest = length;
    while (rest > 0 && bar) {
        const std::uint64_t total = bar->totalRhythmLength();
        if (total == 0 || x >= total) {
            return false;
        }
        const std::uint64_t part = x + rest <= total ? rest : total - x;
        if (bar->noteFromX(x)) {
            return false;
        }
        if (const Note* after = bar->noteAfterX(x); after && after->timing() < x + part) {
            return false;
        }
        rest -= part;
        if (rest > 0) {
            bar = bar->nextBar();
            x = 0;
        }
    }
    return rest == 0;
}

bool Bar::canInputTupletFromLength(std::uint64_t from, std::uint64_t length, bool triplet) const {
    const std::uint64_t beat = length1Beat();
    if (beat == 0 || from + length > totalRhythmLength() || !canInputNoteFromLength(from, length)) {
        return false;
    }
    switch (length) {
    case 120:
        return triplet && from % 4 == 0;
    case 240:
    case 480:
    case 960:
        return from % beat == 0;
    default:
        return false;
    }
}

bool Bar::canInputTripletFromLength(std::uint64_t from, std::uint64_t length) const {
    return canInputTupletFromLength(from, length, true);
}

bool Bar::canInputSextupletFromLength(std::uint64_t from, std::uint64_t length) const {
    return canInputTupletFromLength(from, length, false);
}

bool Bar::canInputBeatSlashFrom(std::uint64_t from) const {
    const std::uint64_t beat = length1Beat();
    if (beat == 0 || from + beat > totalRhythmLength() || !canInputNoteFromLength(from, beat)) {
        return false;
    }
    return from % beat == 0;
}

// ---- Beams ------------------------------------------------------------------------------------------------

bool Bar::canMakeBeamFromNotes(const std::vector<Note*>& notes) const {
    const NoteUnit* first = notes.empty() || !notes.front() ? nullptr : notes.front()->firstUnit();
    if (!first || first->kind() == NoteUnit::KindRest) {
        return false;
    }
    const int kind = first->kind();
    std::uint64_t t = notes.front()->timing();
    for (const Note* note : notes) {
        if (!note || note->bar() != this || note->timing() != t || !note->isSingle() ||
            note->firstUnit()->kind() != kind || note->duration() >= kQuarter) {
            return false;
        }
        t += note->duration();
    }
    return true;
}

Note* Bar::makeBeamOn(const std::vector<Note*>& notes) {
    Note* beamed = canMakeBeamFromNotes(notes) ? insertNote() : nullptr;
    if (beamed) {
        beamed->setFlip(notes.front()->flip());
        beamed->setBar(this);
        for (std::size_t i = 0; i < notes.size(); ++i) {
            NoteUnit* unit = notes[i]->firstUnit();
            const bool last = i + 1 == notes.size();
            unit->stopObserving();
            unit->setBeam(i == 0 ? NoteUnit::BeamFirst : last ? NoteUnit::BeamLast : NoteUnit::BeamMiddle);
            unit->setNote(beamed);
            unit->startObserving();
            removeNote(notes[i]);
        }
    }
    processPendingChanges();
    return beamed;
}

std::vector<Note*> Bar::makeBeamOff(Note* note) {
    return makeBeamOffExceptAnUnit(note, nullptr);
}

std::vector<Note*> Bar::makeBeamOffExceptAnUnit(Note* note, NoteUnit* kept) {
    std::vector<Note*> result;
    if (!note) {
        return result;
    }
    for (NoteUnit* unit : note->unitArray()) {
        if (unit == kept) {
            continue;
        }
        Note* single = insertNote();
        single->setBar(this);
        single->setFlip(note->flip());
        unit->setBeam(NoteUnit::BeamNone);
        unit->setNote(single);
        result.push_back(single);
    }
    removeNote(note);
    return result;
}

// ---- Splitting an entered length --------------------------------------------------------------------------

std::uint64_t Bar::nextNoteUnitXPosOfXMaxLength(std::uint64_t x, std::uint64_t maxLength) const {
    const std::uint64_t total = totalRhythmLength();
    const std::uint64_t beat = length1Beat();
    if (beat == 0) {
        return std::min(x, total);
    }
    if (!TOVUtils::divideInputNote() && isKnownLength(maxLength)) {
        return x + maxLength;
    }
    if (x >= total) {
        return total;
    }
    if (x % beat == 0) {
        const std::uint64_t rest = total - x;
        return x + longestKnownLengthUpTo(rest > maxLength ? maxLength : rest);
    }
    const std::uint64_t toBeat = (x / beat + 1) * beat - x;
    const std::uint64_t d = std::min(toBeat, maxLength);
    if (d == 150) {
        return x / 120 * 120 + 120;
    }
    return x + d;
}

std::unique_ptr<TOVSnapshotObject> Bar::createSnapShot() const {
    auto snapshot = std::make_unique<BarSnapShot>();
    snapshot->takeSnapshotFrom(this);
    return snapshot;
}

// ---- Snapshots and clean-up ------------------------------------------------------------------------------

namespace {

// A barline code the bar can draw; anything else (a snapshot without the key, or damaged) is a single line.
int drawableBarLine(int type) {
    return type >= TOVBarlineSingle && type <= TOVBarlineTransparent ? type : TOVBarlineSingle;
}

// The entity a symbol snapshot rebuilds, by its exact class; empty for a class that is not restored.
std::string_view symbolEntityOf(const SymbolSnapShot& snapshot) {
    const std::type_info& type = typeid(snapshot);
    if (type == typeid(SymbolSnapShot)) {
        return "Symbol";
    }
    if (type == typeid(SymbolTextSnapShot)) {
        return "SymbolText";
    }
    if (type == typeid(SymbolRepeatSnapShot)) {
        return "SymbolRepeat";
    }
    if (type == typeid(SymbolTempoSnapShot)) {
        return "SymbolTempo";
    }
    return {};
}

} // namespace

void Bar::restoreFromSnapShotChordNoteNum(const BarSnapShot* snapshot, bool chord, bool note,
                                          std::uint64_t num) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!snapshot || !context) {
        return;
    }
    clearData();
    setNum(num);
    setLongRest(snapshot->longRest());
    setBarLineType(drawableBarLine(snapshot->barLineTypeRight()));
    setWidth(snapshot->width());
    setHeight(snapshot->height());
    if (chord) {
        for (const auto& chordSnap : snapshot->chordArray()) {
            auto* newChord = context->insertNewObject<Chord>("Chord");
            newChord->setBar(this);
            newChord->restoreFromSnapShot(chordSnap.get());
        }
    }
    if (!note) {
        return;
    }
    for (const auto& noteSnap : snapshot->noteArray()) {
        Note* newNote = insertNote();
        newNote->restoreFromSnapShot(noteSnap.get());
        newNote->setBar(this);
    }
    for (const auto& symbolSnap : snapshot->symbolArray()) {
        const std::string_view entity = symbolSnap ? symbolEntityOf(*symbolSnap) : std::string_view{};
        if (entity.empty()) {
            continue;
        }
        auto* symbol = context->insertNewObject<Symbol>(entity);
        symbol->setBar(this);
        symbol->restoreFromSnapShot(symbolSnap.get());
    }
}

void Bar::clearData() {
    for (Chord* chord : chords()) {
        removeChord(chord);
    }
    for (Note* note : notes()) {
        removeNote(note);
    }
    for (Symbol* symbol : symbols()) {
        removeSymbol(symbol);
    }
    processPendingChanges();
}

void Bar::completeTie() {
    for (Note* note : noteArray()) {
        for (NoteUnit* unit : note->unitArray()) {
            for (NoteTone* tone : unit->toneArray()) {
                if (tone->needCreateTie()) {
                    tone->createNewTie();
                    tone->setNeedCreateTie(false);
                }
            }
        }
    }
}

void Bar::truncateDataByTimeSignature() {
    const std::uint64_t total = totalRhythmLength();
    const std::uint64_t beat = length1Beat();
    if (beat == 0) {
        return; // no time with a beat in force: nothing to measure against
    }
    for (Note* note : noteArray()) {
        if (note->isBeatLength() && note->timing() % beat != 0) {
            removeNote(note);
        }
    }
    const std::vector<Note*> left = noteArray();
    for (std::size_t i = 0; i < left.size(); ++i) {
        Note* note = left[i];
        if (!note->isBeatLength()) {
            continue;
        }
        const std::uint64_t end = note->timing() + beat;
        if (end > total || (i + 1 < left.size() && end > left[i + 1]->timing())) {
            removeNote(note);
        }
    }
    for (Note* note : noteArray()) {
        if (note->timing() + note->duration() > total) {
            removeNote(note);
        }
    }
    for (Chord* chord : chords()) {
        if (chord->timing() >= total) {
            removeChord(chord);
        }
    }
    const std::vector<Note*> remaining = noteArray();
    if (remaining.empty()) {
        return;
    }
    Note* last = remaining.back();
    NoteUnit* lastUnit = last->lastUnit();
    if (lastUnit && last->timing() + last->duration() < total) {
        for (NoteTone* tone : lastUnit->toneArray()) {
            if (tone->tieRight()) {
                tone->removeTieRight();
            }
        }
    }
}

// ---- Transposition ---------------------------------------------------------------------------------------

std::vector<NoteTone*> Bar::allTones() const {
    std::vector<NoteTone*> out;
    for (Note* note : noteArray()) {
        for (NoteUnit* unit : note->unitArray()) {
            for (NoteTone* tone : unit->toneArray()) {
                out.push_back(tone);
            }
        }
    }
    return out;
}

bool Bar::shouldPositionUpByTransposeWidth(std::int64_t width) {
    return width < 0 ? width < -6 : width < 7;
}

void Bar::willStartTranspose() {
    for (NoteTone* tone : allTones()) {
        tone->setSavedAccidentalMode(tone->accidentalMode());
    }
}

void Bar::doTranspose(std::int64_t width) {
    const int key = TOVNoteUtils::keyTypeFromKeySignatureSymbolType(keyMode());
    const int clef = TOVNoteUtils::clefTypeFromClefSymbolType(clefMode());
    Document* document = documentOf(line());
    TOVChordMeasuring* measuring = TOVUtils::chordViewFactory();
    for (Chord* chord : chordArray()) {
        const TOVChordElems elems =
            TOVChordUtils::convertChordCurrentKeyWidth(chord->chordElems(), key, width);
        chord->setChordElems(elems);
        // The glyph changed height: keep its baseline where it was.
        double height = 0;
        if (measuring && document) {
            if (auto size =
                    measuring->boundsSizeOfChordFontID(elems, document->plugInFontID().toStdString())) {
                height = size->height;
            }
        }
        platform::Rect frame = chord->frame();
        frame.origin.y += chord->initialSize().height * chord->scale() - chord->scale() * height;
        chord->setFrame(frame);
    }
    const int newKey = TOVTranspose::transposeKeySignatureWidth(key, width);
    const bool up = shouldPositionUpByTransposeWidth(width);
    const std::int64_t reach = width < 0 ? -width : width;
    for (NoteTone* tone : allTones()) {
        const TOVToneLevel written{tone->level(), tone->savedAccidentalMode()};
        const std::int64_t midiBefore = TOVTranspose::midiNumberFromLevelClefKey(written, clef, key);
        const int toneType = TOVTranspose::toneTypeFromLevelClefKey(written, clef, key);
        const int newToneType = TOVTranspose::transposeToneCurrentKeyWidth(toneType, key, width);
        // A tone the tables cannot place stays as written.
        if (newToneType == TOVToneNone) {
            continue;
        }
        const std::optional<TOVToneLevel> placed =
            TOVTranspose::levelFromToneTypeClefKey(newToneType, clef, newKey);
        if (!placed) {
            continue;
        }
        const std::int64_t steps = TOVTranspose::normalizeNumMax(
            TOVTranspose::normalizeNumMax(placed->level, 7) - TOVTranspose::normalizeNumMax(written.level, 7),
            7);
        std::int64_t level = up ? written.level + steps : written.level + steps - 7;
        const std::int64_t midiAfter =
            TOVTranspose::midiNumberFromLevelClefKey({level, placed->accidental}, clef, newKey);
        if (midiAfter > midiBefore + reach) {
            level -= 7;
        } else if (midiAfter < midiBefore - reach) {
            level += 7;
        }
        tone->setLevel(level);
        tone->updateAccidentalModeWithKey(placed->accidental, newKey);
    }
    processPendingChanges();
}

void Bar::doTransposeKeySignatureFirstBar(std::int64_t width, bool firstBar) {
    const int symbol = keyType() != 0 ? keyType() : firstBar ? keyMode() : 0;
    if (keyType() != 0 || firstBar) {
        const int key = TOVNoteUtils::keyTypeFromKeySignatureSymbolType(symbol);
        const int newKey = TOVTranspose::transposeKeySignatureWidth(key, width);
        // A key the tables cannot move ("no key", or a code they do not know) stays as it is.
        if (key >= TOVKeyC && key < TOVKeyNone && newKey >= TOVKeyC && newKey < TOVKeyNone) {
            setKeyType(TOVNoteUtils::keySignatureSymbolTypeFromKeyType(newKey));
        }
    }
    processPendingChanges();
}

void Bar::keepInclinationOfTones() {
    enum Direction { Open, Rising, Falling };
    std::vector<NoteTone*> run;
    Direction direction = Open;
    NoteTone* previous = nullptr;
    auto tidy = [&run, &direction] {
        keepInclinationOfTonesFor(run);
        run.clear();
        direction = Open;
    };
    for (Note* note : noteArray()) {
        for (NoteUnit* unit : note->unitArray()) {
            const std::vector<NoteTone*> tones = unit->tones();
            if (tones.size() != 1) {
                tidy();
                continue;
            }
            NoteTone* tone = tones.front();
            bool goesOn = true;
            if (direction == Open) {
                if (previous && tone->level() > previous->level()) {
                    direction = Rising;
                } else if (previous && tone->level() < previous->level()) {
                    direction = Falling;
                }
            } else if (direction == Rising) {
                goesOn = tone->level() >= previous->level();
            } else {
                goesOn = tone->level() <= previous->level();
            }
            run.push_back(tone);
            previous = tone;
            if (!goesOn) {
                tidy();
            }
        }
    }
    tidy();
}

namespace {

// Whether a later tone of the tone's bar takes the accidental in force on the tone's level or on the level
// it would move to from an earlier tone: respelling the tone would then change that tone's pitch, as an
// accidental written on the tone, or the one moved away from its level, reaches on until the next written
// one on that level.
bool respellingReachesLaterTones(const NoteTone* tone, std::int64_t newLevel) {
    const Bar* bar = tone->bar();
    if (!bar) {
        return false;
    }
    bool after = false;
    bool oldOpen = tone->thisAccidentalType() != 0;
    bool newOpen = true;
    for (const Note* note : bar->noteArray()) {
        for (const NoteUnit* unit : note->unitArray()) {
            for (const NoteTone* other : unit->toneArray()) {
                if (other == tone) {
                    after = true;
                    continue;
                }
                if (!after || other->slash()) {
                    continue;
                }
                const bool written = other->thisAccidentalType() != 0;
                if (other->level() == tone->level() && oldOpen) {
                    if (!written) {
                        return true;
                    }
                    oldOpen = false;
                }
                if (other->level() == newLevel && newOpen) {
                    if (!written) {
                        return true;
                    }
                    newOpen = false;
                }
            }
        }
    }
    return false;
}

} // namespace

void Bar::keepInclinationOfTonesFor(const std::vector<NoteTone*>& run) {
    const std::size_t n = run.size();
    if (n < 3) {
        return;
    }
    const std::int64_t first = run.front()->level();
    const std::int64_t last = run.back()->level();
    const std::int64_t span = last > first ? last - first : first - last;
    if (span == 0 || n > static_cast<std::uint64_t>(span) + 1) {
        return;
    }
    for (std::size_t i = 1; i + 1 < n; ++i) {
        NoteTone* tone = run[i];
        if (tone->level() != run[i - 1]->level() || Tie::isWhole(tone->tieLeft())) {
            continue;
        }
        const std::int64_t d = run[i + 1]->level() - run[i - 1]->level();
        if (d >= 2 && tone->canEnharmonicUp() && !respellingReachesLaterTones(tone, tone->level() + 1)) {
            tone->enharmonicUp();
        } else if (d <= -2 && tone->canEnharmonicDown() &&
                   !respellingReachesLaterTones(tone, tone->level() - 1)) {
            tone->enharmonicDown();
        }
    }
    for (std::size_t i = n - 2; i >= 1; --i) {
        NoteTone* tone = run[i];
        if (tone->level() == run[i + 1]->level() && !Tie::isWhole(tone->tieRight())) {
            const std::int64_t d = run[i + 1]->level() - run[i - 1]->level();
            if (d >= 2 && tone->canEnharmonicDown() &&
                !respellingReachesLaterTones(tone, tone->level() - 1)) {
                tone->enharmonicDown();
            } else if (d <= -2 && tone->canEnharmonicUp() &&
                       !respellingReachesLaterTones(tone, tone->level() + 1)) {
                tone->enharmonicUp();
            }
        }
    }
}

void Bar::shiftTonesBy(std::int64_t steps) {
    for (NoteTone* tone : allTones()) {
        tone->setLevel(tone->level() + steps);
    }
    processPendingChanges();
}

void Bar::doTransposeOctaveUp() {
    shiftTonesBy(7);
}

void Bar::doTransposeOctaveDown() {
    shiftTonesBy(-7);
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
