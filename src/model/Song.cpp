#include "model/Song.h"

#include "model/Document.h"

std::optional<platform::AttributedString> Song::textForKey(std::string_view key) const {
    if (!hasValue(key)) {
        return std::nullopt;
    }
    return platform::AttributedString::fromSerialized(bytesValue(key));
}

void Song::setTextForKey(std::string_view key, const std::optional<platform::AttributedString>& text) {
    // Always announced as a change, also when the same text is stored again.
    willChangeValueForKey(key);
    setPrimitiveValue(key, text ? platform::Value(text->serialized()) : platform::Value());
    didChangeValueForKey(key);
}

bool Song::isDoubleRow() const {
    return boolValue("isDoubleRow");
}

void Song::setIsDoubleRow(bool value) {
    willChangeValueForKey("isDoubleRow");
    setPrimitiveValue("isDoubleRow", value);
    didChangeValueForKey("isDoubleRow");
}

Document* Song::document() const {
    return toOne<Document>("document");
}
