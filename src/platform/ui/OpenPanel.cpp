#include "platform/ui/OpenPanel.h"

#include <QFileDialog>
#include <QStringList>

namespace platform {

namespace {
OpenPanel::TestAnswer openTestAnswer;
} // namespace

void OpenPanel::setTestAnswer(TestAnswer answer) {
    openTestAnswer = std::move(answer);
}

std::vector<std::filesystem::path> OpenPanel::runModal() {
    if (openTestAnswer) {
        return openTestAnswer(*this).value_or(std::vector<std::filesystem::path>{});
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
    }
    return chosen;
}

} // namespace platform
