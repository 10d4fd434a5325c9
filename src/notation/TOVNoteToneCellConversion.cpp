// The tone cell's conversions for the views that hang on a tone, alone in their source file: a test that
// links stand-ins of its own for them leaves this object out.

#include "notation/TOVNoteToneCellConversion.h"

#include "notation/TOVNoteToneCell.h"

namespace TOVNoteToneCellConversion {

platform::Point convertPointToSuperView(const TOVNoteToneCell& cell, platform::Point point) {
    return cell.convertPointToSuperView(point);
}

platform::Point convertPointFromSuperView(const TOVNoteToneCell& cell, platform::Point point) {
    return cell.convertPointFromSuperView(point);
}

} // namespace TOVNoteToneCellConversion
