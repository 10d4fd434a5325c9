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

template <typename T, typename Stored>
void Symbol::setAttribute(std::string_view key, T value, T Symbol::*field, const Stored& stored) {
    if (isUndoRedoing() || value == this->*field) {
        return;
    }
    storeAndCache(key, this->*field, value, stored);
}

void Symbol::setType(int type) {
    setAttribute("type", type, &Symbol::type_, type);
}

void Symbol::setFrame(const platform::Rect& frame) {
    setAttribute("frame", frame, &Symbol::frame_, platform::stringFromRect(frame));
}

void Symbol::setFlip(bool flip) {
    setAttribute("flip", flip, &Symbol::flip_, flip);
}

void Symbol::setAngle(double angle) {
    const double stored = singlePrecision(angle);
    setAttribute("angle", stored, &Symbol::angle_, stored);
}

void Symbol::setScale(double scale) {
    const double stored = singlePrecision(scale);
    setAttribute("scale", stored, &Symbol::scale_, stored);
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

Document* Symbol::documentOfBar(const Bar* bar) {
    Line* line = bar ? bar->line() : nullptr;
    Page* page = line ? line->page() : nullptr;
    return page ? page->document() : nullptr;
}

Document* Symbol::owningDocument() const {
    if (Document* document = this->document()) {
        return document;
    }
    return documentOfBar(bar());
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
