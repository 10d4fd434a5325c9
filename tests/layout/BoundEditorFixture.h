#pragma once

#include "FakeLayoutController.h"

#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/TOVUtils.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace layouttest {

// The editor view with the controller as its delegate, showing a document laid out exactly as given.
inline Document* bindEditor(TOVEditorView& editor, FakeLayoutController& controller,
                            platform::ManagedObjectContext& context,
                            const std::vector<tovtest::PageSpec>& pages) {
    controller.editor = &editor;
    editor.setDelegate(&controller);
    Document* document = tovtest::makeLayout(context, pages);
    editor.setDocData(document);
    return document;
}

// A melody note of one tone, or a rest, written into the bar numbered so, its change processed so that the
// bar view rebuilds its note views.
inline Note* writeMelo(platform::ManagedObjectContext& context, const Document* document, std::uint64_t num,
                       std::uint64_t from, std::uint64_t length, std::int64_t level) {
    Note* note = tovtest::findBar(document, num)->createNewSingleMeloFromLengthLevel(from, length, level);
    context.processPendingChanges();
    return note;
}
inline Note* writeRest(platform::ManagedObjectContext& context, const Document* document, std::uint64_t num,
                       std::uint64_t from, std::uint64_t length) {
    Note* note = tovtest::findBar(document, num)->createNewSingleRestFromLength(from, length);
    context.processPendingChanges();
    return note;
}

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
