// Imports arbitrary bytes as a legacy "tovr" song store. A refused store must say why; an imported song
// must save as a "tovz" file that reads back, since saving it is the only way the user keeps it.
#include "document/TOVDocumentParser.h"
#include "document/TOVMigrationController.h"
#include "model/Document.h"
#include "model/TOVManagedObjectModel.h"
#include "platform/data/ManagedObjectContext.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TOVMigrationController controller;
    const auto imported = controller.importStoreData(std::span<const std::uint8_t>(data, size));
    if (!imported) {
        if (controller.errorDescription().empty() || controller.failureReason().empty()) {
            std::abort();
        }
        return 0;
    }
    if (imported->document == nullptr || imported->context->undoManager().canUndo()) {
        std::abort();
    }
    const auto saved = TOVDocumentParser().tovzDataFromDocument(imported->document);
    if (!saved) {
        std::abort();
    }
    platform::ManagedObjectContext context(TOVManagedObjectModel::sharedModel());
    context.undoManager().disableUndoRegistration();
    auto* document = context.insertNewObject<Document>("Document");
    context.processPendingChanges();
    if (!TOVDocumentParser().loadTOVZDocumentFromDataToDocument(*saved, document)) {
        std::abort();
    }
    return 0;
}
