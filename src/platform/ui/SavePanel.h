#pragma once

#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The panel that chooses where a document is saved, run application-modally. A chosen name without one
// of the allowed extensions gets the first of them.
class SavePanel {
public:
    SavePanel();
    ~SavePanel();
    SavePanel(const SavePanel&) = delete;
    SavePanel& operator=(const SavePanel&) = delete;

    // Extensions without the dot; empty allows every name.
    std::vector<std::string> allowedFileTypes;
    std::filesystem::path directory;
    // The proposed file name.
    std::string nameFieldStringValue;
    std::string prompt;
    std::string message;

    // A widget shown under the file list; the panel owns it.
    QWidget* accessoryView() const { return accessory_; }
    void setAccessoryView(QWidget* view);

    // The chosen file; no value when the user cancelled.
    std::optional<std::filesystem::path> runModal();
    // The name with an allowed extension.
    std::filesystem::path withAllowedExtension(std::filesystem::path path) const;

    // Answers every panel instead of showing it; the hook may look at and change the accessory view. No
    // value is Cancel.
    using TestAnswer = std::function<std::optional<std::filesystem::path>(SavePanel&)>;
    static void setTestAnswer(TestAnswer answer);

private:
    QPointer<QWidget> accessory_;
};

} // namespace platform
