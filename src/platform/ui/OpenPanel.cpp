#include "platform/ui/OpenPanel.h"

#include "platform/foundation/UserDefaults.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QStringList>

namespace platform {

namespace {
OpenPanel::TestAnswer openTestAnswer;

constexpr const char* kLastPanelFolder = "lastPanelFolder";

bool isFolder(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}
} // namespace

std::filesystem::path panelStartFolder() {
    if (const std::optional<std::string> last = UserDefaults::standard().stringForKey(kLastPanelFolder);
        last && isFolder(*last)) {
        return *last;
    }
    const std::filesystem::path documents =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    if (isFolder(documents)) {
        return documents;
    }
    return QDir::homePath().toStdString();
}

void notePanelChoice(const std::filesystem::path& chosenFile) {
    const std::filesystem::path folder = chosenFile.parent_path();
    if (isFolder(folder)) {
        UserDefaults::standard().setString(kLastPanelFolder, folder.string());
    }
}

void OpenPanel::setTestAnswer(TestAnswer answer) {
    openTestAnswer = std::move(answer);
}

std::vector<std::filesystem::path> OpenPanel::runModal() {
    // Never the program's working folder, which means nothing to the user.
    if (directory.empty()) {
        directory = panelStartFolder();
    }
    if (openTestAnswer) {
        std::vector<std::filesystem::path> chosen =
            openTestAnswer(*this).value_or(std::vector<std::filesystem::path>{});
        if (!chosen.empty()) {
            notePanelChoice(chosen.front());
        }
        return chosen;
    }
    QFileDialog dialog(nullptr, QString::fromStdString(message), QString::fromStdString(directory.string()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (!prompt.empty()) {
        dialog.setLabelText(QFileDialog::Accept, QString::fromStdString(prompt));
    }
    if (!allowedFileTypes.empty()) {
        QStringList patterns;
        for (const std::string& type : allowedFileTypes) {
            patterns << QStringLiteral("*.") + QString::fromStdString(type);
        }
        dialog.setNameFilter(patterns.join(u' '));
    }
    std::vector<std::filesystem::path> chosen;
    if (dialog.exec() == QDialog::Accepted) {
        for (const QString& file : dialog.selectedFiles()) {
            chosen.emplace_back(file.toStdString());
        }
        if (!chosen.empty()) {
            notePanelChoice(chosen.front());
        }
    }
    return chosen;
}

} // namespace platform
