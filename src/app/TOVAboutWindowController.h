#pragma once

#include "platform/ui/WindowController.h"

#include <QString>

#include <string>

// The about box: the program's name, its version and its copyright line, in a panel of its own.
class TOVAboutWindowController : public platform::WindowController {
public:
    // The one about box, made on the first call (under a lock) with its window hidden.
    static TOVAboutWindowController* singletonInstance();

    // Makes the window key and brings it to the front.
    void showUp();

    const std::string& strVersionNumber() const { return strVersionNumber_; }
    // The version line, as the about box and the start-up panel show it.
    static QString versionText();
    const std::string& strCopyright() const { return strCopyright_; }

private:
    TOVAboutWindowController();

    std::string strVersionNumber_;
    std::string strCopyright_;
};
