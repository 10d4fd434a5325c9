#pragma once

#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteViewFactory.h"

#include <memory>
#include <optional>
#include <string>

namespace layouttest {

// A note view factory with the built-in note font installed, as the application makes it at start-up.
inline std::unique_ptr<TOVNoteViewFactory> makeBuiltInNoteFactory() {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    auto notes = std::make_unique<TOVNoteViewFactory>();
    notes->installPluginFontID("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);
    return notes;
}

// The built-in symbol, chord and note glyphs, handed out through TOVUtils as the application does, for as
// long as the object lives.
struct AllGlyphs {
    std::unique_ptr<TOVObjectViewFactory> objects = std::make_unique<TOVObjectViewFactory>();
    std::unique_ptr<TOVChordViewFactory> chords = std::make_unique<TOVChordViewFactory>();
    std::unique_ptr<TOVNoteViewFactory> notes;

    AllGlyphs() {
        TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
        objects->installPluginFontID("Default");
        chords->installPluginFontID("Default");
        TOVUtils::overrideResourceDirectory(std::nullopt);
        notes = makeBuiltInNoteFactory();
        TOVUtils::registerServices(services());
    }
    ~AllGlyphs() { TOVUtils::registerServices({}); }
    AllGlyphs(const AllGlyphs&) = delete;
    AllGlyphs& operator=(const AllGlyphs&) = delete;

    // The three factories as services, for a fixture that adds more of its own before registering them.
    TOVUtils::Services services() const {
        TOVUtils::Services services;
        services.objectViewFactory = [this] { return objects.get(); };
        services.chordViewFactory = [this] { return chords.get(); };
        services.noteViewFactory = [this] { return notes.get(); };
        return services;
    }
};

// The shared symbol factory and the built-in note glyphs, handed out through TOVUtils for as long as the
// object lives: what bars with notes and no chords ask for.
struct NoteGlyphs {
    std::unique_ptr<TOVNoteViewFactory> notes = makeBuiltInNoteFactory();

    NoteGlyphs() {
        TOVUtils::Services services;
        services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
        services.noteViewFactory = [this] { return notes.get(); };
        TOVUtils::registerServices(services);
    }
    ~NoteGlyphs() { TOVUtils::registerServices({}); }
    NoteGlyphs(const NoteGlyphs&) = delete;
    NoteGlyphs& operator=(const NoteGlyphs&) = delete;
};

} // namespace layouttest
