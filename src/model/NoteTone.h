#pragma once

#include "model/TOVManagedObject.h"

// One pitch (or the rhythm slash) of a note unit; its behaviour builds on this class.
class NoteTone : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;
};
