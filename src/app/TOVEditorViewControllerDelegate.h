#pragma once

#include "app/TOVPasteSetting.h"
#include "model/TOVRepeatNumberStates.h"

#include <QString>

#include <cstdint>

class TOVEditorViewController;

namespace platform {
class ManagedObjectContext;
class UndoManager;
class View;
} // namespace platform

// What the editor view controller asks of its document window: setting sheets, the chord input window,
// the rhythm matrix, the notes palette and navigation hints. The window controller implements it. Every
// request has a harmless answer here, so that an editor without a window (or a window that does not serve
// a request) leaves the value as it was given: a request that is not answered is a cancelled sheet.
class TOVEditorViewControllerDelegate {
public:
    virtual ~TOVEditorViewControllerDelegate() = default;

    // The sender is the view that caused the request; null when none did.
    virtual void editorRequireShowNotePaletteWindow(TOVEditorViewController* editor, platform::View* sender) {
    }
    virtual void editorRequireShowMatrixWindow(TOVEditorViewController* editor, platform::View* sender) {}
    // Mode 0 or 1: the page of the chord input window to open with.
    virtual void editorRequireShowChordWindowWithMode(TOVEditorViewController* editor, int mode) {}
    virtual bool editorInquireIsChordWindowActive(TOVEditorViewController* editor, platform::View* sender) {
        return false;
    }

    // Setting sheets: each answers the new value, or the given one when cancelled.
    virtual std::uint64_t editorRequireNewRepeatTimesNumber(TOVEditorViewController* editor,
                                                            std::uint64_t times) {
        return times;
    }
    // A null string stands for "no text yet" and stays null when cancelled.
    virtual QString editorRequireNewVoltaOptionString(TOVEditorViewController* editor,
                                                      const QString& option) {
        return option;
    }
    // -1: the selected symbols differ.
    virtual std::int64_t editorRequireNewSpeedNumber(TOVEditorViewController* editor, std::int64_t speed) {
        return speed;
    }
    virtual std::int64_t editorRequireNewLongRestNumber(TOVEditorViewController* editor, std::int64_t bars) {
        return bars;
    }
    virtual TOVRepeatNumberStates editorRequireNewDaCapoOptionIDNumber(TOVEditorViewController* editor,
                                                                       const TOVRepeatNumberStates& states) {
        return states;
    }
    virtual void editorRequireShowSongSettingWindow(TOVEditorViewController* editor, platform::View* sender) {
    }
    // Priority 0 informs, 1 refuses or warns.
    virtual void editorRequireShowNavigationMessageTitlePriority(TOVEditorViewController* editor,
                                                                 const QString& message, const QString& title,
                                                                 int priority) {}
    // barBehind counts from 1. Not answered: times 0, nothing is pasted.
    virtual TOVPasteSetting editorRequireShowPasteSettingWindow(TOVEditorViewController* editor,
                                                                std::uint64_t barBehind) {
        return {};
    }
    virtual void editorRequireWindowActive(TOVEditorViewController* editor, platform::View* sender) {}

    // The document's context and its undo manager; null without a document.
    virtual platform::ManagedObjectContext* managedObjectContext() { return nullptr; }
    virtual platform::UndoManager* undoManager() { return nullptr; }
};
