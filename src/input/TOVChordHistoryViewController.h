#pragma once

#include "input/TOVChordCollectionView.h"
#include "model/TOVChordElems.h"
#include "platform/graphics/BezierPath.h"

#include <QObject>
#include <QPointer>

#include <optional>
#include <vector>

class ChordHistory;
class QWidget;

// The grid of the document's chord history, oldest first, one click per chord.
class TOVChordHistoryViewController : public QObject {
    Q_OBJECT
public:
    // One cell: the entry's chord (a slash chord exactly when it has a bass) and its fitted outline, none
    // for a chord that is not valid.
    struct Item {
        TOVChordElems chord;
        std::optional<platform::BezierPath> bezierPath;
    };

    static constexpr int Columns = 7;
    static constexpr int VisibleRows = 3;
    static constexpr double CellWidth = 90;
    static constexpr double CellHeight = 40;

    TOVChordHistoryViewController();
    ~TOVChordHistoryViewController() override;

    QWidget* view() const { return view_; }
    TOVChordCollectionView* collectionView() const { return collectionView_; }

    // The entries as they were set; the cells hold their values as read then.
    const std::vector<ChordHistory*>& history() const { return history_; }
    // Makes a cell for each entry, in order.
    void setHistory(std::vector<ChordHistory*> history);
    const std::vector<Item>& items() const { return items_; }

    void clearSelection();
    // Empties the selection and makes every cell again, with the current notation profile.
    void refreshAllItems();
    // Scrolls the grid so that its last (newest) cell shows.
    void scrollToNewest();
    // The chord of the first selected cell; the empty chord without a selection.
    TOVChordElems chord() const;

private:
    void makeItems();
    // Every cell's outline, at one scale for the grid.
    void makePaths();

    QPointer<QWidget> view_;
    QPointer<TOVChordCollectionView> collectionView_;
    std::vector<ChordHistory*> history_;
    std::vector<Item> items_;
};
