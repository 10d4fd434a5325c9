#include "platform/data/ManagedObjectContext.h"

#include "platform/data/ContractBreak.h"
#include "platform/foundation/MainLoop.h"

#include <QThread>

#include <algorithm>
#include <cassert>
#include <unordered_map>

namespace platform {

namespace {

// Control is inside a nested (modal) event loop, run from an event whose handler is still under way.
bool insideNestedEventLoop() {
    return UndoManager::nestedEventLoopDepth() > 0 || QThread::currentThread()->loopLevel() > 1;
}

} // namespace

ManagedObjectContext::ManagedObjectContext(std::shared_ptr<const ManagedObjectModel> model)
    : model_(std::move(model)), self_(std::make_shared<ManagedObjectContext*>(this)) {
    if (!(model_ != nullptr && model_->isFinalized())) {
        reportContractBreak("a context needs a finalised model");
    }
    if (model_ != nullptr) {
        const std::vector<const Entity*> entities = model_->entities();
        for (std::size_t i = 0; i < entities.size(); ++i) {
            entityIndex_.emplace(entities[i], i);
        }
        live_.resize(entities.size());
        kinds_.resize(entities.size());
        for (std::size_t i = 0; i < entities.size(); ++i) {
            for (std::size_t j = 0; j < entities.size(); ++j) {
                if (entities[j]->isKindOfEntity(*entities[i])) {
                    kinds_[i].push_back(j);
                }
            }
        }
    }
    // Added before anyone else can observe this undo manager, so the objects are awake again before the
    // other did-undo and did-redo observers run.
    using N = UndoManager::Notification;
    undoManager_.addObserver(N::WillUndo, [this] { undoRedoWillStart(); });
    undoManager_.addObserver(N::WillRedo, [this] { undoRedoWillStart(); });
    undoManager_.addObserver(N::DidUndo, [this] { undoRedoDidEnd(); });
    undoManager_.addObserver(N::DidRedo, [this] { undoRedoDidEnd(); });
    // The close of the outermost undo group ends an edit: what it deleted leaves the graph at once, so it
    // stops observing and reporting now rather than at the next undo. An edit also retries a reclaim that
    // had to wait for a nested event loop to end.
    undoManager_.addObserver(N::ChangeCountDidChange, [this] {
        if (!isUndoingOrRedoing() && undoManager_.groupingLevel() == 0) {
            processPendingChanges();
        }
        if (!unreachable_.empty()) {
            scheduleReclaim();
        }
    });
}

ManagedObjectContext::~ManagedObjectContext() {
    tearingDown_ = true;
    self_.reset();
    undoManager_.disableUndoRegistration();
    undoManager_.removeAllActions();
    for (const auto& object : objects_) {
        if (object != nullptr && !object->faulted_) {
            object->faulted_ = true;
            object->willTurnIntoFault();
        }
    }
    objects_.clear();
}

ManagedObject* ManagedObjectContext::insertNewObject(std::string_view entityName) {
    return insertObject(entityName, false);
}

ManagedObject* ManagedObjectContext::insertFetchedObject(std::string_view entityName) {
    return insertObject(entityName, true);
}

ManagedObject* ManagedObjectContext::insertObject(std::string_view entityName, bool fetched) {
    if (!(!tearingDown_)) {
        reportContractBreak("insertion into a context that is being destroyed");
    }
    const Entity* entity = model_ != nullptr ? model_->entityNamed(entityName) : nullptr;
    if (entity == nullptr || tearingDown_) {
        return nullptr;
    }
    std::unique_ptr<ManagedObject> made = entity->factory()(ObjectInit(*entity, *this, lastObjectID_ + 1));
    if (made == nullptr) {
        return nullptr;
    }
    ++lastObjectID_;
    ManagedObject* object = made.get();
    object->slot_ = objects_.size();
    object->kind_ = entityIndex_.at(entity);
    objects_.push_back(std::move(made));
    live_[object->kind_].insert(live_[object->kind_].end(), object);
    if (registersUndo()) {
        undoManager_.registerUndo([this, o = UndoHold(object)] { detach(*o); });
    }
    object->didInitialize();
    if (fetched) {
        awaitingFetch_.push_back(object);
    } else {
        object->awakeFromInsert();
    }
    return object;
}

void ManagedObjectContext::awakeFetchedObjects() {
    while (!awaitingFetch_.empty()) {
        std::vector<ManagedObject*> batch;
        batch.swap(awaitingFetch_);
        for (ManagedObject* object : batch) {
            if (!object->deleted_) {
                object->awakeFromFetch();
            }
        }
    }
}

void ManagedObjectContext::collectLive(std::size_t kind, std::vector<ManagedObject*>& into) const {
    // Each entity's objects are in insertion order already; objects of several entities are merged.
    const auto middle = static_cast<std::ptrdiff_t>(into.size());
    into.insert(into.end(), live_[kind].begin(), live_[kind].end());
    std::inplace_merge(into.begin(), into.begin() + middle, into.end(), ByObjectID());
}

std::vector<ManagedObject*> ManagedObjectContext::fetchObjects(std::string_view entityName) const {
    std::vector<ManagedObject*> result;
    const Entity* entity = model_ != nullptr ? model_->entityNamed(entityName) : nullptr;
    if (entity == nullptr) {
        return result;
    }
    for (std::size_t kind : kinds_[entityIndex_.at(entity)]) {
        collectLive(kind, result);
    }
    return result;
}

std::vector<ManagedObject*> ManagedObjectContext::allObjects() const {
    std::vector<ManagedObject*> result;
    for (std::size_t kind = 0; kind < live_.size(); ++kind) {
        collectLive(kind, result);
    }
    return result;
}

// ---- Attributes ----------------------------------------------------------------------------------------

void ManagedObjectContext::writeValue(ManagedObject& object, int attribute, Value value) {
    Value& slot = object.values_[static_cast<std::size_t>(attribute)];
    if (slot == value) {
        return;
    }
    if (registersUndo()) {
        undoManager_.registerUndo(
            [this, o = UndoHold(&object), attribute, old = slot] { restoreValue(*o, attribute, old); });
    }
    slot = std::move(value);
    touch(object, SnapshotEventChanged);
}

void ManagedObjectContext::restoreValue(ManagedObject& object, int attribute, const Value& value) {
    const Change change{&object,
                        object.entity().attributes()[static_cast<std::size_t>(attribute)].name,
                        ChangeKind::Setting,
                        {}};
    object.sendWillChange(change);
    writeValue(object, attribute, value);
    object.sendDidChange(change);
}

// ---- Relationships -------------------------------------------------------------------------------------

bool ManagedObjectContext::mayLink(const ManagedObject& a, int relationship, const ManagedObject& b) const {
    const Entity::Relationship& r = a.entity().relationships()[static_cast<std::size_t>(relationship)];
    if (b.context_ != this || !b.entity().isKindOfEntity(*r.destination)) {
        reportContractBreak("object of another context or entity for the relationship");
        return false;
    }
    if (a.deleted_ || b.deleted_) {
        reportContractBreak("link to a deleted object");
        return false;
    }
    return true;
}

void ManagedObjectContext::setToOne(ManagedObject& a, int relationship, ManagedObject* b) {
    const Entity::Relationship& r = a.entity().relationships()[static_cast<std::size_t>(relationship)];
    if (!(!r.toMany)) {
        reportContractBreak("to-one write of a to-many key");
    }
    ManagedObject* current = a.links_[static_cast<std::size_t>(relationship)].one;
    if (r.toMany || current == b || (b != nullptr && !mayLink(a, relationship, *b))) {
        return;
    }
    std::vector<LinkEdit> edits;
    if (current != nullptr) {
        edits.push_back({&a, relationship, current, false});
    }
    if (b != nullptr) {
        // One-to-one: b leaves its present partner.
        const int inverse = r.inverseIndex;
        if (!b->entity().relationships()[static_cast<std::size_t>(inverse)].toMany) {
            ManagedObject* partner = b->links_[static_cast<std::size_t>(inverse)].one;
            if (partner != nullptr) {
                edits.push_back({b, inverse, partner, false});
            }
        }
        edits.push_back({&a, relationship, b, true});
    }
    changeLinks(std::move(edits));
}

void ManagedObjectContext::addToMany(ManagedObject& a, int relationship, ManagedObject* b) {
    const Entity::Relationship& r = a.entity().relationships()[static_cast<std::size_t>(relationship)];
    if (!(r.toMany)) {
        reportContractBreak("to-many write of a to-one key");
    }
    if (!r.toMany || b == nullptr || !mayLink(a, relationship, *b)) {
        return;
    }
    std::vector<LinkEdit> edits;
    const int inverse = r.inverseIndex;
    if (!b->entity().relationships()[static_cast<std::size_t>(inverse)].toMany) {
        // b leaves its present owner.
        ManagedObject* owner = b->links_[static_cast<std::size_t>(inverse)].one;
        if (owner == &a) {
            return;
        }
        if (owner != nullptr) {
            edits.push_back({b, inverse, owner, false});
        }
    } else if (a.toManyContains(r.name, b)) {
        return;
    }
    edits.push_back({&a, relationship, b, true});
    changeLinks(std::move(edits));
}

void ManagedObjectContext::removeFromMany(ManagedObject& a, int relationship, ManagedObject* b) {
    const Entity::Relationship& r = a.entity().relationships()[static_cast<std::size_t>(relationship)];
    if (!(r.toMany)) {
        reportContractBreak("to-many write of a to-one key");
    }
    if (!r.toMany || b == nullptr || !a.toManyContains(r.name, b)) {
        return;
    }
    changeLinks({{&a, relationship, b, false}});
}

void ManagedObjectContext::cutLinks(ManagedObject& object, int relationship) {
    const ManagedObject::Link& link = object.links_[static_cast<std::size_t>(relationship)];
    std::vector<LinkEdit> edits;
    if (link.one != nullptr) {
        edits.push_back({&object, relationship, link.one, false});
    }
    // From the back, so that each member is the last one when it goes.
    for (auto it = link.many.rbegin(); it != link.many.rend(); ++it) {
        edits.push_back({&object, relationship, *it, false});
    }
    changeLinks(std::move(edits));
}

std::size_t ManagedObjectContext::insertIntoSide(ManagedObject::Link& link, bool toMany,
                                                 ManagedObject* member, std::size_t position) {
    if (!toMany) {
        assert(link.one == nullptr);
        link.one = member;
        return 0;
    }
    position = std::min(position, link.many.size());
    link.many.insert(link.many.begin() + static_cast<std::ptrdiff_t>(position), member);
    return position;
}

std::size_t ManagedObjectContext::removeFromSide(ManagedObject::Link& link, bool toMany,
                                                 ManagedObject* member) {
    if (!toMany) {
        assert(link.one == member);
        link.one = nullptr;
        return 0;
    }
    auto found = std::find(link.many.rbegin(), link.many.rend(), member);
    assert(found != link.many.rend());
    if (found == link.many.rend()) {
        return link.many.size();
    }
    const auto position = static_cast<std::size_t>(std::distance(link.many.begin(), found.base()) - 1);
    link.many.erase(link.many.begin() + static_cast<std::ptrdiff_t>(position));
    return position;
}

void ManagedObjectContext::changeLinks(std::vector<LinkEdit> edits) {
    if (edits.empty()) {
        return;
    }
    // Every side that changes, once, with what it gains and loses.
    struct Side {
        ManagedObject* object;
        int relationship;
        std::vector<ManagedObject*> inserted;
        std::vector<ManagedObject*> removed;
    };
    std::vector<Side> sides;
    // Most changes touch two to four sides; cutting many links at once gets an index of the sides.
    constexpr std::size_t kIndexFrom = 8;
    std::unordered_map<const ManagedObject::Link*, std::size_t> sideIndex;
    auto noteSide = [&](ManagedObject* object, int relationship, ManagedObject* other, bool link) {
        const ManagedObject::Link* key = &object->links_[static_cast<std::size_t>(relationship)];
        std::size_t index = sides.size();
        if (sides.size() < kIndexFrom) {
            for (std::size_t i = 0; i < sides.size(); ++i) {
                if (&sides[i].object->links_[static_cast<std::size_t>(sides[i].relationship)] == key) {
                    index = i;
                }
            }
        } else {
            if (sideIndex.empty()) {
                for (std::size_t i = 0; i < sides.size(); ++i) {
                    sideIndex.emplace(
                        &sides[i].object->links_[static_cast<std::size_t>(sides[i].relationship)], i);
                }
            }
            index = sideIndex.try_emplace(key, sides.size()).first->second;
        }
        if (index == sides.size()) {
            sides.push_back({object, relationship, {}, {}});
        }
        Side& side = sides[index];
        (link ? side.inserted : side.removed).push_back(other);
    };
    for (const LinkEdit& e : edits) {
        const int inverse =
            e.a->entity().relationships()[static_cast<std::size_t>(e.relationship)].inverseIndex;
        noteSide(e.a, e.relationship, e.b, e.link);
        noteSide(e.b, inverse, e.a, e.link);
    }
    auto forEachChange = [](const Side& side, auto&& send) {
        const Entity::Relationship& r =
            side.object->entity().relationships()[static_cast<std::size_t>(side.relationship)];
        if (!r.toMany) {
            send(Change{side.object, r.name, ChangeKind::Setting, {}});
            return;
        }
        if (!side.removed.empty()) {
            send(Change{side.object, r.name, ChangeKind::Removal, side.removed});
        }
        if (!side.inserted.empty()) {
            send(Change{side.object, r.name, ChangeKind::Insertion, side.inserted});
        }
    };

    for (const Side& side : sides) {
        forEachChange(side, [](const Change& c) { c.object->sendWillChange(c); });
    }
    for (LinkEdit& e : edits) {
        const Entity::Relationship& r =
            e.a->entity().relationships()[static_cast<std::size_t>(e.relationship)];
        const Entity::Relationship& inverse =
            e.b->entity().relationships()[static_cast<std::size_t>(r.inverseIndex)];
        ManagedObject::Link& linkA = e.a->links_[static_cast<std::size_t>(e.relationship)];
        ManagedObject::Link& linkB = e.b->links_[static_cast<std::size_t>(r.inverseIndex)];
        if (e.link) {
            e.positionInA = insertIntoSide(linkA, r.toMany, e.b, e.positionInA);
            e.positionInB = insertIntoSide(linkB, inverse.toMany, e.a, e.positionInB);
        } else {
            e.positionInA = removeFromSide(linkA, r.toMany, e.b);
            e.positionInB = removeFromSide(linkB, inverse.toMany, e.a);
        }
    }
    if (registersUndo()) {
        std::vector<LinkEdit> undo(edits.rbegin(), edits.rend());
        std::vector<UndoHold> holds;
        holds.reserve(2 * undo.size());
        for (LinkEdit& e : undo) {
            e.link = !e.link;
            holds.emplace_back(e.a);
            holds.emplace_back(e.b);
        }
        undoManager_.registerUndo(
            [this, undo = std::move(undo), holds = std::move(holds)] { changeLinks(undo); });
    }
    for (const Side& side : sides) {
        touch(*side.object, SnapshotEventChanged);
    }
    for (const Side& side : sides) {
        forEachChange(side, [](const Change& c) { c.object->sendDidChange(c); });
    }
}

// ---- Insertion and deletion ----------------------------------------------------------------------------

void ManagedObjectContext::deleteObject(ManagedObject* object) {
    if (object == nullptr || object->deleted_ || tearingDown_) {
        return;
    }
    if (object->context_ != this) {
        reportContractBreak("deletion of an object of another context");
        return;
    }
    setDeleted(*object, true); // first, so that deletions reaching it again from here do nothing
    object->prepareForDeletion();
    const auto& relationships = object->entity().relationships();
    for (std::size_t i = 0; i < relationships.size(); ++i) {
        if (relationships[i].deleteRule != DeleteRule::Cascade) {
            continue;
        }
        const ManagedObject::Link& link = object->links_[i];
        std::vector<ManagedObject*> targets = link.many;
        if (link.one != nullptr) {
            targets.push_back(link.one);
        }
        for (ManagedObject* target : targets) {
            deleteObject(target);
        }
    }
    for (std::size_t i = 0; i < relationships.size(); ++i) {
        cutLinks(*object, static_cast<int>(i));
    }
    // Registered last, so that undo brings the object back before it restores its links.
    if (registersUndo()) {
        undoManager_.registerUndo([this, o = UndoHold(object)] { reattach(*o); });
    }
    touch(*object, 0);
    pendingDeletions_.push_back(object);
    if (isUnreachable(*object)) {
        objectMayBeUnreachable(*object);
    }
}

void ManagedObjectContext::setDeleted(ManagedObject& object, bool deleted) {
    if (object.deleted_ == deleted) {
        return;
    }
    object.deleted_ = deleted;
    LiveObjects& live = live_[object.kind_];
    if (deleted) {
        live.erase(&object);
    } else {
        live.insert(&object);
    }
}

void ManagedObjectContext::detach(ManagedObject& object) {
    // Undo has already cut every link made after the insertion; this only guards a history recorded
    // with registration disabled in between.
    for (std::size_t i = 0; i < object.links_.size(); ++i) {
        cutLinks(object, static_cast<int>(i));
    }
    setDeleted(object, true);
    if (registersUndo()) {
        undoManager_.registerUndo([this, o = UndoHold(&object)] { reattach(*o); });
    }
    touch(object, 0);
    if (!isUndoingOrRedoing()) {
        pendingDeletions_.push_back(&object);
    }
    if (isUnreachable(object)) {
        objectMayBeUnreachable(object);
    }
}

void ManagedObjectContext::reattach(ManagedObject& object) {
    setDeleted(object, false);
    if (registersUndo()) {
        undoManager_.registerUndo([this, o = UndoHold(&object)] { detach(*o); });
    }
    touch(object, SnapshotEventReattached);
}

void ManagedObjectContext::processPendingChanges() {
    // The index is shared with calls made from the hooks below, which carry on with the same list.
    while (pendingHead_ < pendingDeletions_.size()) {
        ManagedObject* object = pendingDeletions_[pendingHead_++];
        if (object->deleted_ && !object->faulted_) {
            object->faulted_ = true;
            object->willTurnIntoFault();
        }
    }
    pendingDeletions_.clear();
    pendingHead_ = 0;
}

// ---- Reclaiming ----------------------------------------------------------------------------------------

void ManagedObjectContext::hold(ManagedObject* object) {
    if (object != nullptr) {
        ++object->undoHolds_;
    }
}

void ManagedObjectContext::release(ManagedObject* object) {
    if (object != nullptr && --object->undoHolds_ == 0 && object->deleted_) {
        object->context_->objectMayBeUnreachable(*object);
    }
}

bool ManagedObjectContext::isUnreachable(const ManagedObject& object) {
    return object.deleted_ && object.undoHolds_ == 0 && !object.hasObservers();
}

void ManagedObjectContext::objectMayBeUnreachable(ManagedObject& object) {
    if (tearingDown_ || object.reclaimQueued_ || !isUnreachable(object)) {
        return;
    }
    object.reclaimQueued_ = true;
    unreachable_.push_back(&object);
    scheduleReclaim();
}

void ManagedObjectContext::scheduleReclaim() {
    if (reclaimScheduled_ || tearingDown_) {
        return;
    }
    reclaimScheduled_ = true;
    MainLoop::defer([self = std::weak_ptr<ManagedObjectContext*>(self_)] {
        if (const std::shared_ptr<ManagedObjectContext*> context = self.lock()) {
            (*context)->reclaimUnreachableObjects();
        }
    });
}

void ManagedObjectContext::reclaimUnreachableObjects() {
    reclaimScheduled_ = false;
    if (unreachable_.empty() || tearingDown_ || isUndoingOrRedoing() || insideNestedEventLoop()) {
        return; // the objects wait for the next reclaim
    }
    processPendingChanges();
    std::vector<ManagedObject*> candidates;
    candidates.swap(unreachable_);
    std::vector<ManagedObject*> doomed;
    for (ManagedObject* object : candidates) {
        object->reclaimQueued_ = false;
        // Still unreachable (a write to the deleted object may have registered an action since), out of
        // the graph with its hook called, and linked to nothing (deletion and undo cut every link; an
        // object that kept one is left alone rather than leaving its partner a dangling pointer).
        const bool linked =
            std::any_of(object->links_.begin(), object->links_.end(),
                        [](const ManagedObject::Link& l) { return l.one || !l.many.empty(); });
        if (isUnreachable(*object) && object->faulted_ && !linked) {
            doomed.push_back(object);
        }
    }
    if (doomed.empty()) {
        return;
    }
    for (ManagedObject* object : doomed) {
        object->reclaimQueued_ = true; // marks the doomed for the loader's list below
    }
    if (!awaitingFetch_.empty()) {
        std::erase_if(awaitingFetch_, [](const ManagedObject* o) { return o->reclaimQueued_; });
    }
    for (ManagedObject* object : doomed) {
        objects_[object->slot_].reset();
    }
    freeSlots_ += doomed.size();
    // Compacted once half the slots are empty, so a reclaim costs what it frees, on average.
    if (freeSlots_ * 2 > objects_.size()) {
        std::erase(objects_, nullptr);
        for (std::size_t i = 0; i < objects_.size(); ++i) {
            objects_[i]->slot_ = i;
        }
        freeSlots_ = 0;
    }
}

// ---- Undo and redo -------------------------------------------------------------------------------------

void ManagedObjectContext::touch(ManagedObject& object, unsigned events) {
    if (!isUndoingOrRedoing()) {
        return;
    }
    if (object.touchStamp_ != touchStamp_) {
        object.touchStamp_ = touchStamp_;
        object.snapshotEvents_ = 0;
        touched_.push_back(&object);
    }
    object.snapshotEvents_ |= events;
}

void ManagedObjectContext::undoRedoWillStart() {
    processPendingChanges();
    ++touchStamp_;
    touched_.clear();
}

void ManagedObjectContext::undoRedoDidEnd() {
    // By index: a hook may touch further objects, which then get their call too.
    for (std::size_t i = 0; i < touched_.size(); ++i) {
        ManagedObject* object = touched_[i];
        if (object->deleted_) {
            if (!object->faulted_) {
                object->faulted_ = true;
                object->willTurnIntoFault();
            }
        } else {
            object->faulted_ = false;
            object->awakeFromSnapshotEvents(object->snapshotEvents_);
        }
    }
    touched_.clear();
}

} // namespace platform
