#include "app/TOVAboutWindowController.h"

#include "platform/foundation/Resources.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include <mutex>

TOVAboutWindowController* TOVAboutWindowController::singletonInstance() {
    static std::mutex lock;
    static TOVAboutWindowController* instance = nullptr;
    std::lock_guard<std::mutex> guard(lock);
    if (instance == nullptr) {
        instance = new TOVAboutWindowController();
    }
    return instance;
}

TOVAboutWindowController::TOVAboutWindowController()
    : WindowController(std::make_unique<platform::Window>(platform::Window::Kind::Panel)),
      strVersionNumber_(std::string(platform::shortVersionString) + " R"),
      strCopyright_(platform::copyrightString) {
    platform::Window* panel = window();
    panel->setWindowTitle(QString::fromStdString(platform::localized("About Tovrin")));
    auto* content = new QWidget(panel);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->setSpacing(8);
    auto* name = new QLabel(QStringLiteral("Tovrin"), content);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(versionText(), content);
    version->setObjectName(QStringLiteral("version"));
    version->setAlignment(Qt::AlignCenter);
    auto* copyright = new QLabel(QString::fromStdString(strCopyright_), content);
    copyright->setObjectName(QStringLiteral("copyright"));
    copyright->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(copyright);
    panel->setCentralWidget(content);
    panel->adjustSize();
    panel->hide();
}

QString TOVAboutWindowController::versionText() {
    return QString::fromStdString(platform::localized("Version") + " " +
                                  std::string(platform::shortVersionString) + " R");
}

void TOVAboutWindowController::showUp() {
    platform::Window* panel = window();
    // Over the middle of the screen the application works on, whole.
    const QWidget* front = QApplication::activeWindow();
    const QScreen* screen = front != nullptr ? front->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr && !panel->isVisible()) {
        panel->adjustSize();
        QRect frame = panel->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        panel->move(frame.topLeft());
    }
    panel->show();
    panel->raise();
    panel->activateWindow();
}
