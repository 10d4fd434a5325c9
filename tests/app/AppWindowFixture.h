#pragma once

#include "glyphs/TOVObjectViewFactory.h"
#include "model/TOVUtils.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/MemoryDefaultsStore.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"
#include "support/SongBuilder.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace apptest {

// Types into a field as the user does: the field takes the keyboard, its text is selected and replaced.
inline void typeInto(QLineEdit* field, const QString& typed) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, typed);
}

inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

// An application with fresh user defaults (registered as at start-up: no automatic zoom, "100%"), the
// glyph library's views, and a song context of its own.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        previousDefaults_ = platform::UserDefaults::replaceStandard(
            std::make_unique<platform::UserDefaults>(std::make_unique<platform::MemoryDefaultsStore>()));
        defaults().registerDefaults({{"displaySizeAuto", platform::DefaultsValue(false)},
                                     {"displaySizeNumber", platform::DefaultsValue(std::string("100%"))}});
        TOVUtils::Services services;
        services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
        TOVUtils::registerServices(services);
    }
    void TearDown() override {
        TOVUtils::registerServices({});
        platform::UserDefaults::replaceStandard(std::move(previousDefaults_));
    }

    static platform::UserDefaults& defaults() { return platform::UserDefaults::standard(); }

    platform::Application app;
    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();

private:
    std::unique_ptr<platform::UserDefaults> previousDefaults_;
};

} // namespace apptest
