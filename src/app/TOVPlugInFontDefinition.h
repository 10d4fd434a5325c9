#pragma once

#include <string>

// One installed notation font: the built-in "Default" or a font unpacked from a "tovfont" bundle. It is
// named by its fontID in documents and factories and by its displayName in menus.
struct TOVPlugInFontDefinition {
    std::string fontID;
    std::string displayName;
    std::string version;
    std::string author;

    static TOVPlugInFontDefinition builtInFont() { return {"Default", "Default", "", ""}; }

    friend bool operator==(const TOVPlugInFontDefinition&, const TOVPlugInFontDefinition&) = default;
};
