#include "platform/ui/SavePanel.h"

#include "platform/ui/OpenPanel.h"

#include <QFileDialog>
#include <QGridLayout>

#include <algorithm>

namespace platform {

namespace {
SavePanel::TestAnswer saveTestAnswer;
} // namespace

SavePanel::SavePanel() = default;

SavePanel::~SavePanel() {
    delete accessory_.data();
}

void SavePanel::setTestAnswer(TestAnswer answer) {
    saveTestAnswer = std::move(answer);
}

void SavePanel::setAccessoryView(QWidget* view) {
    if (accessory_ != view) {
        delete accessory_.data();
    }
    accessory_ = view;
}

std::filesystem::path SavePanel::withAllowedExtension(std::filesystem::path path) const {
    if (allowedFileTypes.empty()) {
        return path;
    }
    std::string extension = path.extension().string();
    if (!extension.empty()) {
        extension.erase(0, 1);
    }
    const bool allowed =
        std::any_of(allowedFileTypes.begin(), allowedFileTypes.end(), [&](const std::string& type) {
            return QString::fromStdString(type).compare(QString::fromStdString(extension),
                                                        Qt::CaseInsensitive) == 0;
        });
    if (!allowed) {
        path += "." + allowedFileTypes.front();
    }
    return path;
}

std::optional<std::filesystem::path> SavePanel::runModal() {
    // Never the program's working folder, which means nothing to the user.
    if (directory.empty()) {
        directory = panelStartFolder();
    }
    if (saveTestAnswer) {
        std::optional<std::filesystem::path> answer = saveTestAnswer(*this);
        if (answer) {
            notePanelChoice(*answer);
            return withAllowedExtension(*answer);
        }
        return std::nullopt;
    }
    QFileDialog dialog(nullptr, QString::fromStdString(message), QString::fromStdString(directory.string()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(QString::fromStdString(nameFieldStringValue));
    if (!prompt.empty()) {
        dialog.setLabelText(QFileDialog::Accept, QString::fromStdString(prompt));
    }
    if (!allowedFileTypes.empty()) {
        QStringList patterns;
        for (const std::string& type : allowedFileTypes) {
            patterns << QStringLiteral("*.") + QString::fromStdString(type);
        }
        dialog.setNameFilter(patterns.join(u' '));
        dialog.setDefaultSuffix(QString::fromStdString(allowedFileTypes.front()));
    }
    // The non-native dialog lays itself out in a grid; the accessory goes below everything.
    if (accessory_ != nullptr) {
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            grid->addWidget(accessory_, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    std::optional<std::filesystem::path> chosen;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        chosen = withAllowedExtension(std::filesystem::path(dialog.selectedFiles().front().toStdString()));
        notePanelChoice(*chosen);
    }
    // The accessory outlives the dialog: take it out before the dialog goes.
    if (accessory_ != nullptr) {
        accessory_->setParent(nullptr);
    }
    return chosen;
}

} // namespace platform
