#pragma once

#include "platform/ui/WindowController.h"

#include <memory>

class QPushButton;
class QVBoxLayout;
class QWidget;

namespace platform {
class Window;
}

// The base of the setting sheets: a panel shown as a sheet on a document window and run modally until
// its accept or cancel button ends the run.
class TOVSheetController : public platform::WindowController {
public:
    explicit TOVSheetController(std::unique_ptr<platform::Window> window);
    ~TOVSheetController() override;

    // Shows the sheet on the window and runs it modally; YES when it was closed with its accept button,
    // NO for cancel (and when it was closed any other way).
    virtual bool runModalOnWindow(platform::Window* window);

    // Set the result and end the modal run.
    void accept();
    void cancel();

    bool result() const { return result_; }
    void setResult(bool result) { result_ = result; }

protected:
    struct ButtonRow {
        QPushButton* cancel;
        QPushButton* accept;
    };
    // Ends the sheet's column with Cancel and the default OK button at its bottom right, answering
    // cancel() and accept().
    ButtonRow addButtonRow(QWidget* content, QVBoxLayout* column);

private:
    bool result_ = false;
};
