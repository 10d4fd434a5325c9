// tovz-dump: loads a "tovz" file (or imports a legacy "tovr" store) and prints the canonical text dump of
// the document, the same dump the tests compare, or one line saying why the file cannot be read (exit
// status 1; 2 for a usage error). The file is read as the program reads it (see ToolStartUp.h).
//
// With --opened the file is opened as the document window opens it and the dump adds what the open song
// derives: the clef, key and time in force and the barlines drawn for each bar, the slash flag of each chord
// and the runs of each formatted text. A "tovz" song takes the file's font, its bars fit their time
// signatures and its ties are made; a "tovr" store's song comes as imported (its bars and ties stand as the
// store keeps them), and its chords stored without a scale get the one that fits their frame.
#include "ToolStartUp.h"
#include "app/TOVDocument.h"
#include "document/TOVDocumentDump.h"
#include "document/TOVDocumentParser.h"
#include "document/TOVMigrationController.h"
#include "model/Document.h"
#include "model/TOVManagedObjectModel.h"
#include "platform/data/ManagedObjectContext.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace {

int usage() {
    std::fprintf(stderr, "usage: tovz-dump [--opened] FILE.tovz|FILE.tovr\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool opened = false;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--opened") == 0) {
            opened = true;
        } else if (file == nullptr && argv[i][0] != '-') {
            file = argv[i];
        } else {
            return usage();
        }
    }
    if (file == nullptr) {
        return usage();
    }
    const std::filesystem::path path = file;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        std::fprintf(stderr, "tovz-dump: %s: not a readable file\n", file);
        return 1;
    }
    const std::unique_ptr<QApplication> application = startToolApplication(argc, argv);
    const auto dump = [opened](const Document* document) {
        return opened ? TOVDocumentDump::dumpOpenedDocument(document)
                      : TOVDocumentDump::dumpDocument(document);
    };
    if (path.extension() == ".tovr") {
        TOVMigrationController controller;
        const auto imported = controller.importStoreAtURL(path);
        if (!imported) {
            std::fprintf(stderr, "tovz-dump: %s: cannot be imported: %s\n", file,
                         controller.failureReason().c_str());
            return 1;
        }
        if (opened) {
            // What the store's document does when its window first gets the song.
            TOVDocument::repairChordScales(imported->document);
            imported->context->processPendingChanges();
        }
        std::cout << "store-structure: " << controller.schemaName() << "\n" << dump(imported->document);
        return 0;
    }
    platform::ManagedObjectContext context(TOVManagedObjectModel::sharedModel());
    context.undoManager().disableUndoRegistration();
    auto* document = context.insertNewObject<Document>("Document");
    context.processPendingChanges();
    TOVDocumentParser parser;
    if (!parser.loadTOVZDocumentFromUrlToDocument(path, document)) {
        std::fprintf(stderr, "tovz-dump: %s: cannot be loaded: %s\n", file, parser.failureReason().c_str());
        return 1;
    }
    if (opened) {
        parser.completeOpenedDocument(document);
    }
    std::cout << "data-struct-version: " << parser.dataVersion().value_or("-").toStdString() << "\n"
              << "custom-font-id: " << parser.fontID().value_or("-").toStdString() << "\n"
              << "custom-font-name: " << parser.fontName().value_or("-").toStdString() << "\n"
              << dump(document);
    return 0;
}
