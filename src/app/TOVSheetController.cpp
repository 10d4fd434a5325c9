#include "app/TOVSheetController.h"

#include "platform/foundation/Resources.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TOVSheetController::TOVSheetController(std::unique_ptr<platform::Window> window)
    : platform::WindowController(std::move(window)) {}

TOVSheetController::~TOVSheetController() = default;

bool TOVSheetController::runModalOnWindow(platform::Window* window) {
    result_ = false;
    platform::Application* application = platform::Application::shared();
    platform::Window* sheet = this->window();
    if (application == nullptr || sheet == nullptr) {
        return false;
    }
    application->runModalSheetForWindow(sheet, window);
    if (sheet->isVisible()) {
        sheet->hide();
    }
    return result_;
}

void TOVSheetController::accept() {
    result_ = true;
    if (platform::Application* application = platform::Application::shared()) {
        application->stopModal();
    }
}

void TOVSheetController::cancel() {
    result_ = false;
    if (platform::Application* application = platform::Application::shared()) {
        application->stopModal();
    }
}

TOVSheetController::ButtonRow TOVSheetController::addButtonRow(QWidget* content, QVBoxLayout* column) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const ButtonRow row{new QPushButton(QString::fromStdString(platform::localized("Cancel")), content),
                        new QPushButton(QString::fromStdString(platform::localized("OK")), content)};
    row.accept->setDefault(true);
    buttons->addWidget(row.cancel);
    buttons->addWidget(row.accept);
    column->addLayout(buttons);
    QObject::connect(row.accept, &QPushButton::clicked, [this] { accept(); });
    QObject::connect(row.cancel, &QPushButton::clicked, [this] { cancel(); });
    return row;
}
