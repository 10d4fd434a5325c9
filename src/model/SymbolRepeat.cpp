#include "model/SymbolRepeat.h"

#include "model/SymbolRepeatSnapShot.h"
#include "platform/foundation/Numbers.h"

namespace {

QString storedText(const platform::Value& value) {
    if (!value.isString()) {
        return QString();
    }
    QString text = QString::fromStdString(value.toString());
    return text.isNull() ? QString(QLatin1String("")) : text;
}

} // namespace

void SymbolRepeat::privateInit() {
    Symbol::privateInit();
    repeatIDString_ = storedText(primitiveValue("repeatIDString"));
}

void SymbolRepeat::setRepeatIDString(const QString& text) {
    if (isUndoRedoing()) {
        return;
    }
    storeAndCache("repeatIDString", repeatIDString_, text,
                  text.isNull() ? platform::Value() : platform::Value(text.toStdString()));
}

std::int64_t SymbolRepeat::repeatIDNumber() const {
    return platform::integerValue(QStringView(repeatIDString_));
}

void SymbolRepeat::setRepeatIDNumber(std::int64_t number) {
    setRepeatIDString(QString::fromStdString(platform::formatInteger(number)));
}

TOVRepeatNumberStates SymbolRepeat::repeatNumberStates() const {
    TOVRepeatNumberStates states;
    // Digits as the remainders of the number, so the digits of a negative number (all <= 0) count as off.
    for (std::int64_t n = repeatIDNumber(); n != 0; n /= 10) {
        const std::int64_t digit = n % 10;
        if (digit >= 1 && digit <= 8) {
            states[static_cast<int>(digit - 1)] = 1;
        }
    }
    return states;
}

void SymbolRepeat::setRepeatNumberStates(const TOVRepeatNumberStates& states) {
    std::int64_t number = 0;
    for (int pass = 1; pass <= 8; ++pass) {
        if (states[pass - 1] == 1) {
            number = number * 10 + pass;
        }
    }
    setRepeatIDNumber(number);
}

std::unique_ptr<TOVSnapshotObject> SymbolRepeat::createSnapShot() const {
    auto snapshot = std::make_unique<SymbolRepeatSnapShot>();
    snapshot->takeSnapshotFrom(this);
    return snapshot;
}

void SymbolRepeat::restoreFromSnapShot(const TOVSnapshotObject* snapshot) {
    Symbol::restoreFromSnapShot(snapshot);
    if (const auto* snap = dynamic_cast<const SymbolRepeatSnapShot*>(snapshot)) {
        setRepeatIDString(snap->repeatIDString());
    }
}

bool SymbolRepeat::isObservedKey(std::string_view key) const {
    return Symbol::isObservedKey(key) || key == "repeatIDString";
}
