#pragma once

#include "app/TOVEditorViewControllerDelegate.h"
#include "app/TOVToolbar.h"

#include "platform/ui/WindowController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QSize>
#include <QString>

#include <memory>
#include <string>

class Document;
class TOVEditorView;
class TOVChordWindowController;
class TOVDaCapoSettingWindowController;
class TOVLongRestSettingWindowController;
class TOVRepeatSettingWindowController;
class TOVSpeedSettingWindowController;
class TOVVoltaSettingWindowController;
class TOVEditorViewController;
class TOVNavigationWindowController;
class TOVSonSettingWindowController;
class TOVSongSettingViewController;
class TOVWindowControllerDelegate;

namespace platform {
class Event;
class ManagedObjectContext;
class ToolbarItem;
class UndoManager;
class Window;
} // namespace platform

// Controls one document window: owns the window's editor view controller, its navigation message panel
// and its song-setting sheet; hands the document's root object to the editor when it arrives; keeps the
// zoom of the editor (stored in the user defaults "displaySizeAuto" and "displaySizeNumber"), the place
// of the navigation panel over the toolbar and the arrow and delete keys; and builds the first page of a
// new document.
//
// The window is built on first request (window() or loadWindow()), as from the interface file named at
// creation ("TOVDocument"): a toolbar with the bar-edit mode pop-up, the zoom combo box with its automatic
// switch and the area the navigation panel lies over, and the editor controller's view as content.
class TOVWindowController : public platform::WindowController,
                            public TOVToolbarDelegate,
                            public TOVEditorViewControllerDelegate {
public:
    explicit TOVWindowController(const std::string& windowNibName = "TOVDocument");
    ~TOVWindowController() override;

    const std::string& windowNibName() const { return windowNibName_; }

    // --- The window ---
    // The window, built and set up (windowDidLoad) on the first request.
    platform::Window* window();
    void loadWindow();
    bool isWindowLoaded() const { return windowLoaded_; }
    // Set-up once the window exists: editor view in the content, zoom, toolbar delegate, navigation panel,
    // song-setting sheet, the zoom restored from the user defaults.
    virtual void windowDidLoad();

    // --- The document ---
    // Not owned: the document.
    TOVWindowControllerDelegate* delegate() const { return delegate_; }
    void setDelegate(TOVWindowControllerDelegate* delegate) { delegate_ = delegate; }
    // The context the document's root object is taken from once the window has loaded (the document
    // object controller's fetch). Not owned.
    platform::ManagedObjectContext* managedObjectContext() const { return context_; }
    void setManagedObjectContext(platform::ManagedObjectContext* context) { context_ = context; }
    platform::UndoManager* undoManager() const;
    platform::ManagedObjectContext* managedObjectContext() override { return context_; }
    platform::UndoManager* undoManager() override;
    // The document object controller's content. A new non-null content is handed to the editor:
    // windowControllerDidParseDocument, the editor's docData, windowControllerDidLoadDocument.
    Document* documentContent() const { return content_; }
    void setDocumentContent(Document* document);
    // The `Document` shown: the content, or before it has arrived the root object of the context.
    Document* docData() const;
    // The plain text of the song's name ("" without one).
    QString songName() const;

    // --- Owned controllers ---
    TOVEditorViewController* editorController() const { return editorController_.get(); }
    TOVNavigationWindowController* navigationWindowController() const {
        return navigationWindowController_.get();
    }
    TOVSonSettingWindowController* songSettingWindowController() const {
        return songSettingWindowController_.get();
    }
    // Made with the window; null before it has loaded.
    TOVChordWindowController* chordWindowController() const { return chordWindowController_.get(); }
    // The value sheets of the editor's requests; made with the window, null before it has loaded.
    TOVRepeatSettingWindowController* repeatSettingWindowController() const { return repeatSheet_.get(); }
    TOVVoltaSettingWindowController* voltaSettingWindowController() const { return voltaSheet_.get(); }
    TOVSpeedSettingWindowController* speedSettingWindowController() const { return speedSheet_.get(); }
    TOVLongRestSettingWindowController* longRestSettingWindowController() const {
        return longRestSheet_.get();
    }
    TOVDaCapoSettingWindowController* daCapoSettingWindowController() const { return daCapoSheet_.get(); }

    // --- Interface outlets (null until the window has loaded) ---
    QComboBox* editBarModeSelector() const { return editBarModeSelector_; }
    QComboBox* displaySizeSelector() const { return displaySizeSelector_; }
    QCheckBox* displaySizeAutoSwitch() const { return displaySizeAutoSwitch_; }
    platform::ToolbarItem* toolbarItemNavigationArea() const { return toolbarItemNavigationArea_.get(); }
    TOVToolbar* toolbar() const { return toolbar_; }

    // --- Zoom ---
    bool isDisplaySizeAuto() const { return isDisplaySizeAuto_; }
    void setIsDisplaySizeAuto(bool value) { isDisplaySizeAuto_ = value; }
    // The number at the start of the zoom text ("150%" reads 150); 0 when there is none.
    double displaySize() const;
    // Writes "<n>%" of the number's whole part into the zoom text without applying it.
    void setDisplaySize(double size);
    // Applies the zoom: the window's width in automatic mode, else the typed percentage, within 25% to
    // 1600%; a text without a number changes nothing.
    void updateDisplaySize();
    // The action of the zoom box and of the automatic switch: applies the zoom and stores it in the user
    // defaults, so that windows opened later start with it.
    void displaySizeDidChange();
    // The editor view ready for printing: no selection, automatic zoom off, zoom 100% (stored too).
    TOVEditorView* printableView();

    // --- Navigation panel ---
    // Puts the navigation panel over its toolbar item and shows it.
    void adjustNavigationWindowFrame();
    void windowDidResize();
    void toolbarDidChangeDisplayMode(TOVToolbar* toolbar, platform::Toolbar::DisplayMode mode) override;

    // --- Keys the editor leaves unhandled ---
    // Delete and forward delete delete the selection when the editor allows it; the arrow keys nudge the
    // selected objects; every other key is ignored.
    void keyDown(const platform::Event& event);

    // --- New document ---
    // Makes the song of the document and writes the form into it.
    void createSongSettingFrom(TOVSongSettingViewController* viewController);
    // Builds the first page of a new document: a header line and 9 single lines (4 double lines) of 4
    // bars. Opens no undo group.
    void createInitialPage();
    // Rebuilds every view of the editor and selects bar 0.
    void updateEditorView();
    // Rebuilds the chord views of the editor (after a change of the chord notation).
    void updateAllChordViews();

    // --- Commands of the window ---
    // Enabling and check marks of the items whose actions the window takes, by title, in this order:
    // "Delete", "Symbol Properties", "Beam" (checked as the editor says), "Convert Note <--> Rest", "Flip",
    // "Unite" (checked as the editor says), "0" (off, checked), "Up"/"Down" of "Accidental" and
    // "Enharmonic", "Normal"/"X"/"None" of "Note Head", "Grid" (on, checked while the grid shows), "Paste
    // Bars", "Normal"; every other item only outside the bar-range modes. An item whose editor test does
    // not exist yet is off.
    bool validateMenuItem(platform::MenuItem& item) override;
    // Runs the song-setting sheet on the window for the document's song.
    void editSongProperties();
    // The bar-edit mode pop-up's action: the editor takes the chosen item's tag as its bar-range mode.
    void editBarsModeDidChange(int tag);
    // The Symbol Properties command: the sheet of the selected signs' kind.
    void editSymbolProperties();
    // The Parts menu: 2 makes the selected line a double line at once; 1 asks first ("Lower part will be
    // deleted.") and deletes the lower part only on Continue; the present count does nothing.
    void numberOfRowsDidChange(int rows);
    // The Delete command: the editor deletes the selection, when it allows it.
    void deleteSelection();
    // The chord input window on the page it showed last.
    void showChordWindow();
    // Runs the chord input window (mode 0 the three-step page, 1 the one-step page, 2 the last one) for
    // the editor. Undo groups do not follow events while it runs (the window groups each chord it writes);
    // when it has closed no group is left open and groups follow events again.
    void showChordWindowWithMode(int mode);

    // --- The editor's requests ---
    // Shows the message in the window's navigation panel (priority 0 green, 1 yellow, 2 orange).
    void editorRequireShowNavigationMessageTitlePriority(TOVEditorViewController* editor,
                                                         const QString& message, const QString& title,
                                                         int priority) override;
    void editorRequireShowSongSettingWindow(TOVEditorViewController* editor, platform::View* sender) override;
    void editorRequireWindowActive(TOVEditorViewController* editor, platform::View* sender) override;
    void editorRequireShowChordWindowWithMode(TOVEditorViewController* editor, int mode) override;
    bool editorInquireIsChordWindowActive(TOVEditorViewController* editor, platform::View* sender) override;
    // The value sheets: each shows the value given (a mixed value as the sheet shows none) and answers
    // the accepted value, or the value given when cancelled.
    std::uint64_t editorRequireNewRepeatTimesNumber(TOVEditorViewController* editor,
                                                    std::uint64_t times) override;
    QString editorRequireNewVoltaOptionString(TOVEditorViewController* editor,
                                              const QString& option) override;
    std::int64_t editorRequireNewSpeedNumber(TOVEditorViewController* editor, std::int64_t speed) override;
    std::int64_t editorRequireNewLongRestNumber(TOVEditorViewController* editor, std::int64_t bars) override;
    TOVRepeatNumberStates editorRequireNewDaCapoOptionIDNumber(TOVEditorViewController* editor,
                                                               const TOVRepeatNumberStates& states) override;

private:
    void buildWindow();
    // Wide enough for the toolbar and an A4 page at 100%, or the size of the last window, on the screen.
    QSize initialWindowSize(const QWidget& window) const;
    // The editor's side of the zoom and of printing.
    double editorContentWidth() const;
    void applyEditorScale(float s);
    void makeEditorFirstResponder();
    void clearEditorSelection();
    TOVEditorView* editorView() const;

    std::string windowNibName_;
    bool windowLoaded_ = false;
    bool isDisplaySizeAuto_ = false;
    TOVWindowControllerDelegate* delegate_ = nullptr;
    platform::ManagedObjectContext* context_ = nullptr;
    Document* content_ = nullptr;

    std::shared_ptr<TOVEditorViewController> editorController_;
    std::unique_ptr<TOVNavigationWindowController> navigationWindowController_;
    std::unique_ptr<TOVSonSettingWindowController> songSettingWindowController_;
    std::unique_ptr<TOVChordWindowController> chordWindowController_;
    std::unique_ptr<TOVRepeatSettingWindowController> repeatSheet_;
    std::unique_ptr<TOVVoltaSettingWindowController> voltaSheet_;
    std::unique_ptr<TOVSpeedSettingWindowController> speedSheet_;
    std::unique_ptr<TOVLongRestSettingWindowController> longRestSheet_;
    std::unique_ptr<TOVDaCapoSettingWindowController> daCapoSheet_;

    QPointer<QComboBox> editBarModeSelector_;
    QPointer<QComboBox> displaySizeSelector_;
    QPointer<QCheckBox> displaySizeAutoSwitch_;
    std::shared_ptr<platform::ToolbarItem> toolbarItemNavigationArea_;
    TOVToolbar* toolbar_ = nullptr;
    QPointer<QObject> resizeWatcher_;
};
