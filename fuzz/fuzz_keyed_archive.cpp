// Keyed archives and serialised formatted texts arrive from the pasteboard, user defaults and documents.
// Any bytes must either fail to read or give objects that archive again to the same bytes.
#include "platform/foundation/AttributedString.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace {

using namespace platform;

// An object with a value of every kind, a nested object and an array of objects.
class FuzzNode : public Coding {
public:
    std::int64_t integer = 0;
    float single = 0;
    double real = 0;
    bool flag = false;
    std::optional<QString> name;
    Point point;
    Size size;
    Rect frame;
    std::optional<Color> color;
    std::optional<AttributedString> text;
    std::unique_ptr<FuzzNode> child;
    std::optional<std::vector<std::unique_ptr<FuzzNode>>> children;

    std::string_view archiveClassName() const override { return "FuzzNode"; }

    void encodeWithCoder(KeyedArchiver& c) const override {
        c.encodeIntegerForKey(integer, "integer");
        c.encodeFloatForKey(single, "single");
        c.encodeDoubleForKey(real, "real");
        c.encodeBoolForKey(flag, "flag");
        if (name) {
            c.encodeStringForKey(*name, "name");
        }
        c.encodePointForKey(point, "point");
        c.encodeSizeForKey(size, "size");
        c.encodeRectForKey(frame, "frame");
        if (color) {
            c.encodeColorForKey(*color, "color");
        }
        if (text) {
            c.encodeAttributedStringForKey(*text, "text");
        }
        c.encodeObjectForKey(child.get(), "child");
        if (children) {
            c.encodeArrayOfObjectsForKey(*children, "children");
        }
    }

    void initWithCoder(KeyedUnarchiver& c) override {
        integer = c.decodeIntegerForKey("integer");
        single = c.decodeFloatForKey("single");
        real = c.decodeDoubleForKey("real");
        flag = c.decodeBoolForKey("flag");
        name = c.decodeStringForKey("name");
        point = c.decodePointForKey("point");
        size = c.decodeSizeForKey("size");
        frame = c.decodeRectForKey("frame");
        color = c.decodeColorForKey("color");
        text = c.decodeAttributedStringForKey("text");
        child = c.decodeObjectOfClassForKey<FuzzNode>("child");
        children = c.decodeArrayOfObjectsOfClassForKey<FuzzNode>("children");
    }
};

void registerClasses() {
    static const bool registered = [] {
        KeyedUnarchiver::registerClass<FuzzNode>("FuzzNode");
        return true;
    }();
    (void)registered;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    registerClasses();
    const std::span<const std::uint8_t> bytes(data, size);

    if (auto node = KeyedUnarchiver::unarchivedObjectOfClass<FuzzNode>(bytes)) {
        const auto once = KeyedArchiver::archivedDataWithRootObject(*node);
        const auto reread = KeyedUnarchiver::unarchivedObjectOfClass<FuzzNode>(once);
        if (reread == nullptr || KeyedArchiver::archivedDataWithRootObject(*reread) != once) {
            std::abort();
        }
    }
    if (auto nodes = KeyedUnarchiver::unarchivedArrayOfObjectsOfClass<FuzzNode>(bytes)) {
        const auto once = KeyedArchiver::archivedDataWithRootArray(*nodes);
        if (!KeyedUnarchiver::unarchivedArrayOfObjectsOfClass<FuzzNode>(once).has_value()) {
            std::abort();
        }
    }
    (void)KeyedUnarchiver::unarchivedNumber(bytes);
    (void)KeyedUnarchiver::unarchivedColor(bytes);

    // Compared as bytes: a NaN colour component is unequal to itself.
    if (const auto text = AttributedString::fromSerialized(bytes)) {
        const auto once = text->serialized();
        const auto reread = AttributedString::fromSerialized(once);
        if (!reread || reread->serialized() != once) {
            std::abort();
        }
    }
    return 0;
}
