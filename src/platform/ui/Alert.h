#pragma once

#include <QMessageBox>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QWidget;

namespace platform {

class Window;

// A message with up to three buttons. The first button is the default one and answers DefaultReturn (1),
// the second AlternateReturn (0), the third OtherReturn (-1); Escape and closing the alert answer as a
// button titled "Cancel" does, or as the alternate button when there is no "Cancel".
//
// As a sheet the alert is window-modal on its window, and alerts begun on a window while one shows there
// wait their turn: each shows once the one before has been answered. A test (or a run without a screen)
// may set an answer hook, which answers each alert as it reaches the front without showing it.
class Alert : public std::enable_shared_from_this<Alert> {
public:
    static constexpr int DefaultReturn = 1;
    static constexpr int AlternateReturn = 0;
    static constexpr int OtherReturn = -1;

    Alert();
    ~Alert();
    Alert(const Alert&) = delete;
    Alert& operator=(const Alert&) = delete;

    // Empty button titles are left out; without any button the alert has "OK".
    static std::shared_ptr<Alert> alertWithMessage(const std::string& message,
                                                   const std::string& defaultButton,
                                                   const std::string& alternateButton = {},
                                                   const std::string& otherButton = {},
                                                   const std::string& informativeText = {});

    const std::string& messageText() const { return messageText_; }
    void setMessageText(std::string text) { messageText_ = std::move(text); }
    const std::string& informativeText() const { return informativeText_; }
    void setInformativeText(std::string text) { informativeText_ = std::move(text); }
    void addButtonWithTitle(const std::string& title);
    const std::vector<std::string>& buttonTitles() const { return buttons_; }
    // The return code of the button at the index (0 first).
    static int returnCodeForButtonIndex(int index);

    // Shows the alert as a sheet on the window (after the alerts already waiting there) and calls the
    // handler with the return code once it is answered. A null window runs it application-modally, later.
    void beginSheetModalForWindow(Window* window, std::function<void(int)> handler);
    // Runs the alert application-modally and answers the return code.
    int runModal();

    // The alert showing on the window and how many wait behind it.
    static Alert* sheetOnWindow(const Window* window);
    static int waitingSheetCount(const Window* window);
    // The message box of a showing alert, and its button with the title (for clicks).
    QMessageBox* messageBox() const { return box_; }
    QAbstractButton* buttonWithTitle(const std::string& title) const;

    using AnswerHook = std::function<std::optional<int>(const Alert&)>;
    // Answers alerts as they come to the front; a hook that gives no value lets the alert show.
    static void setAnswerHook(AnswerHook hook);

private:
    struct Sheet;
    static void showNextSheet(Window* window);
    QMessageBox* makeMessageBox(QWidget* parent);
    int returnCodeFor(QAbstractButton* clicked) const;
    int escapeReturnCode() const;

    std::string messageText_;
    std::string informativeText_;
    std::vector<std::string> buttons_;
    QPointer<QMessageBox> box_;
    std::vector<QAbstractButton*> qButtons_;
};

} // namespace platform
