#pragma once

#include "platform/ui/WindowController.h"

#include <memory>

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

private:
    bool result_ = false;
};
