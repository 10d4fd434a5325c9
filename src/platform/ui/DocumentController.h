#pragma once

#include "platform/ui/Responder.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Document;

// A kind of document the application handles: its name, the extensions it reads and writes, those it
// only reads, and how a document of it is made.
struct DocumentType {
    std::string name;
    std::vector<std::string> writableExtensions;
    std::vector<std::string> readOnlyExtensions;
    std::function<std::shared_ptr<Document>()> makeDocument;
};

// Makes, opens and keeps the documents of the application; keeps the recent-documents list. Actions:
// newDocument:, openDocument:, clearRecentDocuments:.
class DocumentController : public Responder {
public:
    DocumentController();
    ~DocumentController() override;

    // --- Types ---
    void registerDocumentType(DocumentType type);
    // The type of new documents: the first registered.
    virtual std::string defaultType() const;
    const DocumentType* documentTypeNamed(const std::string& name) const;
    // The type that reads the file's extension (any case), or null.
    const DocumentType* documentTypeForURL(const std::filesystem::path& url) const;
    bool canWriteFileAtURL(const std::filesystem::path& url) const;
    std::vector<std::string> writableExtensionsForType(const std::string& name) const;
    std::vector<std::string> readableExtensions() const;

    // --- Documents ---
    const std::vector<std::shared_ptr<Document>>& documents() const { return documents_; }
    // The document of the main window, or null.
    Document* currentDocument() const;
    Document* documentForURL(const std::filesystem::path& url) const;
    void addDocument(std::shared_ptr<Document> document);
    // The document leaves the list; it is let go once the event being handled has returned, since its
    // windows may be closing.
    virtual void removeDocument(Document* document);

    // --- Making and opening ---
    virtual std::shared_ptr<Document> makeUntitledDocumentOfType(const std::string& typeName,
                                                                 std::string* error);
    virtual std::shared_ptr<Document> makeDocumentWithContentsOfURL(const std::filesystem::path& url,
                                                                    const std::string& typeName,
                                                                    std::string* error);
    // A new untitled document of the default type, with its windows shown.
    virtual Document* newDocument();
    // Runs the open panel and opens the chosen files.
    virtual void openDocument();
    // Opens the file, or brings forward the document that has it open already. A failure is shown in an
    // alert and answers null.
    virtual Document* openDocumentWithContentsOfURL(const std::filesystem::path& url, bool display,
                                                    std::string* error = nullptr);

    // --- Recent documents (newest first; kept in the user's defaults) ---
    const std::vector<std::filesystem::path>& recentDocumentURLs() const { return recent_; }
    void noteNewRecentDocumentURL(const std::filesystem::path& url);
    void clearRecentDocuments();
    int maximumRecentDocumentCount() const { return 10; }

protected:
    // Fills a document just made from the file, which becomes its file; whatever reading registered is not
    // an edit of the user's. False (with the reason in error) when the file could not be read.
    static bool readDocumentFromURL(Document& document, const std::filesystem::path& url,
                                    const std::string& typeName, std::string* error);

private:
    void storeRecentDocuments() const;

    std::vector<DocumentType> types_;
    std::vector<std::shared_ptr<Document>> documents_;
    std::vector<std::filesystem::path> recent_;
};

} // namespace platform
