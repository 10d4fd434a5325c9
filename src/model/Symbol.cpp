#include "model/Symbol.h"

#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/SymbolSnapShot.h"
#include "model/TOVCoreDataController.h"

void Symbol::privateInit() {
    type_ = static_cast<int>(intValue("type"));
    frame_ = platform::rectFromString(stringValue("frame"));
    flip_ = boolValue("flip");
    angle_ = doubleValue("angle");
    scale_ = doubleValue("scale");
}

void Symbol::setType(int type) {
    if (isUndoRedoing() || type == type_) {
        return;
    }
    willChangeValueForKey("type");
    setPrimitiveValue("type", type);
    type_ = type;
    didChangeValueForKey("type");
}

void Symbol::setFrame(const platform::Rect& frame) {
    if (isUndoRedoing() || frame == frame_) {
        return;
    }
    willChangeValueForKey("frame");
    setPrimitiveValue("frame", platform::stringFromRect(frame));
    frame_ = frame;
    didChangeValueForKey("frame");
}

void Symbol::setFlip(bool flip) {
    if (isUndoRedoing() || flip == flip_) {
        return;
    }
    willChangeValueForKey("flip");
    setPrimitiveValue("flip", flip);
    flip_ = flip;
    didChangeValueForKey("flip");
}

void Symbol::setAngle(double angle) {
    if (isUndoRedoing() || angle == angle_) {
        return;
    }
    willChangeValueForKey("angle");
    setPrimitiveValue("angle", angle);
    angle_ = angle;
    didChangeValueForKey("angle");
}

void Symbol::setScale(double scale) {
    if (isUndoRedoing() || scale == scale_) {
        return;
    }
    willChangeValueForKey("scale");
    setPrimitiveValue("scale", scale);
    scale_ = scale;
    didChangeValueForKey("scale");
}

void Symbol::setInitialSize(platform::Size size) {
    initialSize_ = size;
    if (size.width > 0 && scale_ == 0) {
        setScale(frame_.size.width / size.width);
    }
}

Bar* Symbol::bar() const {
    return toOne<Bar>("bar");
}

void Symbol::setBar(Bar* bar) {
    setToOne("bar", bar);
}

Document* Symbol::document() const {
    return toOne<Document>("document");
}

void Symbol::setDocument(Document* document) {
    setToOne("document", document);
}

Document* Symbol::owningDocument() const {
    if (Document* document = this->document()) {
        return document;
    }
    Bar* bar = this->bar();
    Line* line = bar ? bar->line() : nullptr;
    Page* page = line ? line->page() : nullptr;
    return page ? page->document() : nullptr;
}

TOVCoreDataController* Symbol::coreDataController() const {
    Document* document = owningDocument();
    return document ? document->coreDataController() : nullptr;
}

QString Symbol::plugInFontID() const {
    Document* document = owningDocument();
    return document ? document->plugInFontID() : QString();
}

void Symbol::updateView() {
    if (TOVCoreDataController* controller = coreDataController()) {
        controller->objectShouldUpdateView(this);
    }
}

void Symbol::postNotificationUpdateAttribute() {
    if (TOVCoreDataController* controller = coreDataController()) {
        controller->symbolDidUpdateAttribute(this);
    }
}

std::unique_ptr<TOVSnapshotObject> Symbol::createSnapShot() const {
    auto snapshot = std::make_unique<SymbolSnapShot>();
    snapshot->takeSnapshotFrom(this);
    return snapshot;
}

void Symbol::restoreFromSnapShot(const TOVSnapshotObject* snapshot) {
    const auto* snap = dynamic_cast<const SymbolSnapShot*>(snapshot);
    if (!snap) {
        return;
    }
    setAngle(snap->angle());
    setScale(snap->scale());
    setFlip(snap->flip());
    setFrame(snap->frame());
    setType(snap->type());
    setInitialSize(snap->initialSize());
}

bool Symbol::isObservedKey(std::string_view key) const {
    return key == "angle" || key == "scale" || key == "flip" || key == "frame" || key == "type";
}

void Symbol::didChange(const platform::Change& change) {
    TOVManagedObject::didChange(change);
    if (observeON() && isObservedKey(change.key)) {
        postNotificationUpdateAttribute();
    }
}
