#include "app/TOVDocument.h"

#include "document/TOVDocumentParser.h"
#include "document/TOVMigrationController.h"
#include "glyphs/TOVChordViewFactory.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/TOVUtils.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Resources.h"

namespace {

std::string text(std::string_view english) {
    return platform::localized(english);
}

void repairChordsOfBars(const std::vector<Bar*>& bars, const TOVChordViewFactory& factory) {
    for (const Bar* bar : bars) {
        for (Chord* chord : bar->chords()) {
            if (chord->scale() != 0.0) {
                continue;
            }
            const std::optional<platform::BezierPath> path =
                factory.bezierPathFromChordFontID(chord->chordElems(), "Default");
            if (!path) {
                continue;
            }
            const double width = path->bounds().size.width;
            if (width > 0.0) {
                chord->setScale(chord->frame().size.width / width);
            }
        }
    }
}

} // namespace

TOVDocument::TOVDocument() = default;

TOVDocument::~TOVDocument() = default;

::Document* TOVDocument::documentData() const {
    return document_;
}

void TOVDocument::adoptContext(std::unique_ptr<platform::ManagedObjectContext> context,
                               ::Document* document) {
    document_ = document;
    TOVPersistentDocument::adoptContext(std::move(context));
}

bool TOVDocument::readFromData(const std::vector<std::uint8_t>& data, const std::string& typeName,
                               std::string* error) {
    if (!mayReadContent(error)) {
        return false;
    }
    // The store is imported into a context of our own; the file is never written back.
    TOVMigrationController importer;
    std::optional<TOVMigrationController::ImportedDocument> imported = importer.importStoreData(data);
    if (!imported) {
        if (error != nullptr) {
            *error =
                importer.errorDescription().empty() ? importer.failureReason() : importer.errorDescription();
        }
        return false;
    }
    adoptContext(std::move(imported->context), imported->document);
    return true;
}

bool TOVDocument::writeToURL(const std::filesystem::path& url, const std::string& typeName,
                             std::string* error) {
    // A legacy store is never overwritten, even when a caller names it as the target.
    if (isLegacyStoreName(QString::fromStdString(url.string()))) {
        if (error != nullptr) {
            *error = "A song is saved only as a \"tovz\" file.";
        }
        return false;
    }
    return platform::Document::writeToURL(url, typeName, error);
}

bool TOVDocument::isLegacyStoreName(const QString& path) {
    return path.endsWith(QStringLiteral(".tovr"), Qt::CaseInsensitive);
}

bool TOVDocument::isLegacyFile() const {
    return isLegacyStoreName(fileName());
}

void TOVDocument::repairChordScales(::Document* document) {
    if (document == nullptr) {
        return;
    }
    TOVChordViewFactory* factory = TOVChordViewFactory::singletonInstance();
    if (factory == nullptr) {
        return;
    }
    // The legacy scales are those of the default notation, whatever the user's preferences.
    factory->setProfile(TOVUtils::defaultChordNotationProfile());
    for (const Page* page : document->pages()) {
        for (const Line* line : page->lines()) {
            repairChordsOfBars(line->bars(), *factory);
            if (const Line* lower = line->lower()) {
                repairChordsOfBars(lower->bars(), *factory);
            }
        }
    }
    factory->setProfile(TOVUtils::currentChordNotationProfile());
}

void TOVDocument::showLoadAlerts() {
    if (isLegacyFile()) {
        showAlertSheet(text(olderVersionMessage));
    }
}

// --- Window ---

void TOVDocument::windowControllerDidParseDocument(TOVWindowController* controller, ::Document* document) {
    repairChordScales(document);
}
