#include "model/NoteToneSnapShot.h"

#include "model/NoteTone.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/Tie.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

namespace {

std::unique_ptr<SymbolSnapShot> snapshotOfSymbol(const Symbol* symbol) {
    std::unique_ptr<TOVSnapshotObject> snap = symbol->createSnapShot();
    if (auto* symbolSnap = dynamic_cast<SymbolSnapShot*>(snap.get())) {
        snap.release();
        return std::unique_ptr<SymbolSnapShot>(symbolSnap);
    }
    return nullptr;
}

} // namespace

void NoteToneSnapShot::encodeWithCoder(platform::KeyedArchiver& coder) const {
    TOVSnapshotObject::encodeWithCoder(coder);
    coder.encodeIntegerForKey(level_, "level");
    coder.encodeBoolForKey(slash_, "slash");
    coder.encodeIntForKey(head_, "head");
    coder.encodeBoolForKey(tieRight_, "tieRight");
    coder.encodeBoolForKey(tieLeft_, "tieLeft");
    coder.encodeObjectForKey(accidental_.get(), "accidental");
    coder.encodeArrayOfObjectsForKey(articulationArray_, "articulationArray");
}

void NoteToneSnapShot::initWithCoder(platform::KeyedUnarchiver& coder) {
    TOVSnapshotObject::initWithCoder(coder);
    level_ = coder.decodeIntegerForKey("level");
    slash_ = coder.decodeBoolForKey("slash");
    head_ = coder.decodeIntForKey("head");
    tieRight_ = coder.decodeBoolForKey("tieRight");
    tieLeft_ = coder.decodeBoolForKey("tieLeft");
    accidental_ = coder.decodeObjectOfClassForKey<SymbolSnapShot>("accidental");
    articulationArray_.clear();
    if (auto symbols = coder.decodeArrayOfObjectsOfClassForKey<SymbolSnapShot>("articulationArray")) {
        for (auto& symbol : *symbols) {
            if (symbol) {
                articulationArray_.push_back(std::move(symbol));
            }
        }
    }
}

void NoteToneSnapShot::takeSnapshotFrom(const TOVManagedObject* entity) {
    TOVSnapshotObject::takeSnapshotFrom(entity);
    const auto* tone = dynamic_cast<const NoteTone*>(entity);
    if (!tone) {
        return;
    }
    level_ = tone->level();
    slash_ = tone->slash();
    head_ = tone->head();
    tieRight_ = Tie::isWhole(tone->tieRight());
    tieLeft_ = Tie::isWhole(tone->tieLeft());
    const SymbolAccidental* accidental = tone->accidental();
    accidental_ = accidental ? snapshotOfSymbol(accidental) : nullptr;
    articulationArray_.clear();
    for (const SymbolInNote* articulation : tone->articulations()) {
        if (auto snap = snapshotOfSymbol(articulation)) {
            articulationArray_.push_back(std::move(snap));
        }
    }
}
