#pragma once

#include <Qt>

#include <concepts>

// The keys a document window handles when the editor leaves them: delete and forward delete delete the
// selection when the editor allows it, the arrow keys nudge the selected objects, and every other key
// ends here without effect. An editor that does not offer one of these operations leaves its key without
// effect too.
namespace TOVWindowKeys {

template <typename Editor>
void performKey(Editor& editor, int key) {
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        if constexpr (requires {
                          { editor.canEnableDeleteMenu() } -> std::convertible_to<bool>;
                          editor.performDeleteOperation();
                      }) {
            if (editor.canEnableDeleteMenu()) {
                editor.performDeleteOperation();
            }
        }
        break;
    case Qt::Key_Left:
        if constexpr (requires { editor.moveObjectsSlightlyLeft(); }) {
            editor.moveObjectsSlightlyLeft();
        }
        break;
    case Qt::Key_Right:
        if constexpr (requires { editor.moveObjectsSlightlyRight(); }) {
            editor.moveObjectsSlightlyRight();
        }
        break;
    case Qt::Key_Down:
        if constexpr (requires { editor.moveObjectsSlightlyDown(); }) {
            editor.moveObjectsSlightlyDown();
        }
        break;
    case Qt::Key_Up:
        if constexpr (requires { editor.moveObjectsSlightlyUp(); }) {
            editor.moveObjectsSlightlyUp();
        }
        break;
    default:
        break;
    }
}

} // namespace TOVWindowKeys
