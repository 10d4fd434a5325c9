// Loads arbitrary bytes through the whole "tovz" reader into a new document. Input that is not a gzip
// stream is wrapped in one first (see StoredGzip.h), so that mutations reach the XML and everything built
// from it instead of dying at the stream's check value; a gzip stream is read as it stands. A document that
// loads must save and load again: what the reader accepts, the writer must be able to write back readably.
#include "StoredGzip.h"
#include "document/TOVDocumentParser.h"
#include "model/Document.h"
#include "model/TOVManagedObjectModel.h"
#include "platform/data/ManagedObjectContext.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

namespace {

struct Loaded {
    platform::ManagedObjectContext context{TOVManagedObjectModel::sharedModel()};
    Document* document = nullptr;
    bool ok = false;

    explicit Loaded(std::span<const std::uint8_t> bytes) {
        context.undoManager().disableUndoRegistration();
        document = context.insertNewObject<Document>("Document");
        context.processPendingChanges();
        ok = TOVDocumentParser().loadTOVZDocumentFromDataToDocument(bytes, document);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    std::vector<std::uint8_t> packed;
    const bool isGzip = size >= 2 && data[0] == 0x1F && data[1] == 0x8B;
    if (!isGzip) {
        packed = storedGzip(input);
    }
    const Loaded first(isGzip ? input : std::span<const std::uint8_t>(packed));
    if (!first.ok) {
        return 0;
    }
    const std::optional<std::vector<std::uint8_t>> saved =
        TOVDocumentParser().tovzDataFromDocument(first.document);
    if (!saved || !Loaded(*saved).ok) {
        std::abort();
    }
    return 0;
}
