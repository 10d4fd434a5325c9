#pragma once

#include "app/TOVNavigationMessage.h"
#include "app/TOVNavigationView.h"

#include <QLabel>
#include <QPointer>
#include <QString>

#include <memory>

namespace platform {
class ChildPanel;
}

// The hint panel of a document window: a small window that lets every click through, with a title and a
// message on a box coloured by the message's priority. The document window places it over its toolbar.
class TOVNavigationWindowController {
public:
    // Made as from its interface file "TOVNavigationWindowController": the window is built (hidden) and
    // set up at once.
    TOVNavigationWindowController();
    ~TOVNavigationWindowController();
    TOVNavigationWindowController(const TOVNavigationWindowController&) = delete;
    TOVNavigationWindowController& operator=(const TOVNavigationWindowController&) = delete;

    platform::ChildPanel* window() const { return window_; }
    QLabel* labelTitle() const { return labelTitle_; }
    QLabel* labelMessage() const { return labelMessage_; }
    TOVNavigationView* navigationView() const { return navigationView_; }
    const TOVNavigationMessage& navMessage() const { return *navMessage_; }

    // Shows a new message at once (a null string counts as empty), replacing the one shown.
    void showMessageTitlePriority(const QString& message, const QString& title, int priority);

private:
    void windowDidLoad();

    QPointer<platform::ChildPanel> window_;
    QPointer<QLabel> labelTitle_;
    QPointer<QLabel> labelMessage_;
    QPointer<TOVNavigationView> navigationView_;
    std::shared_ptr<TOVNavigationMessage> navMessage_;
};
