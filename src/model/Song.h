#pragma once

#include "model/TOVManagedObject.h"
#include "platform/foundation/AttributedString.h"

#include <optional>
#include <string_view>

class Document;

// The song header: the song name and four credit lines as formatted texts, and whether the song is
// written in double rows. Nothing is cached: every getter reads the stored value, every setter writes it
// (the text setters always, without comparing).
class Song : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;

    // No value when nothing is stored (or the stored bytes cannot be read back).
    std::optional<platform::AttributedString> name() const { return textForKey("name"); }
    void setName(const std::optional<platform::AttributedString>& text) { setTextForKey("name", text); }
    std::optional<platform::AttributedString> producer() const { return textForKey("producer"); }
    void setProducer(const std::optional<platform::AttributedString>& text) {
        setTextForKey("producer", text);
    }
    std::optional<platform::AttributedString> arranger() const { return textForKey("arranger"); }
    void setArranger(const std::optional<platform::AttributedString>& text) {
        setTextForKey("arranger", text);
    }
    std::optional<platform::AttributedString> composer() const { return textForKey("composer"); }
    void setComposer(const std::optional<platform::AttributedString>& text) {
        setTextForKey("composer", text);
    }
    std::optional<platform::AttributedString> writer() const { return textForKey("writer"); }
    void setWriter(const std::optional<platform::AttributedString>& text) { setTextForKey("writer", text); }

    // NO when nothing is stored.
    bool isDoubleRow() const;
    void setIsDoubleRow(bool value);

    Document* document() const;

private:
    std::optional<platform::AttributedString> textForKey(std::string_view key) const;
    void setTextForKey(std::string_view key, const std::optional<platform::AttributedString>& text);
};
