#include "platform/ui/MenuItem.h"

#include "platform/ui/Menu.h"

#include <QString>
#include <QStringList>

namespace platform {

MenuItem::MenuItem(std::string title, std::string action, std::string keyEquivalent, int tag)
    : title_(std::move(title)), action_(std::move(action)), keyEquivalent_(std::move(keyEquivalent)),
      tag_(tag) {}

std::shared_ptr<MenuItem> MenuItem::separatorItem() {
    auto item = std::make_shared<MenuItem>();
    item->separator_ = true;
    item->enabled_ = false;
    return item;
}

void MenuItem::setSubmenu(std::shared_ptr<Menu> submenu) {
    submenu_ = std::move(submenu);
    Menu::touch();
}

QKeySequence MenuItem::keySequenceFor(const std::string& keyEquivalent) {
    if (keyEquivalent.empty()) {
        return {};
    }
    // Split at '+' but keep a '+' that is the key itself ("Cmd++").
    const QString text = QString::fromStdString(keyEquivalent);
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'+' && !current.isEmpty()) {
            parts << current;
            current.clear();
        } else {
            current += text[i];
        }
    }
    parts << current;
    QStringList mapped;
    for (const QString& part : parts) {
        const QString lower = part.toLower();
        if (lower == u"cmd" || lower == u"command") {
            mapped << QStringLiteral("Ctrl");
        } else if (lower == u"ctrl" || lower == u"control") {
            mapped << QStringLiteral("Meta");
        } else if (lower == u"option" || lower == u"opt") {
            mapped << QStringLiteral("Alt");
        } else {
            mapped << part;
        }
    }
    const QKeySequence sequence = QKeySequence::fromString(mapped.join(u'+'), QKeySequence::PortableText);
    return sequence.count() == 1 ? sequence : QKeySequence();
}

} // namespace platform
