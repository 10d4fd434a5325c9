#pragma once

#include "platform/data/Value.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// A persistent store in the XML store format, read into memory as it stands, for importers that rebuild
// an object graph from it. The file looks like this:
//
//     <?xml version="1.0" standalone="yes"?>
//     <!DOCTYPE database SYSTEM "file:///...dtd">
//     <database>
//         <databaseInfo>
//             <version>...</version> <UUID>...</UUID> <nextObjectID>...</nextObjectID>
//             <metadata><plist version="1.0"><dict>
//                 <key>NSStoreType</key><string>XML</string>
//                 <key>NSStoreModelVersionHashes</key><dict><key>Bar</key><data>...</data> ...</dict>
//             </dict></plist></metadata>
//         </databaseInfo>
//         <object type="BAR" id="z102">
//             <attribute name="num" type="int64">3</attribute>
//             <relationship name="notes" type="0/0" destination="NOTE" idrefs="z104 z105"></relationship>
//         </object>
//     </database>
//
// Entity names are written in capitals; an attribute's type word says how its text is read (numbers in
// decimal, "bool" as 0 or 1, "binary" and "transformable" in base64); a relationship whose type ends in
// "/1" is to-one, any other to-many. The DOCTYPE is never fetched.
//
// Reading is strict, as a store is all or nothing: no root "database", no metadata dictionary, a file
// cut short (the closing tag of the root missing), an object without type or id, an id used twice, an
// idref to no object, a value that does not read as its type word says, or an unknown type word, each
// make the whole read fail with a reason. The file is only read.
class XmlStore {
public:
    static constexpr std::size_t maxFileBytes = 64 * 1024 * 1024;

    struct Attribute {
        std::string name;
        std::string typeWord; // "int64", "string", "binary" ... as written
        Value value;          // read as the type word says
    };

    struct Relationship {
        std::string name;
        bool toMany = false;
        std::string destination;            // the destination's entity name as written
        std::vector<std::size_t> targets{}; // indexes into objects()
    };

    struct Object {
        std::string entityName; // as written ("BAR")
        std::string id;
        std::vector<Attribute> attributes{};
        std::vector<Relationship> relationships{};

        const Attribute* attribute(std::string_view name) const;
        const Relationship* relationship(std::string_view name) const;
    };

    static std::optional<XmlStore> read(std::span<const std::uint8_t> bytes, std::string* error = nullptr);
    static std::optional<XmlStore> readFile(const std::filesystem::path& path, std::string* error = nullptr);

    const std::vector<Object>& objects() const { return objects_; }
    // The metadata's top-level strings and numbers as text ("NSStoreType" -> "XML").
    const std::map<std::string, std::string>& metadata() const { return metadata_; }
    // The entity names listed in the metadata's model version hashes; empty when the store lists none.
    const std::vector<std::string>& modelEntityNames() const { return modelEntityNames_; }

private:
    std::vector<Object> objects_;
    std::map<std::string, std::string> metadata_;
    std::vector<std::string> modelEntityNames_;
};

} // namespace platform
