#pragma once

#include "model/TOVUtils.h"
#include "notation/TOVNoteViewLibrary.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace notationtest {

// Every note glyph key of a font.
inline std::vector<std::string> allNoteGlyphKeys() {
    std::vector<std::string> keys = TOVNoteViewLibrary::generalKeys();
    for (const auto& k : TOVNoteViewLibrary::accidentalKeys()) {
        keys.push_back(k);
    }
    for (const auto& k : TOVNoteViewLibrary::articulationKeys()) {
        keys.push_back(k);
    }
    return keys;
}

// A "Default" font in a folder of the test's own, and plug-in fonts beside it, whose glyphs are rectangles
// of a width that names them: the n-th key is 10 + n units wide in "Default" and 100 units more in a
// plug-in font, so that the width of an outline tells which font and which glyph answered.
class NoteGlyphFonts : public ::testing::Test {
protected:
    static constexpr double kScale = 0.59;
    static constexpr double kGlyphHeight = 8.0;
    static constexpr double kPluginExtra = 100.0;

    void SetUp() override {
        TOVUtils::forgetPluginFontsDirectory();
        TOVUtils::overrideResourceDirectory((folder_.path() / "resources").string());
    }
    void TearDown() override {
        TOVUtils::forgetPluginFontsDirectory();
        TOVUtils::overrideResourceDirectory(std::nullopt);
    }

    static double fileWidth(const std::string& key) {
        const auto keys = allNoteGlyphKeys();
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (keys[i] == key) {
                return 10.0 + static_cast<double>(i);
            }
        }
        ADD_FAILURE() << "no such glyph key " << key;
        return 0;
    }
    static std::string rectangle(double w, double h) {
        return "<svg xmlns=\"http://www.w3.org/2000/svg\"><path d=\"M5,7L" + std::to_string(5 + w) + ",7L" +
               std::to_string(5 + w) + "," + std::to_string(7 + h) + "L5," + std::to_string(7 + h) +
               "Z\"/></svg>";
    }
    void writeDefault(const std::string& key) {
        folder_.write("resources/" + key + ".svg", rectangle(fileWidth(key), kGlyphHeight));
    }
    void writeAllDefault() {
        for (const auto& key : allNoteGlyphKeys()) {
            writeDefault(key);
        }
    }
    void writePlugin(const std::string& font, const std::string& key) {
        folder_.write("data/Tovrin2/cache/" + font + "/" + key + ".svg",
                      rectangle(fileWidth(key) + kPluginExtra, kGlyphHeight));
    }
    void writeFile(const std::string& relative, const std::string& content) {
        folder_.write(relative, content);
    }

    // "Default:key" or "plug-in:key" for an outline of one of the fonts' widths; "none" for no outline.
    static std::string glyphOf(const std::optional<platform::BezierPath>& path) {
        if (!path) {
            return "none";
        }
        const double w = path->bounds().width() / kScale;
        for (const auto& key : allNoteGlyphKeys()) {
            if (std::abs(w - fileWidth(key)) < 1e-6) {
                return "Default:" + key;
            }
            if (std::abs(w - fileWidth(key) - kPluginExtra) < 1e-6) {
                return "plug-in:" + key;
            }
        }
        return "unknown width " + std::to_string(w);
    }

    TempDir folder_;
    ScopedEnv data_{"XDG_DATA_HOME", (folder_.path() / "data").string()};
};

} // namespace notationtest
