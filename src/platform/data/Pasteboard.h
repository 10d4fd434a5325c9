#pragma once

#include "platform/data/Value.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Named types, each with its bytes, for copy and paste and for drags. A type may be declared without data
// (data can then be set for it, or for another type); empty data counts as no data.
//
// Type names are plain words (letters, digits, '.', '-', '_'; at most 200 characters), so that every type
// maps to a MIME format of its own; writes with other names are refused.
//
// Everything read from a pasteboard may come from another program: treat it as untrusted.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    // Forgets every type.
    virtual void clearContents() = 0;
    // Declares types without data; types already there keep theirs. False when a name is refused (the
    // valid ones are declared).
    virtual bool addTypes(const std::vector<std::string>& types) = 0;
    // Sets the data of a type, declaring the type when needed. False when the name is refused.
    virtual bool setDataForType(const Bytes& data, std::string_view type) = 0;

    // The declared types, in the order they were first declared.
    virtual std::vector<std::string> types() const = 0;
    // Nothing when the type is missing or has no data.
    virtual std::optional<Bytes> dataForType(std::string_view type) const = 0;

    bool containsType(std::string_view type) const;
    // The first of the given types that the pasteboard holds.
    std::optional<std::string> availableTypeFromArray(const std::vector<std::string>& types) const;

    static bool isValidTypeName(std::string_view type);
};

} // namespace platform
