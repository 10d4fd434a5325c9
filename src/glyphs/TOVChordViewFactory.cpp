#include "glyphs/TOVChordViewFactory.h"

#include "glyphs/SVGUtils.h"
#include "model/TOVChordElems.h"
#include "model/TOVUtils.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kNoRoot = TOVChordNoStep;
constexpr int kNoQuality = TOVChordPlainTriad;
constexpr int kNoTension = TOVChordNoTension;
constexpr const char* kDefaultFontID = "Default";

using Key = std::optional<std::string>;

// A key chosen by one profile switch: the first for 0, the second for 1, none for any other value.
Key bySwitch(int value, const char* whenOff, const char* whenOn) {
    if (value == 0) {
        return whenOff;
    }
    if (value == 1) {
        return whenOn;
    }
    return std::nullopt;
}

const std::array<const char*, 17> kRootKeys = {
    "chordC",     "chordCSharp", "chordDFlat",  "chordD",     "chordDSharp", "chordEFlat",
    "chordE",     "chordF",      "chordFSharp", "chordGFlat", "chordG",      "chordGSharp",
    "chordAFlat", "chordA",      "chordASharp", "chordBFlat", "chordB"};

bool hasAccidental(int root) {
    switch (root) {
    case 1:
    case 2:
    case 4:
    case 5:
    case 8:
    case 9:
    case 11:
    case 12:
    case 14:
    case 15:
        return true;
    default:
        return false;
    }
}

// The gaps after a root with an accidental, which leaves room under its right side: column A between
// root and quality, B for tension 22, C for tension 15 with `augmented` on, D for tensions 29 and 43
// with `augmented` off. Rows are root codes 1 to 15; C and B (0 and 16) have 1.0 everywhere.
struct RootMargins {
    double a, b, c, d;
};
const std::array<RootMargins, 15> kRootMargins = {{
    {-3.5, -1.0, -2.0, -1.5},     // C sharp
    {-3.0, -1.0, -2.0, -1.0},     // D flat
    {1.0, 1.0, 1.0, 1.0},         // D
    {-3.0, -1.0, -2.0, -1.0},     // D sharp
    {-3.5, -1.0, -2.0, -1.5},     // E flat
    {1.0, 1.0, 1.0, 1.0},         // E
    {1.0, 1.0, 1.0, 1.0},         // F
    {-3.5, -1.0, -2.0, -1.5},     // F sharp
    {-3.5, -1.0, -2.0, -1.5},     // G flat
    {1.0, 1.0, 1.0, 1.0},         // G
    {-3.5, -1.0, -2.0, -1.5},     // G sharp
    {-0.25, -0.25, -0.25, -0.25}, // A flat
    {1.0, 1.0, 1.0, 1.0},         // A
    {0.25, 0.25, 0.25, 0.25},     // A sharp
    {-3.5, -1.0, -2.0, -1.5},     // B flat
}};

std::optional<RootMargins> rootMargins(int root) {
    if (root < 1 || root > 15) {
        return std::nullopt;
    }
    return kRootMargins[static_cast<std::size_t>(root - 1)];
}

bool isAugmentedTension(int tension) {
    return tension == 1 || tension == 15 || tension == 29 || tension == 43;
}

struct Placed {
    double x = 0, y = 0, width = 0, height = 0;
};

Placed sizeOf(const std::optional<platform::BezierPath>& path) {
    Placed placed;
    if (path) {
        platform::Rect bounds = path->bounds();
        placed.width = bounds.width();
        placed.height = bounds.height();
    }
    return placed;
}

void appendAt(platform::BezierPath& target, std::optional<platform::BezierPath>& glyph, const Placed& at) {
    if (!glyph) {
        return;
    }
    glyph->translate(at.x, at.y);
    target.appendPath(*glyph);
}

} // namespace

TOVChordViewFactory* TOVChordViewFactory::singletonInstance() {
    static TOVChordViewFactory* instance = [] {
        auto* factory = new TOVChordViewFactory();
        factory->setProfile(TOVUtils::currentChordNotationProfile());
        factory->installPluginFontID(kDefaultFontID);
        return factory;
    }();
    return instance;
}

std::shared_ptr<TOVChordViewLibrary> TOVChordViewFactory::installPluginFontID(const std::string& fontID) {
    auto library = std::make_shared<TOVChordViewLibrary>(fontID);
    dictFontLibrary_[fontID] = library;
    if (fontID == kDefaultFontID) {
        defaultLibrary_ = library;
    }
    return library;
}

const TOVChordViewLibrary* TOVChordViewFactory::libraryForFontID(const std::string& fontID) const {
    auto found = dictFontLibrary_.find(fontID);
    return found == dictFontLibrary_.end() ? nullptr : found->second.get();
}

template <typename Lookup>
std::optional<platform::BezierPath> TOVChordViewFactory::lookUpWithFallback(const std::string& fontID,
                                                                            Lookup lookup) const {
    if (const auto* library = libraryForFontID(fontID)) {
        if (auto path = lookup(*library)) {
            return path;
        }
    }
    if (defaultLibrary_) {
        return lookup(*defaultLibrary_);
    }
    return std::nullopt;
}

std::optional<platform::BezierPath>
TOVChordViewFactory::bezierPathForStep1FontID(int root, const std::string& fontID) const {
    Key key = resourceKeyForStep1Elem(root);
    return lookUpWithFallback(fontID, [&](const TOVChordViewLibrary& library) {
        return library.bezierPathForStep1WithResourceKey(key);
    });
}

std::optional<platform::BezierPath>
TOVChordViewFactory::bezierPathForBaseFontID(int bass, const std::string& fontID) const {
    Key key = resourceKeyForBaseElem(bass);
    return lookUpWithFallback(fontID, [&](const TOVChordViewLibrary& library) {
        return library.bezierPathForStep1WithResourceKey(key);
    });
}

std::optional<platform::BezierPath>
TOVChordViewFactory::bezierPathForStep2FontID(int quality, const std::string& fontID) const {
    Key key = resourceKeyForStep2Elem(quality);
    return lookUpWithFallback(fontID, [&](const TOVChordViewLibrary& library) {
        return library.bezierPathForStep2WithResourceKey(key);
    });
}

std::optional<platform::BezierPath>
TOVChordViewFactory::bezierPathForStep3FontID(int tension, const std::string& fontID) const {
    Key key = resourceKeyForStep3Elem(tension);
    return lookUpWithFallback(fontID, [&](const TOVChordViewLibrary& library) {
        return library.bezierPathForStep3WithResourceKey(key);
    });
}

std::optional<platform::BezierPath>
TOVChordViewFactory::bezierPathSlashForfontID(const std::string& fontID) const {
    int kind = profile_.on;
    return lookUpWithFallback(
        fontID, [&](const TOVChordViewLibrary& library) { return library.bezierPathSlashFor(kind); });
}

// MARK: glyph keys

Key TOVChordViewFactory::resourceKeyForStep1Elem(int root) const {
    if (root < 0 || root >= static_cast<int>(kRootKeys.size())) {
        return std::nullopt;
    }
    return kRootKeys[static_cast<std::size_t>(root)];
}

Key TOVChordViewFactory::resourceKeyForBaseElem(int bass) const {
    Key key = resourceKeyForStep1Elem(bass);
    if (!key || !hasAccidental(bass)) {
        return key;
    }
    // A bass stacked under the bar uses the variant drawn for that position.
    switch (profile_.on) {
    case 0:
        return key;
    case 1:
        return *key + "-";
    default:
        return std::nullopt;
    }
}

Key TOVChordViewFactory::resourceKeyForStep2Elem(int quality) const {
    const TOVChordNotationProfile& p = profile_;
    switch (quality) {
    case 0:
        return "chord6";
    case 1:
        return bySwitch(p.minor, "chordM", "chord-");
    case 2:
        if (p.diminished == 1) {
            return "chordPhy";
        }
        if (p.diminished != 0) {
            return std::nullopt;
        }
        if (p.minor == 0 && (p.sharpFlat == 0 || p.sharpFlat == 1)) {
            return bySwitch(p.sharpFlat, "chordM7-5", "chordM7Flat5");
        }
        if (p.minor == 1 && (p.sharpFlat == 0 || p.sharpFlat == 1)) {
            return bySwitch(p.sharpFlat, "chord-7-5", "chord-7Flat5");
        }
        // Switches out of range fall back to the half-diminished sign.
        return "chordPhy";
    case 3:
        return "chord7";
    case 4:
        return bySwitch(p.minor, "chordM6", "chord-6");
    case 5:
        return bySwitch(p.diminished, "chordDim", "chordCircle");
    case 6:
        return bySwitch(p.major, "chordMaj7", "chordDelta7");
    case 7:
        return bySwitch(p.minor, "chordM7", "chord-7");
    case 8:
        return bySwitch(p.diminished, "chordDim7", "chordCircle7");
    case 10:
        if (p.major == 0) {
            return bySwitch(p.minor, "chordMMaj7", "chord-maj7");
        }
        if (p.major == 1) {
            return bySwitch(p.minor, "chordMDelta7", "chord-Delta7");
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

Key TOVChordViewFactory::resourceKeyForStep3Elem(int tension) const {
    const TOVChordNotationProfile& p = profile_;
    auto bySharpFlat = [&](const char* signs, const char* words) {
        return bySwitch(p.sharpFlat, signs, words);
    };
    // Tensions with a raised fifth read `augmented` first: the word "aug" (0) or the raised fifth (1),
    // each then spelled by `sharpFlat` where it has an accidental.
    auto byAugmented = [&](Key whenWord, Key whenFifth) -> Key {
        if (p.augmented == 0) {
            return whenWord;
        }
        if (p.augmented == 1) {
            return whenFifth;
        }
        return std::nullopt;
    };
    switch (tension) {
    case 0:
        return "chordSus4";
    case 1:
        return byAugmented("chordAug", bySharpFlat("chord+5", "chordSharp5"));
    case 2:
        return "chord6";
    case 3:
        return "chord9";
    case 4:
        return "chord11";
    case 5:
        return "chord13";
    case 6:
        return "chordOmit3";
    case 7:
        return "chordAdd9";
    case 8:
        return bySharpFlat("chord-5", "chordFlat5");
    case 9:
        return "chord6_9";
    case 10:
        return bySharpFlat("chord-9", "chordFlat9");
    case 11:
        return bySharpFlat("chord+11", "chordSharp11");
    case 12:
        return bySharpFlat("chord-13", "chordFlat13");
    case 13:
        return "chordOmit5";
    case 14:
        return "chord2";
    case 15:
        return byAugmented("chordAug(9)", bySharpFlat("chord+5(9)", "chordSharp5(9)"));
    case 16:
        return bySharpFlat("chord6_9(+11)", "chord6_9(Sharp11)");
    case 17:
        return bySharpFlat("chord+9", "chordSharp9");
    case 18:
        return "chord11(13)";
    case 20:
        return "chord+";
    case 21:
        return "chordSus4(9)";
    case 22:
        return bySharpFlat("chord-5(9)", "chordFlat5(9)");
    case 24:
        return "chord9(11)";
    case 25:
        return bySharpFlat("chord11(-13)", "chord11(Flat13)");
    case 28:
        return bySharpFlat("chordSus4(-9)", "chordSus4(Flat9)");
    case 29:
        return byAugmented(bySharpFlat("chordAug(-9)", "chordAug(Flat9)"),
                           bySharpFlat("chord+5(-9)", "chordSharp5(Flat9)"));
    case 31:
        return bySharpFlat("chord9(+11)", "chord9(Sharp11)");
    case 32:
        return bySharpFlat("chord+11(13)", "chordSharp11(13)");
    case 35:
        return "chord4";
    case 36:
        return bySharpFlat("chord-5(-9)", "chordFlat5(Flat9)");
    case 38:
        return "chord9(13)";
    case 39:
        return bySharpFlat("chord+11(-13)", "chordSharp11(Flat13)");
    case 43:
        return byAugmented(bySharpFlat("chordAug(+9)", "chordAug(Sharp9)"),
                           bySharpFlat("chord+5(+9)", "chordSharp5(Sharp9)"));
    case 45:
        return bySharpFlat("chord9(-13)", "chord9(Flat13)");
    case 50:
        return bySharpFlat("chord-5(+9)", "chordFlat5(Sharp9)");
    case 52:
        return bySharpFlat("chord-9(13)", "chordFlat9(13)");
    case 59:
        return bySharpFlat("chord-9(-13)", "chordFlat9(Flat13)");
    case 66:
        return bySharpFlat("chord+9(-13)", "chordSharp9(Flat13)");
    default:
        return std::nullopt;
    }
}

// MARK: metrics

double TOVChordViewFactory::marginXBetween1And2FromChord(const TOVChordElems& chord) const {
    auto margins = rootMargins(chord.elemStep1);
    return margins ? margins->a : 1.0;
}

double TOVChordViewFactory::marginXBetween1And3FromChord(const TOVChordElems& chord) const {
    if (chord.elemStep2 != kNoQuality) {
        return 1.0;
    }
    auto margins = rootMargins(chord.elemStep1);
    if (!margins) {
        return 1.0;
    }
    const bool augmented = profile_.augmented != 0;
    switch (chord.elemStep3) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 17:
    case 20:
    case 21:
    case 28:
    case 35:
        return margins->a;
    case 15:
        return augmented ? margins->c : margins->a;
    case 22:
        return margins->b;
    case 29:
    case 43:
        return augmented ? 1.0 : margins->d;
    default:
        return 1.0;
    }
}

double TOVChordViewFactory::marginYBetween2And3FromChord(const TOVChordElems& chord) const {
    if (isStep3RightPosOfStep2(chord)) {
        return chord.elemStep2 == 1 && chord.elemStep3 == 4 ? 0.0 : 1.0;
    }
    return chord.elemStep2 == 1 && profile_.minor == 1 ? 3.0 : 1.0;
}

double TOVChordViewFactory::marginXBetween2AndSlashFromChord(const TOVChordElems& chord) const {
    return chord.elemStep1 == kNoRoot ? 0.0 : 2.0;
}

double TOVChordViewFactory::marginXBetweenSlashAndBaseFromChord(const TOVChordElems& chord) const {
    return chord.elemStepBase == kNoRoot ? 0.0 : 2.0;
}

double TOVChordViewFactory::offsetYOfStep2Element(const TOVChordElems& chord) const {
    const int quality = chord.elemStep2;
    if (quality == 1 && profile_.minor == 1) {
        return -3.0;
    }
    if (quality == 2 && profile_.diminished == 1) {
        return 1.5;
    }
    if ((quality == 6 || quality == 10) && profile_.major == 0) {
        return 3.5;
    }
    return 0.0;
}

double TOVChordViewFactory::offsetYOfStep3Element(const TOVChordElems& chord) const {
    if (chord.elemStep2 == kNoQuality && isAugmentedTension(chord.elemStep3) && profile_.augmented == 0) {
        return 1.5;
    }
    return 0.0;
}

double TOVChordViewFactory::scaleForStep3Elem(const TOVChordElems& chord) const {
    return chord.elemStep2 == 1 && chord.elemStep3 == 4 ? 1.25 : 1.0;
}

bool TOVChordViewFactory::isStep3RightPosOfStep2(const TOVChordElems& chord) const {
    return chord.elemStep2 == 1 && (chord.elemStep3 == 2 || chord.elemStep3 == 3 || chord.elemStep3 == 4);
}

bool TOVChordViewFactory::isBottomPosWithoutStep2(int tension) const {
    switch (tension) {
    case 18:
    case 24:
    case 25:
    case 31:
    case 32:
    case 38:
    case 39:
    case 45:
    case 52:
    case 59:
    case 66:
        return false;
    default:
        return true;
    }
}

double TOVChordViewFactory::offsetYUnderBaseline(const TOVChordElems& chord) const {
    double offset = 0.0;
    if ((chord.elemStep2 == 6 || chord.elemStep2 == 10) && profile_.major == 0) {
        offset = 3.5;
    } else if (chord.elemStep2 == 2 && profile_.diminished == 1) {
        // The half-diminished sign is set 1.5 below the root's line like the qualities above; left
        // out, the whole chord would stand that much higher than its neighbours.
        offset = 1.5;
    } else if (chord.elemStep2 == kNoQuality && isAugmentedTension(chord.elemStep3) &&
               profile_.augmented == 0) {
        offset = 1.5;
    }
    return offset > 0 ? offset * SVGUtils::defaultScaleRatioForChord() : 0.0;
}

// MARK: typesetting

std::optional<platform::BezierPath>
TOVChordViewFactory::bezierPathFromChordFontID(const TOVChordElems& chord, const std::string& fontID) const {
    const int root = chord.elemStep1;
    const int quality = chord.elemStep2;
    const int tension = chord.elemStep3;
    const int bass = chord.elemStepBase;

    const double m12 = marginXBetween1And2FromChord(chord);
    const double m13 = marginXBetween1And3FromChord(chord);
    const double g23 = marginYBetween2And3FromChord(chord);
    const double m2s = marginXBetween2AndSlashFromChord(chord);
    const double msb = marginXBetweenSlashAndBaseFromChord(chord);

    platform::BezierPath result;
    // Absent elements keep the zero position and size; a missing glyph keeps its size 0 but its
    // position is still worked out, as the later elements are placed from it.
    Placed r, q, t;

    if (root != kNoRoot) {
        auto rootPath = bezierPathForStep1FontID(root, fontID);
        r = sizeOf(rootPath);
        appendAt(result, rootPath, r);

        if (quality != kNoQuality) {
            auto qualityPath = bezierPathForStep2FontID(quality, fontID);
            q = sizeOf(qualityPath);
            q.x = r.width + m12;
            q.y = r.height - q.height + offsetYOfStep2Element(chord);
            appendAt(result, qualityPath, q);
        }

        if (tension != kNoTension) {
            auto tensionPath = bezierPathForStep3FontID(tension, fontID);
            const double scale = scaleForStep3Elem(chord);
            if (tensionPath && scale != 1.0) {
                SVGUtils::scaleBezierPathXByYBy(&*tensionPath, scale, scale);
            }
            t = sizeOf(tensionPath);
            if (quality == kNoQuality) {
                t.x = r.width + m13;
                if (isBottomPosWithoutStep2(tension)) {
                    t.y = r.height + offsetYOfStep3Element(chord) - t.height;
                } else {
                    t.y = t.height <= r.height ? 0.0 : r.height - t.height;
                }
            } else if (!isStep3RightPosOfStep2(chord)) {
                t.x = std::max(r.width + m13, q.x + q.width - t.width);
                t.y = q.y - t.height - g23;
            } else {
                t.x = q.x + q.width + g23;
                t.y = r.height - t.height;
            }
            appendAt(result, tensionPath, t);
        }
    }

    // An `on` switch other than 0 or 1 has no form: neither the slash nor the bass is set.
    if ((bass != kNoRoot || chord.slash) && (profile_.on == 0 || profile_.on == 1)) {
        auto slashPath = bezierPathSlashForfontID(fontID);
        Placed s = sizeOf(slashPath);
        if (profile_.on == 0) {
            // On the line: slash, then the bass standing on the root's line. A root with an accidental
            // is padded on the right for a quality tucked under its sign; the slash takes that padding
            // back, so that it stands as far from the sign as from a plain letter (m12 is 1.0 there).
            const double rootRight = r.width + std::min(0.0, m12 - 1.0);
            const double right = std::max({rootRight, q.x + q.width, t.x + t.width});
            s.x = right + m2s;
            s.y = r.height - s.height - 2.0;
            appendAt(result, slashPath, s);
            if (bass != kNoRoot) {
                auto bassPath = bezierPathForBaseFontID(bass, fontID);
                Placed b = sizeOf(bassPath);
                b.x = s.x + s.width + msb;
                b.y = r.height - b.height;
                appendAt(result, bassPath, b);
            }
        } else {
            // Stacked: the bar under the chord, centred with it, the bass centred under the bar.
            const double barY = std::max({r.height, q.y + q.height, t.y + t.height}) + 2.0;
            double dx = 0.0;
            if (!result.isEmpty()) {
                const double upperWidth = result.bounds().width();
                if (upperWidth > s.width) {
                    dx = (upperWidth - s.width) * 0.5;
                } else {
                    result.translate((s.width - upperWidth) * 0.5, 0.0);
                }
            }
            s.x = dx;
            s.y = barY;
            appendAt(result, slashPath, s);
            if (bass != kNoRoot) {
                auto bassPath = bezierPathForBaseFontID(bass, fontID);
                Placed b = sizeOf(bassPath);
                b.x = dx + (s.width - b.width) * 0.5;
                b.y = barY + s.height + 2.0;
                if (b.x < 0) {
                    result.translate(-b.x, 0.0);
                    b.x = 0.0;
                }
                appendAt(result, bassPath, b);
            }
        }
    }

    if (result.isEmpty()) {
        return std::nullopt;
    }
    const double top = result.bounds().minY();
    if (top < 0) {
        result.translate(0.0, -top);
    }
    SVGUtils::defaultScaleBezierPathForChord(&result);
    return result;
}

std::optional<platform::Size> TOVChordViewFactory::boundsSizeOfChordFontID(const TOVChordElems& chord,
                                                                           const std::string& fontID) {
    auto path = bezierPathFromChordFontID(chord, fontID);
    if (!path) {
        return std::nullopt;
    }
    return path->bounds().size;
}
