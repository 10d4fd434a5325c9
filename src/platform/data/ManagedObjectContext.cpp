#include "platform/data/ManagedObjectContext.h"

#include "platform/data/ContractBreak.h"

#include <algorithm>
#include <cassert>
#include <unordered_map>

namespace platform {

ManagedObjectContext::ManagedObjectContext(std::shared_ptr<const ManagedObjectModel> model)
    : model_(std::move(model)) {
    if (!(model_ != nullptr && model_->isFinalized())) {
        reportContractBreak("a context needs a finalised model");
    }
    // Added before anyone else can observe this undo manager, so the objects are awake again before the
    // other did-undo and did-redo observers run.
    using N = UndoManager::Notification;
    undoManager_.addObserver(N::WillUndo, [this] { undoRedoWillStart(); });
    undoManager_.addObserver(N::WillRedo, [this] { undoRedoWillStart(); });
    undoManager_.addObserver(N::DidUndo, [this] { undoRedoDidEnd(); });
    undoManager_.addObserver(N::DidRedo, [this] { undoRedoDidEnd(); });
    // The close of the outermost undo group ends an edit: what it deleted leaves the graph at once, so it
    // stops observing and reporting now rather than at the next undo.
    undoManager_.addObserver(N::ChangeCountDidChange, [this] {
        if (!isUndoingOrRedoing() && undoManager_.groupingLevel() == 0) {
            processPendingChanges();
        }
    });
}

ManagedObjectContext::~ManagedObjectContext() {
    tearingDown_ = true;
    undoManager_.disableUndoRegistration();
    undoManager_.removeAllActions();
    for (const auto& object : objects_) {
        if (!object->faulted_) {
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
    objects_.push_back(std::move(made));
    if (registersUndo()) {
        undoManager_.registerUndo([this, object] { detach(*object); });
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

std::vector<ManagedObject*> ManagedObjectContext::fetchObjects(std::string_view entityName) const {
    std::vector<ManagedObject*> result;
    const Entity* entity = model_ != nullptr ? model_->entityNamed(entityName) : nullptr;
    if (entity == nullptr) {
        return result;
    }
    for (const auto& object : objects_) {
        if (!object->deleted_ && object->entity().isKindOfEntity(*entity)) {
            result.push_back(object.get());
        }
    }
    return result;
}

std::vector<ManagedObject*> ManagedObjectContext::allObjects() const {
    std::vector<ManagedObject*> result;
    for (const auto& object : objects_) {
        if (!object->deleted_) {
            result.push_back(object.get());
        }
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
            [this, o = &object, attribute, old = slot] { restoreValue(*o, attribute, old); });
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
        for (LinkEdit& e : undo) {
            e.link = !e.link;
        }
        undoManager_.registerUndo([this, undo = std::move(undo)] { changeLinks(undo); });
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
    object->deleted_ = true; // first, so that deletions reaching it again from here do nothing
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
        undoManager_.registerUndo([this, object] { reattach(*object); });
    }
    touch(*object, 0);
    pendingDeletions_.push_back(object);
}

void ManagedObjectContext::detach(ManagedObject& object) {
    // Undo has already cut every link made after the insertion; this only guards a history recorded
    // with registration disabled in between.
    for (std::size_t i = 0; i < object.links_.size(); ++i) {
        cutLinks(object, static_cast<int>(i));
    }
    object.deleted_ = true;
    if (registersUndo()) {
        undoManager_.registerUndo([this, o = &object] { reattach(*o); });
    }
    touch(object, 0);
    if (!isUndoingOrRedoing()) {
        pendingDeletions_.push_back(&object);
    }
}

void ManagedObjectContext::reattach(ManagedObject& object) {
    object.deleted_ = false;
    if (registersUndo()) {
        undoManager_.registerUndo([this, o = &object] { detach(*o); });
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
