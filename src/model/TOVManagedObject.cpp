#include "model/TOVManagedObject.h"

#include "platform/data/ManagedObjectContext.h"

bool TOVManagedObject::isUndoRedoing() const {
    const platform::ManagedObjectContext* context = managedObjectContext();
    return context && context->isUndoingOrRedoing();
}

void TOVManagedObject::processPendingChanges() const {
    if (platform::ManagedObjectContext* context = managedObjectContext()) {
        context->processPendingChanges();
    }
}

bool TOVManagedObject::beginObserving() {
    if (observeON_) {
        return false;
    }
    observeON_ = true;
    return true;
}

bool TOVManagedObject::endObserving() {
    if (!observeON_) {
        return false;
    }
    observeON_ = false;
    return true;
}

void TOVManagedObject::awakeFromInsert() {
    privateInit();
    storeInsertionDefaults();
    startObserving();
}

void TOVManagedObject::awakeFromFetch() {
    privateInit();
    startObserving();
}

void TOVManagedObject::awakeFromSnapshotEvents(unsigned) {
    privateInit();
    if (startObserving()) {
        postNotificationUpdateAttribute();
    }
}

void TOVManagedObject::willTurnIntoFault() {
    stopObserving();
}
