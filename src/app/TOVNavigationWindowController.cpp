#include "app/TOVNavigationWindowController.h"

#include "app/TOVNavigationView.h"

#include "platform/ui/ChildPanel.h"

#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>

TOVNavigationWindowController::TOVNavigationWindowController()
    : navMessage_(std::make_shared<TOVNavigationMessage>()) {
    auto* view = new TOVNavigationView;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(8, 2, 8, 3);
    layout->setSpacing(0);
    auto* title = new QLabel(view);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(9.0);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* message = new QLabel(view);
    QFont messageFont = message->font();
    messageFont.setPointSizeF(9.0);
    message->setFont(messageFont);
    // The panel's width is the toolbar's to give: a long text wraps (or is cut at the panel's edge)
    // instead of pushing the panel past the window.
    for (QLabel* label : {title, message}) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(title);
    layout->addWidget(message);
    layout->addStretch(1);

    navigationView_ = view;
    labelTitle_ = title;
    labelMessage_ = message;
    window_ = new platform::ChildPanel(view);
    window_->hide();
    windowDidLoad();
}

TOVNavigationWindowController::~TOVNavigationWindowController() {
    delete window_.data();
}

void TOVNavigationWindowController::windowDidLoad() {
    // A hint only shows things: clicks go through to whatever lies below.
    window_->setIgnoresMouseEvents(true);
    const QColor text = QColor::fromRgbF(0.255f, 0.255f, 0.255f, 1.0f);
    for (QLabel* label : {labelTitle_.data(), labelMessage_.data()}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, text);
        label->setPalette(palette);
    }
}

void TOVNavigationWindowController::showMessageTitlePriority(const QString& message, const QString& title,
                                                             int priority) {
    navMessage_ = std::make_shared<TOVNavigationMessage>(title.isNull() ? QStringLiteral("") : title,
                                                         message.isNull() ? QStringLiteral("") : message);
    if (navigationView_ != nullptr) {
        navigationView_->setPriority(priority);
    }
    if (labelTitle_ != nullptr) {
        labelTitle_->setText(navMessage_->title());
    }
    if (labelMessage_ != nullptr) {
        labelMessage_->setText(navMessage_->message());
    }
}
