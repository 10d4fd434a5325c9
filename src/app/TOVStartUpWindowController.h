#pragma once

#include "platform/ui/WindowController.h"

#include <QString>

#include <filesystem>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

// The start-up panel: the recently used documents, New, Open and Open Recent. One per application; it
// shows while no document is open and hides as soon as a document is created or opened. On Linux, where
// there is no dock to bring the application back, closing it while no document is open quits.
class TOVStartUpWindowController : public platform::WindowController {
public:
    // The one panel, made on first use with its window hidden.
    static TOVStartUpWindowController* singletonInstance();
    // Lets the panel go (the end of the application, tests).
    static void releaseSingletonInstance();

    TOVStartUpWindowController();
    ~TOVStartUpWindowController() override;

    // Refreshes the recent documents and the buttons, then shows the panel as the key window.
    void showUp();
    void hide();

    // Button and table actions.
    void createNew();
    void openAnotherFile();
    void openRecentUsedFile();
    void tableViewAction();

    // Open Recent is enabled exactly when one row is selected.
    void updateButton();
    // With one row selected, the relative path of that recent document; otherwise none.
    void updateFullPathLabel();

    const std::vector<std::filesystem::path>& recentFilesArray() const { return recentFilesArray_; }
    const QString& strVersionNumber() const { return strVersionNumber_; }
    const QString& strCopyright() const { return strCopyright_; }
    const std::optional<QString>& selectedURLString() const { return selectedURLString_; }

    QTableWidget* tableView() const { return tableView_; }
    QPushButton* buttonNewFile() const { return buttonNewFile_; }
    QPushButton* buttonOpenAnotherFile() const { return buttonOpenAnotherFile_; }
    QPushButton* buttonOpenRecentUsedFile() const { return buttonOpenRecentUsedFile_; }
    QLabel* fullPathLabel() const { return fullPathLabel_; }
    QLabel* versionLabel() const { return versionLabel_; }
    QLabel* copyrightLabel() const { return copyrightLabel_; }

private:
    void buildWindow();
    void reloadTable();
    std::optional<int> singleSelectedRow() const;
    void windowDidClose();

    std::vector<std::filesystem::path> recentFilesArray_;
    QString strVersionNumber_;
    QString strCopyright_;
    std::optional<QString> selectedURLString_;
    QTableWidget* tableView_ = nullptr;
    QPushButton* buttonNewFile_ = nullptr;
    QPushButton* buttonOpenAnotherFile_ = nullptr;
    QPushButton* buttonOpenRecentUsedFile_ = nullptr;
    QLabel* fullPathLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* copyrightLabel_ = nullptr;
    bool hiding_ = false;
};
