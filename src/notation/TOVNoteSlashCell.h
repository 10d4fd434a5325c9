#pragma once

#include "notation/TOVNoteToneCell.h"

// The tone cell of a rhythm slash: the glyph factory gives it the slash head, and its unit cell sets every
// slash at the same height whatever the tone's level.
class TOVNoteSlashCell : public TOVNoteToneCell {
public:
    using TOVNoteToneCell::TOVNoteToneCell;
};
