#include "notation/TOVNoteViewFactory.h"

#include "glyphs/TOVObjectView.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNotePreview.h"
#include "notation/TOVNoteTieView.h"

#include <mutex>

using platform::BezierPath;
using platform::Image;
using platform::Rect;

namespace {
constexpr const char* kDefaultFontID = "Default";
} // namespace

TOVNoteViewFactory::TOVNoteViewFactory()
    : firstDot_(BezierPath::withOvalInRect(Rect(0, 0, kDotSize, kDotSize))),
      secondDot_(BezierPath::withOvalInRect(Rect(kDotSize + kDotGap, 0, kDotSize, kDotSize))) {
    // Ties are drawn from the built-in template whatever font is in use.
    tieTemplate_ = TOVObjectView::makeWithFrameSVGFile<TOVNoteTieView>(
        Rect(), TOVUtils::pathForResourceOfType("ArticulationSlur", "svg").value_or(""));
}

TOVNoteViewFactory::~TOVNoteViewFactory() = default;

TOVNoteViewFactory* TOVNoteViewFactory::singletonInstance() {
    static std::mutex lock;
    static TOVNoteViewFactory* instance = nullptr;
    const std::lock_guard<std::mutex> guard(lock);
    if (!instance) {
        instance = new TOVNoteViewFactory();
        instance->installPluginFontID(kDefaultFontID);
    }
    return instance;
}

std::shared_ptr<TOVNoteViewLibrary> TOVNoteViewFactory::installPluginFontID(const std::string& fontID) {
    auto library = std::make_shared<TOVNoteViewLibrary>(fontID);
    dictFontLibrary_[fontID] = library;
    if (fontID == kDefaultFontID) {
        defaultLibrary_ = library;
    }
    return library;
}

template <typename Lookup>
auto TOVNoteViewFactory::lookUpWithFallback(const std::string& fontID, Lookup lookup) const
    -> decltype(lookup(std::declval<const TOVNoteViewLibrary&>())) {
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

std::optional<Image>
TOVNoteViewFactory::imageForNotePaletteDraggingPreviewWithTypeFontID(std::uint32_t type,
                                                                     const std::string& fontID) const {
    return lookUpWithFallback(fontID, [type](const TOVNoteViewLibrary& library) {
        return library.imageForNotePaletteDraggingPreviewWithType(type);
    });
}

std::shared_ptr<TOVNotePreview>
TOVNoteViewFactory::tonePreviewForDraggingWithFontID(const std::string& fontID) const {
    return lookUpWithFallback(
        fontID, [](const TOVNoteViewLibrary& library) { return library.tonePreviewForDragging(); });
}

std::optional<BezierPath>
TOVNoteViewFactory::bezierPathFromUnitLengthFontID(const NoteUnit* unit, std::uint64_t length,
                                                   const std::string& fontID) const {
    if (length == 0) {
        return std::nullopt;
    }
    return lookUpWithFallback(fontID, [unit, length](const TOVNoteViewLibrary& library) {
        return library.bezierPathFromUnitLength(unit, length);
    });
}

std::optional<BezierPath> TOVNoteViewFactory::bezierPathDotCircleOfLength(std::uint64_t length) const {
    switch (length) {
    case 90:
    case 180:
    case 360:
    case 720:
        return firstDot_;
    case 210:
    case 420:
    case 840: {
        BezierPath dots = firstDot_;
        dots.appendPath(secondDot_);
        return dots;
    }
    default:
        return std::nullopt;
    }
}

std::optional<BezierPath>
TOVNoteViewFactory::bezierPathFlagForLengthFlipFontID(std::uint64_t length, bool flip,
                                                      const std::string& fontID) const {
    return lookUpWithFallback(fontID, [length, flip](const TOVNoteViewLibrary& library) {
        return library.bezierPathFlagForLengthFlip(length, flip);
    });
}

std::shared_ptr<TOVNoteTieView> TOVNoteViewFactory::noteSymbolTieView() const {
    if (!tieTemplate_) {
        return nullptr;
    }
    return std::dynamic_pointer_cast<TOVNoteTieView>(tieTemplate_->clone());
}

std::shared_ptr<TOVObjectView>
TOVNoteViewFactory::articulationViewWithSymbolTypeFontID(int type, const std::string& fontID) const {
    return lookUpWithFallback(fontID, [type](const TOVNoteViewLibrary& library) {
        return library.articulationViewWithSymbolType(type);
    });
}

std::shared_ptr<TOVNoteAccidentalView>
TOVNoteViewFactory::accidentalViewWithSymbolTypeFontID(int type, const std::string& fontID) const {
    return lookUpWithFallback(fontID, [type](const TOVNoteViewLibrary& library) {
        return library.accidentalViewWithSymbolType(type);
    });
}

double TOVNoteViewFactory::previewHeadWidth(const std::string& fontID) const {
    const auto preview = tonePreviewForDraggingWithFontID(fontID);
    if (!preview || !preview->bezierPath()) {
        return 0.0;
    }
    return preview->bezierPath()->bounds().width();
}

double TOVNoteViewFactory::halfFlagWidthLeftWithFontID(const std::string& fontID) const {
    return previewHeadWidth(fontID) * kHalfFlagLeftRatio;
}

double TOVNoteViewFactory::halfFlagWidthRightWithFontID(const std::string& fontID) const {
    return previewHeadWidth(fontID) * kHalfFlagRightRatio;
}
