#include "platform/ui/DocumentController.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Document.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowController.h"

#include <QString>

#include <algorithm>

namespace platform {

namespace {
bool sameExtension(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

bool listHas(const std::vector<std::string>& list, const std::string& extension) {
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& each) { return sameExtension(each, extension); });
}

std::string extensionOf(const std::filesystem::path& url) {
    std::string extension = url.extension().string();
    return extension.empty() ? extension : extension.substr(1);
}

// The recent documents outlive the run in the user's defaults, one path a line.
const char* const kRecentDocumentsKey = "RecentDocumentPaths";

std::filesystem::path normalised(const std::filesystem::path& url) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(url, error);
    return (error ? url : absolute).lexically_normal();
}
} // namespace

DocumentController::DocumentController() {
    addActionHandler("newDocument:", [this](MenuItem*) { newDocument(); });
    addActionHandler("openDocument:", [this](MenuItem*) { openDocument(); });
    addActionHandler("clearRecentDocuments:", [this](MenuItem*) { clearRecentDocuments(); });
    const std::string stored = UserDefaults::standard().stringForKey(kRecentDocumentsKey).value_or("");
    std::size_t start = 0;
    while (start < stored.size() && static_cast<int>(recent_.size()) < maximumRecentDocumentCount()) {
        std::size_t end = stored.find('\n', start);
        if (end == std::string::npos) {
            end = stored.size();
        }
        if (end > start) {
            recent_.emplace_back(stored.substr(start, end - start));
        }
        start = end + 1;
    }
}

void DocumentController::storeRecentDocuments() const {
    std::string stored;
    for (const std::filesystem::path& url : recent_) {
        stored += url.string();
        stored += '\n';
    }
    UserDefaults::standard().setString(kRecentDocumentsKey, stored);
}

DocumentController::~DocumentController() {
    for (const auto& document : documents_) {
        document->setDocumentController(nullptr);
    }
}

void DocumentController::registerDocumentType(DocumentType type) {
    types_.push_back(std::move(type));
}

std::string DocumentController::defaultType() const {
    return types_.empty() ? std::string() : types_.front().name;
}

const DocumentType* DocumentController::documentTypeNamed(const std::string& name) const {
    for (const DocumentType& type : types_) {
        if (type.name == name) {
            return &type;
        }
    }
    return nullptr;
}

const DocumentType* DocumentController::documentTypeForURL(const std::filesystem::path& url) const {
    const std::string extension = extensionOf(url);
    for (const DocumentType& type : types_) {
        if (listHas(type.writableExtensions, extension) || listHas(type.readOnlyExtensions, extension)) {
            return &type;
        }
    }
    return nullptr;
}

bool DocumentController::canWriteFileAtURL(const std::filesystem::path& url) const {
    const DocumentType* type = documentTypeForURL(url);
    return type != nullptr && listHas(type->writableExtensions, extensionOf(url));
}

std::vector<std::string> DocumentController::writableExtensionsForType(const std::string& name) const {
    const DocumentType* type = documentTypeNamed(name);
    return type != nullptr ? type->writableExtensions : std::vector<std::string>{};
}

std::vector<std::string> DocumentController::readableExtensions() const {
    std::vector<std::string> extensions;
    for (const DocumentType& type : types_) {
        extensions.insert(extensions.end(), type.writableExtensions.begin(), type.writableExtensions.end());
        extensions.insert(extensions.end(), type.readOnlyExtensions.begin(), type.readOnlyExtensions.end());
    }
    return extensions;
}

Document* DocumentController::currentDocument() const {
    const Application* application = Application::shared();
    const Window* main = application != nullptr ? application->mainWindow() : nullptr;
    const WindowController* controller = main != nullptr ? main->windowController() : nullptr;
    return controller != nullptr ? controller->document() : nullptr;
}

Document* DocumentController::documentForURL(const std::filesystem::path& url) const {
    const std::filesystem::path wanted = normalised(url);
    for (const auto& document : documents_) {
        if (!document->fileURL().empty() && normalised(document->fileURL()) == wanted) {
            return document.get();
        }
    }
    return nullptr;
}

void DocumentController::addDocument(std::shared_ptr<Document> document) {
    if (!document) {
        return;
    }
    document->setDocumentController(this);
    documents_.push_back(std::move(document));
}

void DocumentController::removeDocument(Document* document) {
    const auto found = std::find_if(documents_.begin(), documents_.end(),
                                    [document](const auto& each) { return each.get() == document; });
    if (found == documents_.end()) {
        return;
    }
    std::shared_ptr<Document> held = *found;
    documents_.erase(found);
    held->setDocumentController(nullptr);
    Application::performDeferred([held] {});
}

std::shared_ptr<Document> DocumentController::makeUntitledDocumentOfType(const std::string& typeName,
                                                                         std::string* error) {
    const DocumentType* type = documentTypeNamed(typeName);
    if (type == nullptr || !type->makeDocument) {
        if (error != nullptr) {
            *error = "No document of the type “" + typeName + "” can be made.";
        }
        return nullptr;
    }
    std::shared_ptr<Document> document = type->makeDocument();
    if (document) {
        document->setFileType(type->name);
    }
    return document;
}

std::shared_ptr<Document> DocumentController::makeDocumentWithContentsOfURL(const std::filesystem::path& url,
                                                                            const std::string& typeName,
                                                                            std::string* error) {
    std::shared_ptr<Document> document = makeUntitledDocumentOfType(typeName, error);
    if (!document) {
        return nullptr;
    }
    if (!readDocumentFromURL(*document, url, typeName, error)) {
        return nullptr;
    }
    return document;
}

bool DocumentController::readDocumentFromURL(Document& document, const std::filesystem::path& url,
                                             const std::string& typeName, std::string* error) {
    if (!document.readFromURL(url, typeName, error)) {
        return false;
    }
    document.setFileURL(url);
    // Whatever reading registered is not an edit of the user's.
    document.undoManager().removeAllActions();
    document.updateChangeCountCleared();
    return true;
}

Document* DocumentController::newDocument() {
    std::string error;
    std::shared_ptr<Document> document = makeUntitledDocumentOfType(defaultType(), &error);
    if (!document) {
        Alert::alertWithMessage(error, "OK")->runModal();
        return nullptr;
    }
    addDocument(document);
    document->makeWindowControllers();
    document->showWindows();
    return document.get();
}

void DocumentController::openDocument() {
    OpenPanel panel;
    panel.allowedFileTypes = readableExtensions();
    panel.allowsMultipleSelection = true;
    for (const std::filesystem::path& url : panel.runModal()) {
        openDocumentWithContentsOfURL(url, true);
    }
}

Document* DocumentController::openDocumentWithContentsOfURL(const std::filesystem::path& url, bool display,
                                                            std::string* error) {
    if (Document* open = documentForURL(url)) {
        if (display) {
            open->showWindows();
        }
        return open;
    }
    std::string reason;
    std::shared_ptr<Document> document;
    const DocumentType* type = documentTypeForURL(url);
    if (type == nullptr) {
        reason = "The file “" + url.filename().string() + "” is not of a type this application opens.";
    } else {
        document = makeDocumentWithContentsOfURL(url, type->name, &reason);
    }
    if (!document) {
        if (error != nullptr) {
            *error = reason;
        }
        Alert::alertWithMessage("The document “" + url.filename().string() + "” could not be opened.", "OK",
                                {}, {}, reason)
            ->runModal();
        return nullptr;
    }
    addDocument(document);
    noteNewRecentDocumentURL(url);
    document->makeWindowControllers();
    if (display) {
        document->showWindows();
    }
    return document.get();
}

void DocumentController::noteNewRecentDocumentURL(const std::filesystem::path& url) {
    const std::filesystem::path entry = normalised(url);
    if (entry.string().find('\n') != std::string::npos) {
        return; // cannot be stored one a line
    }
    recent_.erase(std::remove(recent_.begin(), recent_.end(), entry), recent_.end());
    recent_.insert(recent_.begin(), entry);
    if (static_cast<int>(recent_.size()) > maximumRecentDocumentCount()) {
        recent_.resize(static_cast<std::size_t>(maximumRecentDocumentCount()));
    }
    storeRecentDocuments();
}

void DocumentController::clearRecentDocuments() {
    recent_.clear();
    storeRecentDocuments();
}

} // namespace platform
