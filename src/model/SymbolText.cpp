#include "model/SymbolText.h"

#include "model/SymbolTextSnapShot.h"

void SymbolText::privateInit() {
    SymbolTools::privateInit();
    willChangeValueForKey("text");
    text_ = hasValue("text") ? platform::AttributedString::fromSerialized(bytesValue("text")) : std::nullopt;
    didChangeValueForKey("text");
}

void SymbolText::setText(const std::optional<platform::AttributedString>& text) {
    if (isUndoRedoing()) {
        return;
    }
    storeAndCache("text", text_, text, text ? platform::Value(text->serialized()) : platform::Value());
}

std::unique_ptr<TOVSnapshotObject> SymbolText::createSnapShot() const {
    auto snapshot = std::make_unique<SymbolTextSnapShot>();
    snapshot->takeSnapshotFrom(this);
    return snapshot;
}

void SymbolText::restoreFromSnapShot(const TOVSnapshotObject* snapshot) {
    SymbolTools::restoreFromSnapShot(snapshot);
    if (const auto* snap = dynamic_cast<const SymbolTextSnapShot*>(snapshot)) {
        setText(snap->text());
    }
}

bool SymbolText::isObservedKey(std::string_view key) const {
    return SymbolTools::isObservedKey(key) || key == "text";
}
