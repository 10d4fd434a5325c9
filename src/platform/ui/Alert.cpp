#include "platform/ui/Alert.h"

#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

#include <deque>
#include <map>

namespace platform {

struct Alert::Sheet {
    std::shared_ptr<Alert> alert;
    std::function<void(int)> handler;
};

namespace {
Alert::AnswerHook answerHook;

struct WindowSheets {
    QPointer<Window> window;
    bool showing = false;
    std::deque<std::shared_ptr<void>> waiting; // Alert::Sheet, typed in the functions below
};
std::map<const Window*, WindowSheets>& sheetQueues() {
    static std::map<const Window*, WindowSheets> queues;
    return queues;
}

// Runs the action once the window is on screen (shown, and exposed where the window system places it
// first); goes with the window.
class ShownWatcher : public QObject {
public:
    ShownWatcher(QWidget* window, std::function<void()> action)
        : QObject(window), window_(window), action_(std::move(action)) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == window_) {
            window_->removeEventFilter(this);
            QWindow* handle = window_->windowHandle();
            if (handle == nullptr || handle->isExposed()) {
                run();
            } else {
                handle->installEventFilter(this);
            }
        } else if (event->type() == QEvent::Expose && watched != window_) {
            auto* handle = static_cast<QWindow*>(watched);
            if (handle->isExposed()) {
                handle->removeEventFilter(this);
                run();
            }
        }
        return false;
    }

private:
    void run() {
        if (action_) {
            Application::performDeferred(std::move(action_));
            action_ = nullptr;
        }
        deleteLater();
    }

    QWidget* window_;
    std::function<void()> action_;
};
} // namespace

Alert::Alert() = default;

Alert::~Alert() {
    if (box_ != nullptr) {
        box_->deleteLater();
    }
}

std::shared_ptr<Alert> Alert::alertWithMessage(const std::string& message, const std::string& defaultButton,
                                               const std::string& alternateButton,
                                               const std::string& otherButton,
                                               const std::string& informativeText) {
    auto alert = std::make_shared<Alert>();
    alert->setMessageText(message);
    alert->setInformativeText(informativeText);
    for (const std::string* title : {&defaultButton, &alternateButton, &otherButton}) {
        if (!title->empty()) {
            alert->addButtonWithTitle(*title);
        }
    }
    return alert;
}

void Alert::addButtonWithTitle(const std::string& title) {
    buttons_.push_back(title);
}

int Alert::returnCodeForButtonIndex(int index) {
    return DefaultReturn - index;
}

int Alert::escapeReturnCode() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i] == "Cancel") {
            return returnCodeForButtonIndex(static_cast<int>(i));
        }
    }
    return buttons_.size() > 1 ? AlternateReturn : DefaultReturn;
}

int Alert::returnCodeFor(QAbstractButton* clicked) const {
    for (std::size_t i = 0; i < qButtons_.size(); ++i) {
        if (qButtons_[i] == clicked) {
            return returnCodeForButtonIndex(static_cast<int>(i));
        }
    }
    return escapeReturnCode();
}

QMessageBox* Alert::makeMessageBox(QWidget* parent) {
    if (buttons_.empty()) {
        buttons_.push_back("OK");
    }
    auto* box = new QMessageBox(parent);
    box->setIcon(QMessageBox::Warning);
    box->setText(QString::fromStdString(messageText_));
    box->setInformativeText(QString::fromStdString(informativeText_));
    qButtons_.clear();
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const auto role = i == 0 ? QMessageBox::AcceptRole
                                 : (i == 1 ? QMessageBox::RejectRole : QMessageBox::DestructiveRole);
        qButtons_.push_back(box->addButton(QString::fromStdString(buttons_[i]), role));
    }
    box->setDefaultButton(static_cast<QPushButton*>(qButtons_.front()));
    const int escapeIndex = DefaultReturn - escapeReturnCode();
    if (escapeIndex >= 0 && escapeIndex < static_cast<int>(qButtons_.size())) {
        box->setEscapeButton(qButtons_[static_cast<std::size_t>(escapeIndex)]);
    }
    box_ = box;
    return box;
}

QAbstractButton* Alert::buttonWithTitle(const std::string& title) const {
    for (std::size_t i = 0; i < buttons_.size() && i < qButtons_.size(); ++i) {
        if (buttons_[i] == title) {
            return qButtons_[i];
        }
    }
    return nullptr;
}

void Alert::setAnswerHook(AnswerHook hook) {
    answerHook = std::move(hook);
}

int Alert::runModal() {
    if (answerHook) {
        if (const std::optional<int> answer = answerHook(*this)) {
            return *answer;
        }
    }
    QMessageBox* box = makeMessageBox(nullptr);
    box->exec();
    const int code = returnCodeFor(box->clickedButton());
    box_ = nullptr;
    box->deleteLater();
    return code;
}

void Alert::beginSheetModalForWindow(Window* window, std::function<void(int)> handler) {
    if (window == nullptr) {
        auto self = shared_from_this();
        Application::performDeferred([self, handler = std::move(handler)] {
            const int code = self->runModal();
            if (handler) {
                handler(code);
            }
        });
        return;
    }
    WindowSheets& sheets = sheetQueues()[window];
    if (sheets.window == nullptr) {
        // What is left from a window that went away at this address waits for nothing any more.
        sheets = WindowSheets{};
    }
    sheets.window = window;
    sheets.waiting.push_back(std::make_shared<Sheet>(Sheet{shared_from_this(), std::move(handler)}));
    if (!sheets.showing) {
        showNextSheet(window);
    }
}

void Alert::showNextSheet(Window* window) {
    auto& queues = sheetQueues();
    const auto found = queues.find(window);
    if (found == queues.end()) {
        return;
    }
    WindowSheets& sheets = found->second;
    if (sheets.waiting.empty() || sheets.window == nullptr) {
        queues.erase(found);
        return;
    }
    sheets.showing = true;
    auto sheet = std::static_pointer_cast<Sheet>(sheets.waiting.front());
    // Ends the front sheet: the handler runs, then the next sheet of the window shows.
    auto finish = [window, sheet](int code) {
        auto& all = sheetQueues();
        const auto it = all.find(window);
        if (it != all.end() && !it->second.waiting.empty() && it->second.waiting.front() == sheet) {
            it->second.waiting.pop_front();
            it->second.showing = false;
        }
        if (QMessageBox* box = sheet->alert->box_) {
            sheet->alert->box_ = nullptr;
            box->deleteLater();
        }
        if (sheet->handler) {
            sheet->handler(code);
        }
        const auto again = all.find(window);
        if (again != all.end() && !again->second.showing) {
            showNextSheet(window);
        }
    };
    if (answerHook) {
        if (const std::optional<int> answer = answerHook(*sheet->alert)) {
            // Answered like a real sheet: after the event that began it.
            Application::performDeferred([finish, code = *answer] { finish(code); });
            return;
        }
    }
    if (!window->isVisible()) {
        // A box opened before its window is on screen gets no window to stand on: it shows apart, where
        // the window system likes, and can fall behind the window it blocks. It waits for the window.
        new ShownWatcher(window, [window] {
            auto& all = sheetQueues();
            const auto it = all.find(window);
            if (it != all.end() && it->second.window != nullptr) {
                it->second.showing = false;
                showNextSheet(window);
            }
        });
        return;
    }
    QMessageBox* box = sheet->alert->makeMessageBox(window);
    box->setWindowModality(Qt::WindowModal);
    QObject::connect(box, &QDialog::finished, box, [sheet, finish](int) {
        QMessageBox* shown = sheet->alert->box_;
        finish(sheet->alert->returnCodeFor(shown != nullptr ? shown->clickedButton() : nullptr));
    });
    box->open();
}

Alert* Alert::sheetOnWindow(const Window* window) {
    const auto& queues = sheetQueues();
    const auto found = queues.find(window);
    if (found == queues.end() || !found->second.showing || found->second.waiting.empty()) {
        return nullptr;
    }
    return std::static_pointer_cast<Sheet>(found->second.waiting.front())->alert.get();
}

int Alert::waitingSheetCount(const Window* window) {
    const auto& queues = sheetQueues();
    const auto found = queues.find(window);
    if (found == queues.end()) {
        return 0;
    }
    const int count = static_cast<int>(found->second.waiting.size());
    return found->second.showing ? count - 1 : count;
}

} // namespace platform
