#pragma once

#include "ToyGraph.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// A context of the toy model with a known graph, undo grouped explicitly (one step per `step`):
//
//   S1 "S1": boxes [B1, B2], tags [T1, T2], front B2        S2 "S2": boxes [B3], tags [T2]
//   B1: items [I1, I2]      B2: items [I3 (fragile)]        B3: no items
class GraphFixture : public ::testing::Test {
public:
    static std::shared_ptr<const platform::ManagedObjectModel> model() {
        static const auto m = toy::makeModel();
        return m;
    }

protected:
    void SetUp() override {
        toy::ToyObject::log = &log;
        toy::Shelf::setterCalls = 0;
        context = std::make_unique<platform::ManagedObjectContext>(model());
        undo().setGroupsByEvent(false);
    }

    void TearDown() override {
        context.reset();
        toy::ToyObject::log = nullptr;
    }

    platform::UndoManager& undo() { return context->undoManager(); }

    void step(const std::function<void()>& change) {
        undo().beginUndoGrouping();
        change();
        undo().endUndoGrouping();
    }

    platform::ManagedObject* insert(const char* entity) { return context->insertNewObject(entity); }

    // An object that is there before the test starts: its insertion cannot be undone.
    platform::ManagedObject* make(const char* entity) {
        undo().disableUndoRegistration();
        platform::ManagedObject* object = insert(entity);
        undo().enableUndoRegistration();
        return object;
    }

    // Builds the graph above as a loaded document would: nothing to undo, hook log empty.
    void buildShelves() {
        undo().disableUndoRegistration();
        s1 = insert("Shelf");
        s2 = insert("Shelf");
        b1 = insert("Box");
        b2 = insert("Box");
        b3 = insert("Box");
        i1 = insert("Item");
        i2 = insert("Item");
        i3 = insert("FragileItem");
        t1 = insert("Tag");
        t2 = insert("Tag");
        s1->setPrimitiveValue("label", "S1");
        s1->setPrimitiveValue("count", 3);
        s1->setPrimitiveValue("ratio", 0.25);
        s2->setPrimitiveValue("label", "S2");
        b1->setPrimitiveValue("name", "B1");
        b2->setPrimitiveValue("name", "B2");
        b3->setPrimitiveValue("name", "B3");
        i1->setPrimitiveValue("title", "I1");
        i2->setPrimitiveValue("title", "I2");
        i3->setPrimitiveValue("title", "I3");
        t1->setPrimitiveValue("word", "T1");
        t2->setPrimitiveValue("word", "T2");
        b1->setToOne("shelf", s1);
        b2->setToOne("shelf", s1);
        b3->setToOne("shelf", s2);
        i1->setToOne("box", b1);
        i2->setToOne("box", b1);
        i3->setToOne("box", b2);
        s1->addToMany("tags", t1);
        s1->addToMany("tags", t2);
        s2->addToMany("tags", t2);
        s1->setToOne("front", b2);
        undo().enableUndoRegistration();
        log.entries.clear();
        log.counts.clear();
    }

    toy::HookLog log;
    std::unique_ptr<platform::ManagedObjectContext> context;
    platform::ManagedObject* s1 = nullptr;
    platform::ManagedObject* s2 = nullptr;
    platform::ManagedObject* b1 = nullptr;
    platform::ManagedObject* b2 = nullptr;
    platform::ManagedObject* b3 = nullptr;
    platform::ManagedObject* i1 = nullptr;
    platform::ManagedObject* i2 = nullptr;
    platform::ManagedObject* i3 = nullptr;
    platform::ManagedObject* t1 = nullptr;
    platform::ManagedObject* t2 = nullptr;
};
