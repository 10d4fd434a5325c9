#include "app/TOVWindowKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An editor that records the operations the keys ask of it.
struct RecordingEditor {
    bool canDelete = true;
    std::vector<std::string> calls;
    bool canEnableDeleteMenu() const { return canDelete; }
    void performDeleteOperation() { calls.push_back("delete"); }
    void moveObjectsSlightlyLeft() { calls.push_back("left"); }
    void moveObjectsSlightlyRight() { calls.push_back("right"); }
    void moveObjectsSlightlyDown() { calls.push_back("down"); }
    void moveObjectsSlightlyUp() { calls.push_back("up"); }
};

TEST(WindowKeys, DeleteKeysDeleteWhenAllowedArrowsNudgeAndOtherKeysDoNothing) {
    const struct {
        int key;
        bool canDelete;
        std::vector<std::string> calls;
    } cases[] = {
        {Qt::Key_Backspace, true, {"delete"}},
        {Qt::Key_Delete, true, {"delete"}},
        {Qt::Key_Backspace, false, {}},
        {Qt::Key_Delete, false, {}},
        {Qt::Key_Left, true, {"left"}},
        {Qt::Key_Right, true, {"right"}},
        {Qt::Key_Down, true, {"down"}},
        {Qt::Key_Up, true, {"up"}},
        {Qt::Key_Return, true, {}},
        {Qt::Key_A, true, {}},
        {Qt::Key_PageDown, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        RecordingEditor editor;
        editor.canDelete = c.canDelete;
        TOVWindowKeys::performKey(editor, c.key);
        EXPECT_EQ(editor.calls, c.calls);
    }
}

} // namespace
