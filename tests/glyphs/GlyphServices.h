#pragma once

#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "model/TOVUtils.h"

#include <memory>
#include <optional>
#include <string>

namespace glyphtest {

// Symbol and chord glyph factories of the real built-in font, handed to the views through TOVUtils as the
// application does at start-up, for as long as the object lives.
struct GlyphServices {
    std::unique_ptr<TOVObjectViewFactory> objects = std::make_unique<TOVObjectViewFactory>();
    std::unique_ptr<TOVChordViewFactory> chords = std::make_unique<TOVChordViewFactory>();

    GlyphServices() {
        TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
        objects->installPluginFontID("Default");
        chords->installPluginFontID("Default");
        TOVUtils::overrideResourceDirectory(std::nullopt);
        TOVUtils::Services services;
        services.objectViewFactory = [this] { return objects.get(); };
        services.chordViewFactory = [this] { return chords.get(); };
        TOVUtils::registerServices(services);
    }
    ~GlyphServices() { TOVUtils::registerServices({}); }
    GlyphServices(const GlyphServices&) = delete;
    GlyphServices& operator=(const GlyphServices&) = delete;
};

} // namespace glyphtest
