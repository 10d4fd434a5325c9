#include "glyphs/TOVChordObjectView.h"

#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVObjectViewOwner.h"
#include "model/Chord.h"
#include "model/TOVUtils.h"
#include "platform/ui/Event.h"

namespace {

// The chord glyph factory the application registered, when it is the glyph layer's own.
TOVChordViewFactory* chordFactory() {
    return dynamic_cast<TOVChordViewFactory*>(TOVUtils::chordViewFactory());
}

} // namespace

std::shared_ptr<TOVChordObjectView> TOVChordObjectView::withChord(Chord* chord) {
    auto view = std::make_shared<TOVChordObjectView>(platform::Rect());
    view->chordData_ = chord;
    if (chord) {
        view->chordElems_ = chord->chordElems();
    }
    view->createPathDynamically();
    view->setFrameSize(view->defaultViewSize());
    return view;
}

std::shared_ptr<TOVObjectView> TOVChordObjectView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVChordObjectView>(frame);
}

void TOVChordObjectView::createPathDynamically() {
    std::optional<platform::BezierPath> path;
    if (TOVChordViewFactory* factory = chordFactory()) {
        const QString fontID = chordData_ ? chordData_->plugInFontID() : QString();
        path = factory->bezierPathFromChordFontID(chordElems_, fontID.toStdString());
    }
    const platform::Size size = path ? path->bounds().size : platform::Size();
    setBezierPath(std::move(path));
    setDefaultViewSize(size);
    if (symbol()) {
        symbol()->setInitialSize(size);
    }
}

void TOVChordObjectView::updateView() {
    if (chordData_) {
        chordElems_ = chordData_->chordElems();
        createPathDynamically();
    }
    TOVResizableFixedView::updateView();
}

namespace {
double raiseOf(const TOVObjectView& view) {
    const TOVObjectViewOwner* owner = view.barViewBelongTo();
    return owner != nullptr ? owner->chordRaise() : 0.0;
}
} // namespace

platform::Point TOVChordObjectView::convertPointFromViewOriginToDataOrigin(platform::Point point) const {
    platform::Point data = TOVResizableFixedView::convertPointFromViewOriginToDataOrigin(point);
    data.y += raiseOf(*this);
    return data;
}

platform::Point TOVChordObjectView::convertPointFromDataOriginToViewOrigin(platform::Point point) const {
    return TOVResizableFixedView::convertPointFromDataOriginToViewOrigin({point.x, point.y - raiseOf(*this)});
}

double TOVChordObjectView::offsetY() const {
    const TOVChordViewFactory* factory = chordFactory();
    return factory ? factory->offsetYUnderBaseline(chordElems_) : 0.0;
}

std::uint64_t TOVChordObjectView::timing() const {
    const auto* chord = dynamic_cast<const Chord*>(symbol());
    return chord ? chord->timing() : 0;
}

void TOVChordObjectView::mouseDown(const platform::Event& event) {
    if (event.controlKey()) {
        rightMouseDown(event);
        return;
    }
    if (event.clickCount() == 2) {
        if (delegate()) {
            delegate()->chordViewDidDoubleClick(this);
        }
        return;
    }
    TOVResizableFixedView::mouseDown(event);
}

void TOVChordObjectView::rightMouseDown(const platform::Event&) {
    if (delegate()) {
        delegate()->chordViewDidRightClick(this);
    }
}
