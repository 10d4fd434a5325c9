#pragma once

#include "platform/foundation/Coding.h"

#include <string_view>

class TOVManagedObject;

// The base of the snapshot classes: plain, keyed-archivable copies of one entity and everything it owns,
// independent of any managed object context. Snapshots carry copied bars over the pasteboard and rebuild
// bars on paste. Every snapshot class overrides the three operations below and calls its base first, so a
// class's keys are the whole archive of that class.
class TOVSnapshotObject : public platform::Coding {
public:
    std::string_view archiveClassName() const override { return "TOVSnapshotObject"; }
    // The base writes and reads no key and copies nothing.
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    virtual void takeSnapshotFrom(const TOVManagedObject* entity);

    // Makes every snapshot class of the model, and the copied-bars container, readable from keyed
    // archives. Idempotent; building the shared managed object model calls it.
    static void registerArchiveClasses();
};
