#include "platform/foundation/SettingsDefaultsStore.h"

#include <QByteArray>
#include <QSettings>
#include <QStringList>
#include <charconv>

namespace platform {

namespace {

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

std::string formatDouble(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

// Reads a text back as the typed value that would have written it, or as the text itself.
DefaultsValue inferValue(const std::string& text) {
    if (text == "true") {
        return true;
    }
    if (text == "false") {
        return false;
    }
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    std::int64_t integer = 0;
    if (const auto [ptr, ec] = std::from_chars(begin, end, integer);
        ec == std::errc() && ptr == end && std::to_string(integer) == text) {
        return integer;
    }
    double real = 0;
    if (const auto [ptr, ec] = std::from_chars(begin, end, real);
        ec == std::errc() && ptr == end && formatDouble(real) == text &&
        text.find_first_of("0123456789") != std::string::npos) {
        return real;
    }
    return text;
}

struct ToVariant {
    QVariant operator()(bool value) const { return QString::fromLatin1(value ? "true" : "false"); }
    QVariant operator()(std::int64_t value) const { return QString::number(static_cast<qlonglong>(value)); }
    QVariant operator()(double value) const { return QString::fromStdString(formatDouble(value)); }
    QVariant operator()(const std::string& value) const { return toQString(value); }
    QVariant operator()(const std::vector<std::uint8_t>& value) const {
        return QByteArray(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size()));
    }
};

} // namespace

SettingsDefaultsStore::SettingsDefaultsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("Tovrin"), QStringLiteral("Tovrin"))) {}

SettingsDefaultsStore::SettingsDefaultsStore(const std::string& filePath)
    : settings_(std::make_unique<QSettings>(toQString(filePath), QSettings::IniFormat)) {}

SettingsDefaultsStore::~SettingsDefaultsStore() = default;

std::optional<DefaultsValue> SettingsDefaultsStore::value(const std::string& key) const {
    const QVariant stored = settings_->value(toQString(key));
    if (!stored.isValid()) {
        return std::nullopt;
    }
    switch (stored.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = stored.toByteArray();
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }
    case QMetaType::QStringList: // an unquoted comma in a hand-edited file
        return inferValue(stored.toStringList().join(QLatin1Char(',')).toStdString());
    default:
        if (stored.canConvert<QString>()) {
            return inferValue(stored.toString().toStdString());
        }
        return std::nullopt;
    }
}

void SettingsDefaultsStore::setValue(const std::string& key, const DefaultsValue& value) {
    settings_->setValue(toQString(key), std::visit(ToVariant{}, value));
}

void SettingsDefaultsStore::removeValue(const std::string& key) {
    settings_->remove(toQString(key));
}

bool SettingsDefaultsStore::synchronize() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

std::string SettingsDefaultsStore::fileName() const {
    return settings_->fileName().toStdString();
}

} // namespace platform
