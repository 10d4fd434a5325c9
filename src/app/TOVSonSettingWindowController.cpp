#include "app/TOVSonSettingWindowController.h"

#include "app/TOVSongSettingViewController.h"

#include "model/Song.h"
#include "platform/foundation/Resources.h"
#include "platform/ui/Window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString tr(const char* english) {
    return QString::fromStdString(platform::localized(english));
}

QString plainText(const std::optional<platform::AttributedString>& text) {
    return text ? text->string() : QStringLiteral("");
}

} // namespace

TOVSonSettingWindowController::TOVSonSettingWindowController()
    : TOVSheetController(std::make_unique<platform::Window>(platform::Window::Kind::Panel)),
      viewController_(std::make_unique<TOVSongSettingViewController>()) {
    platform::Window* sheet = window();
    sheet->setObjectName(QStringLiteral("TOVSonSettingWindowController"));
    sheet->setWindowTitle(tr("Song Properties"));
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    settingView_ = new QWidget(content);
    column->addWidget(settingView_);
    const ButtonRow row = addButtonRow(content, column);
    cancelButton_ = row.cancel;
    acceptButton_ = row.accept;
    sheet->setCentralWidget(content);
    // Closing the sheet any other way (Escape, its close button) cancels.

    // Set-up of the loaded window: the form goes into its area, its line choice cannot be changed here.
    QWidget* form = viewController_->view();
    viewController_->rowSelector()->setEnabled(false);
    updateFields();
    auto* area = new QVBoxLayout(settingView_);
    area->setContentsMargins(0, 0, 0, 0);
    area->addWidget(form);
    sheet->adjustSize();
}

TOVSonSettingWindowController::~TOVSonSettingWindowController() = default;

void TOVSonSettingWindowController::updateFields() {
    TOVSongSettingViewController& form = *viewController_;
    form.songNameTextField()->setText(song_ != nullptr ? plainText(song_->name()) : QStringLiteral(""));
    form.producerTextField()->setText(song_ != nullptr ? plainText(song_->producer()) : QStringLiteral(""));
    form.arrangerTextField()->setText(song_ != nullptr ? plainText(song_->arranger()) : QStringLiteral(""));
    form.composerTextField()->setText(song_ != nullptr ? plainText(song_->composer()) : QStringLiteral(""));
    form.writerTextField()->setText(song_ != nullptr ? plainText(song_->writer()) : QStringLiteral(""));
    // The disabled line choice shows the song's own, so that accepting the sheet writes it back unchanged.
    form.rowSelector()->setCurrentIndex(song_ != nullptr && song_->isDoubleRow() ? 1 : 0);
}

bool TOVSonSettingWindowController::runModalOnWindow(platform::Window* window) {
    updateFields();
    const bool accepted = TOVSheetController::runModalOnWindow(window);
    if (accepted) {
        viewController_->commitPropertiesIn(song_);
    }
    return accepted;
}
