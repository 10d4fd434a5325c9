#pragma once

#include "input/TOVChordCollectionView.h"
#include "platform/graphics/BezierPath.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>
#include <vector>

class QWidget;
class TOVChordViewDelegate;

// A grid of chord elements of the three-step builder, the quality grid or the tension grid: one cell per
// position, the value of a cell being its position; blank cells answer the grid's none value. Each cell
// shows the glyph of its value as the chord view factory chooses it under the current notation profile.
class TOVChordElemGridViewController : public QObject {
    Q_OBJECT
public:
    struct Item {
        QString label;
        int elemType = 0;
        QString fontSize;
        QString bold;
        std::optional<platform::BezierPath> bezierPath;
    };

    ~TOVChordElemGridViewController() override;

    QWidget* view() const { return view_; }
    TOVChordCollectionView* collectionView() const { return collectionView_; }
    const std::vector<Item>& items() const { return items_; }
    // Not owned: the builder; handed on to the grid.
    TOVChordViewDelegate* chordDelegate() const { return chordDelegate_; }
    void setChordDelegate(TOVChordViewDelegate* delegate);

    // The none value: 12 for qualities, 70 for tensions.
    int noneValue() const { return none_; }
    // The chosen value; the none value when nothing or a blank cell is chosen.
    int elemType() const;
    // The none value empties the selection; a position of the grid chooses that cell alone.
    void setElemType(int value);
    // Empties the selection, which the grid reports to the builder.
    void clearSelection();
    // Empties the selection and makes every cell's glyph again with the current notation profile.
    void refreshAllItems();
    void createItems();

protected:
    TOVChordElemGridViewController(const char* name, int none, int columns, platform::Size cell);
    // The cells of the grid, without glyphs.
    virtual std::vector<Item> itemTable() const = 0;
    // The glyph of a value, at its size in the cell; none for a value without one.
    virtual std::optional<platform::BezierPath> glyphOfValue(int value) const = 0;

private:
    QPointer<QWidget> view_;
    QPointer<TOVChordCollectionView> collectionView_;
    std::vector<Item> items_;
    TOVChordViewDelegate* chordDelegate_ = nullptr;
    int none_;
};

// The quality grid, the builder's second step: twelve cells, two of them blank.
class TOVChord2ndStepViewController : public TOVChordElemGridViewController {
    Q_OBJECT
public:
    TOVChord2ndStepViewController();

protected:
    std::vector<Item> itemTable() const override;
    std::optional<platform::BezierPath> glyphOfValue(int value) const override;
};

// The tension grid, the builder's third step: seventy cells, thirty-eight of them holding a tension.
class TOVChord3rdStepViewController : public TOVChordElemGridViewController {
    Q_OBJECT
public:
    TOVChord3rdStepViewController();
    // The factor by which a tension's glyph is drawn in its cell.
    static double glyphScale(int tension);

protected:
    std::vector<Item> itemTable() const override;
    std::optional<platform::BezierPath> glyphOfValue(int value) const override;
};
