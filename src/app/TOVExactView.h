#pragma once

#include "platform/ui/View.h"

#include <typeinfo>

// The views report to the editor's controller by their exact class: a subclass of a bar view is not a bar
// view here. Null when the view is null or of another class.
template <typename T>
T* exactly(platform::View* view) {
    return (view != nullptr && typeid(*view) == typeid(T)) ? static_cast<T*>(view) : nullptr;
}
