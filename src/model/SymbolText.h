#pragma once

#include "model/SymbolTools.h"
#include "platform/foundation/AttributedString.h"

#include <optional>

// A symbol carrying formatted text: rehearsal-mark texts in bars and free texts on the page.
class SymbolText : public SymbolTools {
public:
    using SymbolTools::SymbolTools;

    // No value when nothing is stored.
    const std::optional<platform::AttributedString>& text() const { return text_; }
    // Always writes, except while undoing or redoing.
    void setText(const std::optional<platform::AttributedString>& text);

    std::unique_ptr<TOVSnapshotObject> createSnapShot() const override;
    void restoreFromSnapShot(const TOVSnapshotObject* snapshot) override;

protected:
    // Also announces the text as changed, so that an observing view refreshes.
    void privateInit() override;
    bool isObservedKey(std::string_view key) const override;

private:
    std::optional<platform::AttributedString> text_;
};
