#pragma once

#include "platform/ui/WindowController.h"

class TOVChordInputEditor;

// The chord input window of one document window: it writes chord symbols into the song of its editor,
// one chord at a time at the editor's chord input position, and steps that position through the song.
// It runs application-modally; each commit inside a run is one undo step.
class TOVChordWindowController : public platform::WindowController {
public:
    TOVChordWindowController();
    ~TOVChordWindowController() override;

    // Stores the page to open with (0 the three-step page, 1 the one-step page; 2 keeps the last one),
    // then runs the window as showCustomDialog(editor) does.
    void showCustomDialog(TOVChordInputEditor* editor, int mode);
    // Runs the window modally for the editor; returns when the window has closed.
    void showCustomDialog(TOVChordInputEditor* editor);
    // Whether a modal run is going on.
    bool running() const { return running_; }
    // Rebuilds every chord glyph of both pages after a change of the chord notation.
    void refreshAllItems();

private:
    TOVChordInputEditor* editor_ = nullptr;
    bool running_ = false;
    int modeAtLaunch_ = 1;
};
