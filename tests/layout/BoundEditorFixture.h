#pragma once

#include "FakeLayoutController.h"

#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorView.h"
#include "model/TOVUtils.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace layouttest {

// An editor view of the given height with the fake controller and the glyph library's views (braces,
// barlines, drawing tools), bound by `bind` to a document laid out exactly as given.
class BoundEditorFixture : public ::testing::Test {
protected:
    explicit BoundEditorFixture(double height)
        : editor(std::make_shared<TOVEditorView>(platform::Rect(0, 0, 595, height))) {}

    void SetUp() override {
        TOVUtils::Services services;
        services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
        TOVUtils::registerServices(services);
        controller.editor = editor.get();
        editor->setDelegate(&controller);
    }
    void TearDown() override {
        editor->setDocData(nullptr);
        TOVUtils::registerServices({});
    }

    Document* bind(const std::vector<tovtest::PageSpec>& pages) {
        document = tovtest::makeLayout(*context, pages);
        editor->setDocData(document);
        return document;
    }

    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    FakeLayoutController controller;
    std::shared_ptr<TOVEditorView> editor;
    Document* document = nullptr;
};

} // namespace layouttest
