#pragma once

#include "input/TOVPaletteItem.h"
#include "platform/ui/WindowController.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class QLabel;

namespace platform {
class MenuItem;
class Toolbar;
} // namespace platform

// The symbols palette: one window for the whole application. Its toolbar chooses one of twelve
// categories; the grid below shows that category's symbols, and the user drags them onto the score. The
// label and hint of the selected symbol show under the grid. The window never takes the keyboard, so
// the document window keeps it while the user picks and drags.
class TOVSymbolsPaletteWindowController : public platform::WindowController {
public:
    // The categories by toolbar tag.
    enum Category : std::size_t {
        Clefs,
        KeySignatures,
        TimeSignatures,
        RehearsalMarks,
        Barlines,
        Repeats,
        Dynamics,
        Octaves,
        Tempo,
        Push,
        Articulation,
        DrawingTools,
        CategoryCount
    };

    // The one palette, made on the first call (under a lock) with its window hidden; kept for the life of
    // the process.
    static TOVSymbolsPaletteWindowController* singletonInstance();

    TOVSymbolsPaletteWindowController();
    ~TOVSymbolsPaletteWindowController() override;

    // Shows the palette in front, on the category and selection it had when it was closed; the keyboard
    // stays with the window that has it.
    void showUp();

    // The action of the toolbar items: the category of the sender's tag. Senders other than toolbar items
    // change nothing.
    void toolbarItemSelected(platform::MenuItem* sender);
    // Shows the items of a category (a tag of 0 to 11; others change nothing). The first item is selected.
    void changeCategory(std::size_t tag);
    std::size_t category() const { return category_; }

    // The twelve category arrays in tag order, made anew.
    void createPaletteItems();
    static TOVPaletteItems createItemsForClefs();
    static TOVPaletteItems createItemsForKeySignatures();
    static TOVPaletteItems createItemsForTimeSignatures();
    static TOVPaletteItems createItemsForReharsalMarks();
    static TOVPaletteItems createItemsForBarlines();
    static TOVPaletteItems createItemsForRepeeats();
    static TOVPaletteItems createItemsForDynamics();
    static TOVPaletteItems createItemsForOctave();
    static TOVPaletteItems createItemsForTempo();
    static TOVPaletteItems createItemsForPush();
    static TOVPaletteItems createItemsForArticulation();
    static TOVPaletteItems createItemsForDrawingTools();

    const std::vector<TOVPaletteItems>& paletteItemsArray() const { return paletteItemsArray_; }
    const TOVPaletteItems& paletteItems() const { return paletteItemsArray_[category_]; }

    // The selected item's label and hint; empty strings while nothing is selected.
    const std::string& strLabel() const { return strLabel_; }
    const std::string& strHint() const { return strHint_; }

    // The drag of the dragged cells (only the first counts); nothing when it cannot be dragged.
    std::optional<platform::DraggingInfo>
    collectionViewWriteItemsAtIndexes(const platform::CellGrid::IndexSet& indexes) const;

    TOVPaletteCollectionView* collectionView() const { return collectionView_; }
    platform::Toolbar* toolbar() const { return toolbar_; }

private:
    void selectionDidChange(const platform::CellGrid::IndexSet& selection);

    std::vector<TOVPaletteItems> paletteItemsArray_;
    std::size_t category_ = Clefs;
    std::string strLabel_;
    std::string strHint_;
    TOVPaletteCollectionView* collectionView_ = nullptr;
    platform::Toolbar* toolbar_ = nullptr;
    QLabel* labelField_ = nullptr;
    QLabel* hintField_ = nullptr;
};
