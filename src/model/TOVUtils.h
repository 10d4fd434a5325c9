#pragma once

#include "model/TOVChordNotationProfile.h"
#include "platform/foundation/Color.h"
#include "platform/foundation/Geometry.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class TOVChordMeasuring;
class TOVObjectViewFactory;
class TOVNoteViewFactory;

namespace platform {
class Cursor;
}

// Class operations every subsystem shares: resources of the built-in and plug-in fonts, the plug-in
// font folders, fixed colours, resize cursors, symbol groups, readers of the user defaults, the chord
// notation profile, the view factories and windows, version strings, and colours as hexadecimal text.
//
// The view factories, windows and cursors belong to layers above the model. The application hands
// them in once at start-up through registerServices, so that the model links no drawing or window code;
// until then they answer nothing.
class TOVUtils {
public:
    TOVUtils() = delete;

    struct Services {
        std::function<TOVObjectViewFactory*()> objectViewFactory;
        std::function<TOVChordMeasuring*()> chordViewFactory;
        std::function<TOVNoteViewFactory*()> noteViewFactory;
        std::function<void()> showPreferencesWindow;
        std::function<void()> showAboutWindow;
        // Makes a cursor from the bundle's PNG image of that name with the given hot spot.
        std::function<std::shared_ptr<platform::Cursor>(const std::string& imageName,
                                                        platform::Point hotSpot)>
            makeCursor;
    };
    static void registerServices(Services services);

    // MARK: resources and folders

    // The resource of the application's own files; none when absent.
    static std::optional<std::string> pathForResourceOfType(std::string_view name, std::string_view type);
    // "Default": the application's resource. Any other font: the file name.type in the font's folder of
    // the plug-in cache, whether or not it exists; none when there is no cache folder or the font ID
    // could name anything but one folder inside it.
    static std::optional<std::string>
    pathForResourceOfTypeFontID(std::string_view name, std::string_view type, std::string_view fontID);
    // "Tovrin2/fonts" in the user's data folder, created with its parents on first use and remembered
    // once made; none (and a new try next time) when it cannot be made.
    static std::optional<std::string> pluginFontsDirectory();
    // "Tovrin2/cache", beside the fonts folder, where plug-in font bundles are unpacked by font ID. It is
    // not created here.
    static std::optional<std::string> pluginFontsCacheDirectory();
    // Forgets the remembered fonts folder, so that tests can point the data folder elsewhere.
    static void forgetPluginFontsDirectory();
    // Makes the application's own resources come from this folder alone (tests give the built-in font
    // glyphs of their own); none restores the normal lookup.
    static void overrideResourceDirectory(std::optional<std::string> folder);

    // MARK: colours

    // The archived colour of the user default "pageBackgroundColor"; white when missing or unreadable.
    static platform::Color pageBackgroundColor();
    static platform::Color barViewEditTargetColor();
    static platform::Color barViewSelectedFrameColor();
    static platform::Color barViewDropTargetFrameColor();
    static platform::Color objectNormalColor();
    static platform::Color objectTargetColor();
    static platform::Color objectSelectedColor();
    static platform::Color noteCellDropTargetColor();
    static platform::Color noteCellSelectedColor();
    static platform::Color noteGridTargetColor();
    static platform::Color noteGridNormalColor();
    static platform::Color notePreviewColor();
    static platform::Color noteDropAreaFillColor();
    static platform::Color noteDropAreaFrameColor();
    static platform::Color multiSelectAreaFillColor();
    static platform::Color multiSelectAreaFrameColor();
    static platform::Color matrixCellHoverColor();
    static platform::Color matrixCellDraggingColor();

    // MARK: cursors

    // The cursor of a resize handle type (0..9), made once per image; none for other types or before
    // the application registered how cursors are made.
    static std::shared_ptr<platform::Cursor> cursorForResizeHandle(int handleType);

    // MARK: symbols

    // 1 for the symbols that share a bar's group-1 slot (dynamics, octave, push, articulation and the
    // tempo signs other than the speed mark), else 0.
    static int symbolGroupOf(int symbolType);

    // MARK: user defaults

    static int actionTypeDoubleClickNotesArea();
    static int actionTypeRightClickNotesArea();
    static int actionTypeDoubleClickChordsArea();
    static int actionTypeRightClickChordsArea();
    static int notationTypeBarline();
    static bool divideInputNote();
    static TOVChordNotationProfile currentChordNotationProfile();
    static TOVChordNotationProfile defaultChordNotationProfile();

    // MARK: factories and windows

    static TOVObjectViewFactory* objectViewFactory();
    static TOVChordMeasuring* chordViewFactory();
    static TOVNoteViewFactory* noteViewFactory();
    static void showPreferencesWindow();
    static void showAboutWindow();

    // MARK: versions

    static std::string tovrinVersionString();
    static std::string systemVersionString();
    static bool isSystemVersionOlderThan109();

    // MARK: colours as text

    // "#FF" followed by red, green and blue as two upper-case hexadecimal digits each (component × 255,
    // truncated).
    static std::string hexStringFromColor(const platform::Color& color);
    // An opaque colour from "#RRGGBB" or "RRGGBB" (an alpha byte in front is ignored); black when the
    // text is missing or holds no hexadecimal digits.
    static platform::Color colorFromHexString(const std::optional<std::string_view>& text);
};
