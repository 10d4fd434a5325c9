// tovz-dump: loads a "tovz" file (or imports a legacy "tovr" store) and prints the canonical text dump of
// the document, the same dump the tests compare, or one line saying why the file cannot be read (exit
// status 1; 2 for a usage error). The file is read as the program reads it (see ToolStartUp.h).
#include "ToolStartUp.h"
#include "document/TOVDocumentParser.h"
#include "document/TOVMigrationController.h"
#include "model/Document.h"
#include "model/TOVManagedObjectModel.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/DocumentDump.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tovz-dump FILE.tovz\n");
        return 2;
    }
    const std::filesystem::path path = argv[1];
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        std::fprintf(stderr, "tovz-dump: %s: not a readable file\n", argv[1]);
        return 1;
    }
    const std::unique_ptr<QApplication> application = startToolApplication(argc, argv);
    if (path.extension() == ".tovr") {
        TOVMigrationController controller;
        const auto imported = controller.importStoreAtURL(path);
        if (!imported) {
            std::fprintf(stderr, "tovz-dump: %s: cannot be imported: %s\n", argv[1],
                         controller.failureReason().c_str());
            return 1;
        }
        std::cout << "store-structure: " << controller.schemaName() << "\n"
                  << tovtest::dumpDocument(imported->document);
        return 0;
    }
    platform::ManagedObjectContext context(TOVManagedObjectModel::sharedModel());
    context.undoManager().disableUndoRegistration();
    auto* document = context.insertNewObject<Document>("Document");
    context.processPendingChanges();
    TOVDocumentParser parser;
    if (!parser.loadTOVZDocumentFromUrlToDocument(path, document)) {
        std::fprintf(stderr, "tovz-dump: %s: cannot be loaded: %s\n", argv[1],
                     parser.failureReason().c_str());
        return 1;
    }
    std::cout << "data-struct-version: " << parser.dataVersion().value_or("-").toStdString() << "\n"
              << "custom-font-id: " << parser.fontID().value_or("-").toStdString() << "\n"
              << "custom-font-name: " << parser.fontName().value_or("-").toStdString() << "\n"
              << tovtest::dumpDocument(document);
    return 0;
}
