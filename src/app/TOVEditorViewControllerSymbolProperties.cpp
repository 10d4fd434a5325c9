// Symbol properties: the selected signs' common value shown in its sheet, the answer written into each.
#include "app/TOVEditorViewController.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "glyphs/TOVSelectableView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"

#include <optional>

namespace {

int kindOf(const TOVObjectView& view) {
    const auto* selectable = dynamic_cast<const TOVSelectableView*>(&view);
    return selectable != nullptr ? selectable->editPropertiyType() : TOVEditorViewController::NoProperty;
}

SymbolRepeat* repeatOf(const TOVObjectView& view) {
    return dynamic_cast<SymbolRepeat*>(view.symbol());
}

Bar* barOf(const TOVObjectView& view) {
    auto* barView = dynamic_cast<TOVEditorBarView*>(view.barViewBelongTo());
    return barView != nullptr ? barView->bar() : nullptr;
}

// The value shared by every item, or `mixed` when two differ (or when there is none).
template <typename T, typename Read>
T commonValue(const TOVEditorViewController::ObjectViewSet& views, T mixed, Read read) {
    std::optional<T> common;
    for (const auto& view : views) {
        const T value = read(*view);
        if (!common) {
            common = value;
        } else if (*common != value) {
            return mixed;
        }
    }
    return common.value_or(mixed);
}

} // namespace

TOVEditorViewController::ObjectViewSet
TOVEditorViewController::selectedObjectViewsOfEditPropertyType(int kind) const {
    ObjectViewSet views;
    for (const auto& view : editorView_->selectedObjectViewSet()) {
        if (view && kindOf(*view) == kind) {
            views.push_back(view);
        }
    }
    return views;
}

int TOVEditorViewController::editPropertyTypeForCurrentSelection() const {
    int common = NoProperty;
    for (const auto& view : editorView_->selectedObjectViewSet()) {
        const int kind = view ? kindOf(*view) : NoProperty;
        if (kind == NoProperty) {
            continue;
        }
        if (common == NoProperty) {
            common = kind;
        } else if (common != kind) {
            return NoProperty;
        }
    }
    return common;
}

bool TOVEditorViewController::canEnableSymbolPropertiesMenu() const {
    return editPropertyTypeForCurrentSelection() != NoProperty;
}

void TOVEditorViewController::performSymbolPropertiesOperation() {
    switch (editPropertyTypeForCurrentSelection()) {
    case DaCapoProperty:
        performSymbolPropertiesOperationOfTypeDaCapo();
        break;
    case RepeatTimesProperty:
        performSymbolPropertiesOperationOfTypeRepeatTimes();
        break;
    case VoltaProperty:
        performSymbolPropertiesOperationOfTypeVolta();
        break;
    case LongRestProperty:
        performSymbolPropertiesOperationOfTypeLongRest();
        break;
    case TempoSpeedProperty:
        performSymbolPropertiesOperationOfTypeTempoSpeed();
        break;
    default:
        break;
    }
}

void TOVEditorViewController::performSymbolPropertiesOperationOfTypeDaCapo() {
    if (!canEnableSymbolPropertiesMenu()) {
        return;
    }
    const ObjectViewSet views = selectedObjectViewsOfEditPropertyType(DaCapoProperty);
    constexpr int kUnseen = -2;
    constexpr int kMixed = -1;
    TOVRepeatNumberStates shown;
    shown.states.fill(kUnseen);
    for (const auto& view : views) {
        const SymbolRepeat* symbol = repeatOf(*view);
        const TOVRepeatNumberStates own =
            symbol != nullptr ? symbol->repeatNumberStates() : TOVRepeatNumberStates{};
        for (int i = 0; i < 8; ++i) {
            shown[i] = shown[i] == kUnseen ? own[i] : shown[i] != own[i] ? kMixed : shown[i];
        }
    }
    // Passes never seen (no sign selected) show as off.
    for (int& state : shown.states) {
        state = state == kUnseen ? 0 : state;
    }
    const TOVRepeatNumberStates answer = delegate_ != nullptr
                                             ? delegate_->editorRequireNewDaCapoOptionIDNumber(this, shown)
                                             : TOVRepeatNumberStates{};
    for (const auto& view : views) {
        SymbolRepeat* symbol = repeatOf(*view);
        if (symbol == nullptr) {
            continue;
        }
        TOVRepeatNumberStates states = symbol->repeatNumberStates();
        for (int i = 0; i < 8; ++i) {
            // A pass left mixed keeps each sign's own state.
            if (answer[i] == 0 || answer[i] == 1) {
                states[i] = answer[i];
            }
        }
        if (states != symbol->repeatNumberStates()) {
            symbol->setRepeatNumberStates(states);
            view->updateView();
        }
    }
}

void TOVEditorViewController::performSymbolPropertiesOperationOfTypeRepeatTimes() {
    if (!canEnableSymbolPropertiesMenu()) {
        return;
    }
    const ObjectViewSet views = selectedObjectViewsOfEditPropertyType(RepeatTimesProperty);
    // 0 stands for "none" and for differing counts alike.
    const std::uint64_t shown = commonValue<std::uint64_t>(views, 0, [](const TOVObjectView& view) {
        const SymbolRepeat* symbol = repeatOf(view);
        const std::int64_t n = symbol != nullptr ? symbol->repeatIDNumber() : 0;
        return n > 0 ? static_cast<std::uint64_t>(n) : 0;
    });
    const std::uint64_t answer =
        delegate_ != nullptr ? delegate_->editorRequireNewRepeatTimesNumber(this, shown) : shown;
    if (answer == 0) {
        return;
    }
    for (const auto& view : views) {
        SymbolRepeat* symbol = repeatOf(*view);
        if (symbol != nullptr && symbol->repeatIDNumber() != static_cast<std::int64_t>(answer)) {
            symbol->setRepeatIDNumber(static_cast<std::int64_t>(answer));
            view->updateView();
        }
    }
}

void TOVEditorViewController::performSymbolPropertiesOperationOfTypeVolta() {
    if (!canEnableSymbolPropertiesMenu()) {
        return;
    }
    const ObjectViewSet views = selectedObjectViewsOfEditPropertyType(VoltaProperty);
    // A null text: none, or texts that differ (an absent text is never equal to another).
    QString shown;
    bool first = true;
    for (const auto& view : views) {
        const SymbolRepeat* symbol = repeatOf(*view);
        const QString text = symbol != nullptr ? symbol->repeatIDString() : QString();
        if (first) {
            shown = text;
            first = false;
        } else if (text.isNull() || shown.isNull() || text != shown) {
            shown = QString();
            break;
        }
    }
    const QString answer =
        delegate_ != nullptr ? delegate_->editorRequireNewVoltaOptionString(this, shown) : shown;
    if (answer.isNull()) {
        return;
    }
    bool changed = false;
    for (const auto& view : views) {
        SymbolRepeat* symbol = repeatOf(*view);
        if (symbol != nullptr && (symbol->repeatIDString().isNull() || symbol->repeatIDString() != answer)) {
            symbol->setRepeatIDString(answer);
            view->updateView();
            changed = true;
        }
    }
    if (changed) {
        editorView_->setNeedsDisplay();
    }
}

void TOVEditorViewController::performSymbolPropertiesOperationOfTypeLongRest() {
    if (!canEnableSymbolPropertiesMenu()) {
        return;
    }
    const ObjectViewSet views = selectedObjectViewsOfEditPropertyType(LongRestProperty);
    const std::int64_t shown = commonValue<std::int64_t>(views, -1, [](const TOVObjectView& view) {
        const Bar* bar = barOf(view);
        return bar != nullptr ? static_cast<std::int64_t>(bar->longRest()) : -1;
    });
    const std::int64_t answer =
        delegate_ != nullptr ? delegate_->editorRequireNewLongRestNumber(this, shown) : shown;
    if (answer < 1) {
        return;
    }
    bool changed = false;
    for (const auto& view : views) {
        Bar* bar = barOf(*view);
        if (bar != nullptr && bar->longRest() != static_cast<std::uint64_t>(answer)) {
            bar->setLongRest(static_cast<std::uint64_t>(answer));
            view->updateView();
            changed = true;
        }
    }
    if (changed) {
        editorView_->setNeedsDisplay();
    }
}

void TOVEditorViewController::performSymbolPropertiesOperationOfTypeTempoSpeed() {
    if (!canEnableSymbolPropertiesMenu()) {
        return;
    }
    const ObjectViewSet views = selectedObjectViewsOfEditPropertyType(TempoSpeedProperty);
    const std::int64_t shown = commonValue<std::int64_t>(views, -1, [](const TOVObjectView& view) {
        const auto* tempo = dynamic_cast<const SymbolTempo*>(view.symbol());
        return tempo != nullptr ? static_cast<std::int64_t>(tempo->speed()) : -1;
    });
    const std::int64_t answer =
        delegate_ != nullptr ? delegate_->editorRequireNewSpeedNumber(this, shown) : shown;
    if (answer < 1) {
        return;
    }
    for (const auto& view : views) {
        auto* tempo = dynamic_cast<SymbolTempo*>(view->symbol());
        if (tempo != nullptr && tempo->speed() != static_cast<std::uint64_t>(answer)) {
            tempo->setSpeed(static_cast<std::uint64_t>(answer));
            view->updateView();
        }
    }
}

// ---- Double clicks on signs: the selection's sheet of the sign's kind -------------------------------------

void TOVEditorViewController::repeatDaCapoViewDidDoulbleClick(TOVObjectView*) {
    performSymbolPropertiesOperationOfTypeDaCapo();
}
void TOVEditorViewController::repeatTimesViewDidDoulbleClick(TOVObjectView*) {
    performSymbolPropertiesOperationOfTypeRepeatTimes();
}
void TOVEditorViewController::repeatVoltaViewDidDoulbleClick(TOVObjectView*) {
    performSymbolPropertiesOperationOfTypeVolta();
}
void TOVEditorViewController::longRestViewDidDoulbleClick(TOVObjectView*) {
    performSymbolPropertiesOperationOfTypeLongRest();
}
void TOVEditorViewController::tempoSpeedViewDidDoulbleClick(TOVTempoSpeedView*) {
    performSymbolPropertiesOperationOfTypeTempoSpeed();
}
