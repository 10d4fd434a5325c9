#pragma once

#include <cstddef>
#include <limits>

class QObject;

// The page or window that a chord grid, a keyboard or a page reports to. The sender is the grid's
// collection view or the page that reports.
class TOVChordViewDelegate {
public:
    // The index of an empty selection.
    static constexpr std::ptrdiff_t NotFound = std::numeric_limits<std::ptrdiff_t>::max();

    virtual ~TOVChordViewDelegate() = default;
    virtual void doubleClicked(QObject* sender) = 0;
    // Every set of a selection, the empty one too (index NotFound).
    virtual void selectionChanged(QObject* sender, std::ptrdiff_t index) = 0;
    virtual void singleClicked(QObject* sender) {}
};
