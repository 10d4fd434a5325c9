#pragma once

#include "model/TOVManagedObject.h"

// A tie from one tone to the same pitch in the next unit; its behaviour builds on this class.
class Tie : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;
};
