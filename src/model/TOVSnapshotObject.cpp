#include "model/TOVSnapshotObject.h"

#include "model/BarSnapShot.h"
#include "model/ChordSnapShot.h"
#include "model/NoteSnapShot.h"
#include "model/NoteToneSnapShot.h"
#include "model/NoteUnitSnapShot.h"
#include "model/SymbolRepeatSnapShot.h"
#include "model/SymbolSnapShot.h"
#include "model/SymbolTempoSnapShot.h"
#include "model/SymbolTextSnapShot.h"
#include "model/SymbolToolsSnapShot.h"
#include "model/TOVPboardBars.h"
#include "platform/foundation/KeyedUnarchiver.h"

void TOVSnapshotObject::encodeWithCoder(platform::KeyedArchiver&) const {}

void TOVSnapshotObject::initWithCoder(platform::KeyedUnarchiver&) {}

void TOVSnapshotObject::takeSnapshotFrom(const TOVManagedObject*) {}

namespace {

template <typename T>
void registerClass() {
    platform::KeyedUnarchiver::registerClass<T>(std::string(T().archiveClassName()));
}

bool registerAll() {
    registerClass<TOVSnapshotObject>();
    registerClass<BarSnapShot>();
    registerClass<SymbolSnapShot>();
    registerClass<SymbolToolsSnapShot>();
    registerClass<SymbolTextSnapShot>();
    registerClass<SymbolRepeatSnapShot>();
    registerClass<SymbolTempoSnapShot>();
    registerClass<ChordSnapShot>();
    registerClass<NoteSnapShot>();
    registerClass<NoteUnitSnapShot>();
    registerClass<NoteToneSnapShot>();
    registerClass<TOVPboardBars>();
    return true;
}

} // namespace

void TOVSnapshotObject::registerArchiveClasses() {
    static const bool registered = registerAll();
    (void)registered;
}
