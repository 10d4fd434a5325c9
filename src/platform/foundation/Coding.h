#pragma once

#include <string_view>

namespace platform {

class KeyedArchiver;
class KeyedUnarchiver;

// An object that can be written to a keyed archive and read back from one. The archive tags the object
// with archiveClassName(); reading makes a new object through the factory registered under that name
// (KeyedUnarchiver::registerClass) and lets it read its keys.
//
// A derived class writes and reads its base class's keys first:
//     void BarSnapShot::encodeWithCoder(platform::KeyedArchiver& coder) const {
//         TOVSnapshotObject::encodeWithCoder(coder);
//         coder.encodeIntegerForKey(m_num, "num");
//     }
class Coding {
public:
    virtual ~Coding() = default;

    // The name the class is registered under; the same for every object of the class.
    virtual std::string_view archiveClassName() const = 0;
    virtual void encodeWithCoder(KeyedArchiver& coder) const = 0;
    // Called on a newly made object. Missing keys read as zero values; a value of the wrong kind makes
    // the whole unarchiving fail (the coder remembers it), so an implementation needs no checks of its own.
    virtual void initWithCoder(KeyedUnarchiver& coder) = 0;
};

} // namespace platform
