#include "app/TOVStartUpWindowController.h"

#include "app/TOVAboutWindowController.h"

#include "platform/foundation/Resources.h"
#include "platform/ui/Application.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCoreApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <mutex>

namespace {

std::mutex& singletonLock() {
    static std::mutex lock;
    return lock;
}

TOVStartUpWindowController*& singleton() {
    static TOVStartUpWindowController* instance = nullptr;
    return instance;
}

platform::DocumentController* sharedDocumentController() {
    platform::Application* application = platform::Application::shared();
    return application != nullptr ? application->documentController() : nullptr;
}

const std::vector<std::filesystem::path>& currentRecentDocumentURLs() {
    static const std::vector<std::filesystem::path> none;
    const platform::DocumentController* controller = sharedDocumentController();
    return controller != nullptr ? controller->recentDocumentURLs() : none;
}

QString text(std::string_view english) {
    return QString::fromStdString(platform::localized(english));
}

} // namespace

TOVStartUpWindowController* TOVStartUpWindowController::singletonInstance() {
    const std::lock_guard<std::mutex> guard(singletonLock());
    if (singleton() == nullptr) {
        singleton() = new TOVStartUpWindowController();
        singleton()->hide();
    }
    return singleton();
}

void TOVStartUpWindowController::releaseSingletonInstance() {
    const std::lock_guard<std::mutex> guard(singletonLock());
    delete singleton();
    singleton() = nullptr;
}

TOVStartUpWindowController::TOVStartUpWindowController()
    : platform::WindowController(std::make_unique<platform::Window>(platform::Window::Kind::Panel)) {
    strVersionNumber_ = QString::fromUtf8(platform::shortVersionString.data(),
                                          static_cast<qsizetype>(platform::shortVersionString.size()));
    strCopyright_ = QString::fromUtf8(platform::copyrightString.data(),
                                      static_cast<qsizetype>(platform::copyrightString.size()));
    buildWindow();
}

TOVStartUpWindowController::~TOVStartUpWindowController() = default;

void TOVStartUpWindowController::buildWindow() {
    platform::Window* panel = window();
    panel->setWindowTitle(text("Welcome to Tovrin"));
    // Escape hides the panel like its close button; neither ends the run while a document is open.
    panel->setWillCloseHandler([this] { windowDidClose(); });

    auto* content = new QWidget(panel);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(18, 16, 18, 16);
    layout->setSpacing(10);

    auto* header = new QHBoxLayout();
    auto* title = new QLabel(QStringLiteral("Tovrin"), content);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    title->setFont(titleFont);
    header->addWidget(title);
    header->addStretch(1);
    auto* about = new QVBoxLayout();
    versionLabel_ = new QLabel(TOVAboutWindowController::versionText(), content);
    versionLabel_->setAlignment(Qt::AlignRight);
    copyrightLabel_ = new QLabel(strCopyright_, content);
    copyrightLabel_->setAlignment(Qt::AlignRight);
    about->addWidget(versionLabel_);
    about->addWidget(copyrightLabel_);
    header->addLayout(about);
    layout->addLayout(header);

    auto* recentTitle = new QLabel(text("Recent Documents"), content);
    layout->addWidget(recentTitle);

    tableView_ = new QTableWidget(0, 2, content);
    tableView_->setHorizontalHeaderLabels({text("Name"), text("Folder")});
    tableView_->horizontalHeader()->setStretchLastSection(true);
    tableView_->horizontalHeader()->resizeSection(0, 200);
    tableView_->verticalHeader()->hide();
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_->setShowGrid(false);
    tableView_->setAlternatingRowColors(true);
    tableView_->setWordWrap(false);
    QObject::connect(tableView_, &QTableWidget::itemSelectionChanged, tableView_,
                     [this] { tableViewAction(); });
    layout->addWidget(tableView_, 1);

    fullPathLabel_ = new QLabel(content);
    fullPathLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fullPathLabel_->setMinimumHeight(fullPathLabel_->fontMetrics().height());
    layout->addWidget(fullPathLabel_);

    auto* buttons = new QHBoxLayout();
    buttonNewFile_ = new QPushButton(text("New"), content);
    buttonOpenAnotherFile_ = new QPushButton(text("Open..."), content);
    buttonOpenRecentUsedFile_ = new QPushButton(text("Open Recent"), content);
    buttonOpenRecentUsedFile_->setDefault(true);
    QObject::connect(buttonNewFile_, &QPushButton::clicked, buttonNewFile_, [this] { createNew(); });
    QObject::connect(buttonOpenAnotherFile_, &QPushButton::clicked, buttonOpenAnotherFile_,
                     [this] { openAnotherFile(); });
    QObject::connect(buttonOpenRecentUsedFile_, &QPushButton::clicked, buttonOpenRecentUsedFile_,
                     [this] { openRecentUsedFile(); });
    buttons->addWidget(buttonNewFile_);
    buttons->addWidget(buttonOpenAnotherFile_);
    buttons->addStretch(1);
    buttons->addWidget(buttonOpenRecentUsedFile_);
    layout->addLayout(buttons);

    panel->setCentralWidget(content);
    panel->resize(560, 380);
    // The panel carries no menu bar; Quit still reaches the application from it, by the menus' own key.
    // (The standard Quit key comes from the platform theme: Qt's plain theme, which the offscreen platform
    // uses, has the Windows keyboard scheme, where it is empty.)
    auto* quit = new QAction(panel);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(quit, &QAction::triggered, panel, [] {
        platform::Application* application = platform::Application::shared();
        if (application == nullptr || !application->sendAction("terminate:")) {
            QCoreApplication::quit();
        }
    });
    panel->addAction(quit);
    updateButton();
    updateFullPathLabel();
}

void TOVStartUpWindowController::reloadTable() {
    const QSignalBlocker blocker(tableView_);
    tableView_->clearSelection();
    tableView_->setRowCount(static_cast<int>(recentFilesArray_.size()));
    for (std::size_t i = 0; i < recentFilesArray_.size(); ++i) {
        const std::filesystem::path& url = recentFilesArray_[i];
        auto* name = new QTableWidgetItem(QString::fromStdString(url.filename().string()));
        auto* folder = new QTableWidgetItem(QString::fromStdString(url.parent_path().string()));
        name->setToolTip(QString::fromStdString(url.string()));
        folder->setToolTip(name->toolTip());
        tableView_->setItem(static_cast<int>(i), 0, name);
        tableView_->setItem(static_cast<int>(i), 1, folder);
    }
}

void TOVStartUpWindowController::showUp() {
    recentFilesArray_ = currentRecentDocumentURLs();
    reloadTable();
    updateButton();
    updateFullPathLabel();
    showWindow();
}

void TOVStartUpWindowController::hide() {
    hiding_ = true;
    window()->hide();
    hiding_ = false;
}

void TOVStartUpWindowController::windowDidClose() {
    if (hiding_) {
        return;
    }
    // No dock keeps the application running without windows: closing the panel while no document is
    // open ends the run.
    const platform::DocumentController* controller = sharedDocumentController();
    if (controller == nullptr || controller->documents().empty()) {
        QCoreApplication::quit();
    }
}

void TOVStartUpWindowController::createNew() {
    if (platform::DocumentController* controller = sharedDocumentController()) {
        controller->newDocument();
    }
}

void TOVStartUpWindowController::openAnotherFile() {
    if (platform::DocumentController* controller = sharedDocumentController()) {
        controller->openDocument();
    }
}

std::optional<int> TOVStartUpWindowController::singleSelectedRow() const {
    const QModelIndexList rows = tableView_->selectionModel()->selectedRows();
    if (rows.size() != 1) {
        return std::nullopt;
    }
    return rows.front().row();
}

void TOVStartUpWindowController::openRecentUsedFile() {
    const std::optional<int> row = singleSelectedRow();
    if (!row) {
        return;
    }
    // The list may have changed since the panel was shown; the row is looked up in the current one.
    const std::vector<std::filesystem::path> recent = currentRecentDocumentURLs();
    platform::DocumentController* controller = sharedDocumentController();
    if (controller == nullptr || *row < 0 || static_cast<std::size_t>(*row) >= recent.size()) {
        return;
    }
    controller->openDocumentWithContentsOfURL(recent[static_cast<std::size_t>(*row)], true);
}

void TOVStartUpWindowController::tableViewAction() {
    updateButton();
    updateFullPathLabel();
}

void TOVStartUpWindowController::updateButton() {
    buttonOpenRecentUsedFile_->setEnabled(singleSelectedRow().has_value());
}

void TOVStartUpWindowController::updateFullPathLabel() {
    selectedURLString_.reset();
    if (const std::optional<int> row = singleSelectedRow()) {
        const std::vector<std::filesystem::path>& recent = currentRecentDocumentURLs();
        if (*row >= 0 && static_cast<std::size_t>(*row) < recent.size()) {
            selectedURLString_ = QString::fromStdString(recent[static_cast<std::size_t>(*row)].string());
        }
    }
    fullPathLabel_->setText(selectedURLString_.value_or(QString()));
}
