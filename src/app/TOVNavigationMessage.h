#pragma once

#include <QString>

// One hint of the navigation panel: a short title line and the message.
class TOVNavigationMessage {
public:
    TOVNavigationMessage() = default;
    TOVNavigationMessage(QString title, QString message)
        : title_(std::move(title)), message_(std::move(message)) {}

    const QString& title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }
    const QString& message() const { return message_; }
    void setMessage(const QString& message) { message_ = message; }

private:
    QString title_ = QStringLiteral("");
    QString message_ = QStringLiteral("");
};
