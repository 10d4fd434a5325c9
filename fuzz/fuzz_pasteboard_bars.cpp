// Copied bars reach the pasteboard from any program that writes it, so the container is read as a hostile
// input through the model's own paste. What the model reads must archive again to stable bytes; the paste
// into a small song, in one undo group, must leave the song whole, undo must give back the song exactly as
// it was, and redo the song as it was after.
#include "model/Bar.h"
#include "model/Document.h"
#include "model/TOVPboardBars.h"
#include "model/TOVSnapshotObject.h"
#include "platform/data/MemoryPasteboard.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "support/SongBuilder.h"
#include "support/StructureCheck.h"
#include "support/UndoRedoCheck.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

// Each exec stays short however many bars an archive holds.
constexpr std::size_t kMaxPastedBars = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TOVSnapshotObject::registerArchiveClasses();
    const std::span<const std::uint8_t> bytes(data, size);
    if (const auto copied = platform::KeyedUnarchiver::unarchivedObjectOfClass<TOVPboardBars>(bytes)) {
        const auto once = platform::KeyedArchiver::archivedDataWithRootObject(*copied);
        const auto reread = platform::KeyedUnarchiver::unarchivedObjectOfClass<TOVPboardBars>(once);
        if (reread == nullptr || platform::KeyedArchiver::archivedDataWithRootObject(*reread) != once) {
            std::abort();
        }
        if (copied->upperBars().size() + copied->lowerBars().size() > kMaxPastedBars) {
            return 0;
        }
    }

    // Whatever the bytes are, the paste must take them or refuse them whole.
    platform::MemoryPasteboard pasteboard;
    pasteboard.addTypes({Document::CopiedBarsType});
    pasteboard.setDataForType(std::vector<std::uint8_t>(data, data + size), Document::CopiedBarsDataType);

    tovtest::TestSong song;
    Bar* target = song.document->barFromNumberLower(2, false);
    if (target == nullptr) {
        std::abort();
    }
    const tovtest::UndoRedoDumps dumps = tovtest::runUndoRedo(song.document, [&] {
        song.document->pasteBarsFromPasteBoardAtBarCountChordNote(target, 1, true, true, pasteboard);
    });
    if (dumps.undone != dumps.before || dumps.redone != dumps.after ||
        !tovtest::structureFaults(song.document).empty()) {
        std::abort();
    }
    return 0;
}
