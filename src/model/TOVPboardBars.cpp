#include "model/TOVPboardBars.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

void TOVPboardBars::encodeWithCoder(platform::KeyedArchiver& coder) const {
    coder.encodeArrayOfObjectsForKey(upperBars_, "upperBars");
    coder.encodeArrayOfObjectsForKey(lowerBars_, "lowerBars");
    // The flag travels as a number holding a boolean.
    coder.encodeBoolForKey(preferLower_, "preferLower");
}

void TOVPboardBars::initWithCoder(platform::KeyedUnarchiver& coder) {
    auto read = [&coder](std::string_view key) {
        Bars out;
        if (auto objects = coder.decodeArrayOfObjectsOfClassForKey<BarSnapShot>(key)) {
            for (auto& object : *objects) {
                if (object) {
                    out.push_back(std::move(object));
                }
            }
        }
        return out;
    };
    upperBars_ = read("upperBars");
    lowerBars_ = read("lowerBars");
    preferLower_ = coder.decodeBoolForKey("preferLower");
}
