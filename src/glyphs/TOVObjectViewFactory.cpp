#include "glyphs/TOVObjectViewFactory.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVObjectView.h"
#include "model/TOVSymbolTypes.h"

#include <mutex>
#include <vector>

using platform::BezierPath;

namespace {
constexpr const char* kDefaultFontID = "Default";
} // namespace

TOVObjectViewFactory* TOVObjectViewFactory::singletonInstance() {
    static std::mutex lock;
    static TOVObjectViewFactory* instance = nullptr;
    const std::lock_guard<std::mutex> guard(lock);
    if (!instance) {
        instance = new TOVObjectViewFactory();
        instance->installPluginFontID(kDefaultFontID);
    }
    return instance;
}

std::shared_ptr<TOVObjectViewLibrary> TOVObjectViewFactory::installPluginFontID(const std::string& fontID) {
    auto library = std::make_shared<TOVObjectViewLibrary>(fontID);
    dictFontLibrary_[fontID] = library;
    if (fontID == kDefaultFontID) {
        defaultLibrary_ = library;
    }
    return library;
}

template <typename Lookup>
auto TOVObjectViewFactory::lookUpWithFallback(const std::string& fontID, Lookup lookup) const
    -> decltype(lookup(std::declval<const TOVObjectViewLibrary&>())) {
    const auto found = dictFontLibrary_.find(fontID);
    if (found != dictFontLibrary_.end() && found->second) {
        if (auto answer = lookup(*found->second)) {
            return answer;
        }
    }
    if (defaultLibrary_) {
        return lookup(*defaultLibrary_);
    }
    return {};
}

std::shared_ptr<TOVObjectView>
TOVObjectViewFactory::symbolObjectViewWithSymbolTypeFontID(int type, const std::string& fontID) const {
    return lookUpWithFallback(fontID, [type](const TOVObjectViewLibrary& library) {
        return library.symbolObjectViewWithSymbolType(type);
    });
}

std::optional<BezierPath>
TOVObjectViewFactory::symbolObjectPathWithSymbolTypeFontID(int type, const std::string& fontID) const {
    return lookUpWithFallback(fontID, [type](const TOVObjectViewLibrary& library) {
        return library.symbolObjectPathWithSymbolType(type);
    });
}

std::optional<BezierPath>
TOVObjectViewFactory::repeatTimesPathWithTimesFontID(std::uint64_t times, const std::string& fontID) const {
    return lookUpWithFallback(fontID, [times](const TOVObjectViewLibrary& library) {
        return library.repeatTimesPathWithTimes(times);
    });
}

std::optional<BezierPath>
TOVObjectViewFactory::bezierPathFromBarlineRepeatResourceNameFontID(const std::string& key,
                                                                    const std::string& fontID) const {
    return lookUpWithFallback(fontID, [&key](const TOVObjectViewLibrary& library) {
        return library.bezierPathFromBarlineRepeatResourceName(key);
    });
}

std::optional<BezierPath>
TOVObjectViewFactory::bezierPathFromNumberDigitsCircleFontID(std::uint64_t number, bool circle,
                                                             const std::string& fontID) const {
    auto digitGlyph = [&](std::uint64_t digit) {
        return lookUpWithFallback(fontID, [digit, circle](const TOVObjectViewLibrary& library) {
            return library.bezierPathFromNumberDigitCircle(digit, circle);
        });
    };
    if (circle) {
        return number > 9 ? std::nullopt : digitGlyph(number);
    }
    BezierPath composed;
    std::vector<std::uint64_t> digits;
    for (std::uint64_t rest = number; rest > 0; rest /= 10) {
        digits.insert(digits.begin(), rest % 10);
    }
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (auto glyph = digitGlyph(digits[i])) {
            glyph->translate(kDigitAdvance * static_cast<double>(i), 0);
            composed.appendPath(*glyph);
        }
    }
    return composed;
}

std::optional<BezierPath> TOVObjectViewFactory::repeatIdNumberViewPathWithTypeStatesFontID(
    int type, const TOVRepeatNumberStates& states, const std::string& fontID) const {
    auto composed = symbolObjectPathWithSymbolTypeFontID(type, fontID);
    if (!composed) {
        return std::nullopt;
    }
    for (int pass = 1; pass <= 8; ++pass) {
        if (states[pass - 1] != 1) {
            continue;
        }
        if (auto number =
                bezierPathFromNumberDigitsCircleFontID(static_cast<std::uint64_t>(pass), true, fontID)) {
            number->translate(composed->bounds().width() + kComposedGap, 0);
            composed->appendPath(*number);
        }
    }
    return composed;
}

std::optional<BezierPath>
TOVObjectViewFactory::tempoSpeedPathWithSpeedFontID(std::uint64_t speed, const std::string& fontID) const {
    if (speed > kMaximumSpeed) {
        return std::nullopt;
    }
    auto composed = symbolObjectPathWithSymbolTypeFontID(TOVSymbolTempoSpeed, fontID);
    if (!composed) {
        return std::nullopt;
    }
    if (auto digits = bezierPathFromNumberDigitsCircleFontID(speed, false, fontID)) {
        digits->translate(composed->bounds().width() + kComposedGap, kSpeedOffsetY);
        composed->appendPath(*digits);
    }
    return composed;
}
