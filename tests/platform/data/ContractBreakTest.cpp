#include "GraphFixture.h"

#include "platform/data/ContractBreak.h"

#include <string>
#include <vector>

using platform::ManagedObject;

namespace {

// Records the reports instead of asserting, as a release build goes on after logging them.
class ContractBreakTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        previous_ =
            platform::setContractBreakHandler([this](std::string_view what) { reports.emplace_back(what); });
        buildShelves();
    }
    void TearDown() override {
        platform::setContractBreakHandler(std::move(previous_));
        GraphFixture::TearDown();
    }

    std::vector<std::string> reports;

private:
    platform::ContractBreakHandler previous_;
};

TEST_F(ContractBreakTest, EachBreakIsReportedAndChangesNothing) {
    struct Case {
        const char* report;
        std::function<void()> call;
    };
    ManagedObject* gone = make("Box");
    step([&] { context->deleteObject(gone); });
    platform::ManagedObjectContext other(model());
    ManagedObject* stranger = other.insertNewObject("Box");
    const Case cases[] = {
        {"link to a deleted object", [&] { i1->setToOne("box", gone); }},
        {"link to a deleted object", [&] { s1->addToMany("boxes", gone); }},
        {"object of another context or entity for the relationship", [&] { i1->setToOne("box", stranger); }},
        {"object of another context or entity for the relationship", [&] { i1->setToOne("box", t1); }},
        {"value of the wrong kind for the attribute", [&] { s1->setPrimitiveValue("count", "three"); }},
        {"value of the wrong kind for the attribute", [&] { s1->setValue("count", "three"); }},
        {"unknown attribute key", [&] { s1->setValue("colour", 3); }},
        {"unknown relationship key", [&] { s1->setToOne("owner", b1); }},
        {"to-one write of a to-many key", [&] { s1->setToOne("boxes", b3); }},
        {"to-many write of a to-one key", [&] { b3->addToMany("shelf", s1); }},
        {"change notice for an unknown key", [&] { s1->didChangeValueForKey("colour"); }},
        {"deletion of an object of another context", [&] { context->deleteObject(stranger); }},
    };
    for (const Case& c : cases) {
        reports.clear();
        step(c.call);
        ASSERT_EQ(reports.size(), 1u) << c.report;
        EXPECT_EQ(reports.front(), c.report);
    }
    EXPECT_EQ(i1->toOne("box"), b1);
    EXPECT_EQ(s1->intValue("count"), 3);
    EXPECT_EQ(s1->toManyCount("boxes"), 2u);
    EXPECT_FALSE(stranger->isDeleted());
}

TEST_F(ContractBreakTest, WithoutAHandlerTheDefaultTakesOverAgain) {
    auto handler = platform::setContractBreakHandler({});
    EXPECT_TRUE(static_cast<bool>(handler));
    EXPECT_FALSE(static_cast<bool>(platform::setContractBreakHandler(std::move(handler))));
}

} // namespace
