#pragma once

#include "input/TOVChordCollectionView.h"
#include "model/TOVChordElems.h"
#include "platform/graphics/BezierPath.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>
#include <vector>

#include <QComboBox>
class QWidget;

// The grid of the 35 diatonic chords of a key, with the popup that chooses the key (key types 0 to 13:
// C, C#, Db, D, Eb, E, F, F#, Gb, G, Ab, A, Bb, B). The rows are written in C major and carried into the
// key as the chord table does it; a row keeps its C major name as its label.
class TOVChordDiatonicViewController : public QObject {
    Q_OBJECT
public:
    // One cell: the row's name in C, its row and the key it was made for, the chord it shows and the
    // chord's outline fitted to the cell.
    struct Item {
        QString label;
        int index = 0;
        int key = 0;
        TOVChordElems chord;
        std::optional<platform::BezierPath> bezierPath;
    };

    static constexpr int Columns = 7;
    static constexpr double CellWidth = 90;
    static constexpr double CellHeight = 40;

    TOVChordDiatonicViewController();
    ~TOVChordDiatonicViewController() override;

    QWidget* view() const { return view_; }
    TOVChordCollectionView* collectionView() const { return collectionView_; }
    QComboBox* keyChangeButton() const { return keyChangeButton_; }
    const std::vector<Item>& diatonicChords() const { return diatonicChords_; }

    // The key type of the popup's chosen item.
    int currentKey() const;
    // Chooses the popup item of the key type (13 for any type above 13), then rebuilds the grid.
    void setCurrentKey(int keyType);
    // The popup's action: the grid follows the chosen key.
    void keyChanged();
    // Makes the 35 cells for the current key and empties the selection.
    void updateCodeList();
    std::vector<Item> createChordsC() const;
    void clearSelection();
    // Empties the selection and makes every cell again, with the current notation profile.
    void refreshAllItems();
    // The chord of the first selected cell; the empty chord without a selection.
    TOVChordElems chord() const;

private:
    void setDiatonicChords(std::vector<Item> items);

    QPointer<QWidget> view_;
    QPointer<TOVChordCollectionView> collectionView_;
    QPointer<QComboBox> keyChangeButton_;
    std::vector<Item> diatonicChords_;
};
