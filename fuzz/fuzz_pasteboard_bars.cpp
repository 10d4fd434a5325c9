// Copied bars reach the pasteboard from any program that writes it, so the container is read as a hostile
// input with the model's own snapshot classes. What reads must archive again to stable bytes; then what the
// model can take from a snapshot today (each bar's settings, each chord and symbol as a new object of its
// kind in a bar of a small song) is put into the song in one undo group, and undo must give back the song
// exactly as it was, redo the song as it was after.
#include "model/Bar.h"
#include "model/BarSnapShot.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "model/SymbolToolsSnapShot.h"
#include "model/TOVPboardBars.h"
#include "model/TOVSnapshotObject.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "support/DocumentDump.h"
#include "support/SongBuilder.h"
#include "support/UndoRedoCheck.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

namespace {

// Each exec stays short however many snapshots an archive holds.
constexpr std::size_t kMaxPastedSnapshots = 256;

// The entity a snapshot is restored into: its class name without the "SnapShot".
std::string entityOf(const TOVSnapshotObject& snapshot) {
    std::string name(snapshot.archiveClassName());
    const std::string suffix = "SnapShot";
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        name.resize(name.size() - suffix.size());
    }
    return name;
}

// A NaN is unequal to itself, so a song holding one can never compare equal to its own undo; such values
// are left out here (the paste of bars has to refuse them itself, as no drawing can use them).
bool isFinite(const platform::Rect& r) {
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) &&
           std::isfinite(r.height());
}

bool hasFiniteGeometry(const SymbolSnapShot& s) {
    const auto* tools = dynamic_cast<const SymbolToolsSnapShot*>(&s);
    return std::isfinite(s.angle()) && std::isfinite(s.scale()) && isFinite(s.frame()) &&
           std::isfinite(s.initialSize().width) && std::isfinite(s.initialSize().height) &&
           (tools == nullptr || isFinite(tools->frameRelativeToBarRect()));
}

std::vector<Bar*> barsOf(const Document* document) {
    std::vector<Bar*> bars;
    for (const Page* page : document->pageArray()) {
        for (const Line* line : page->lineArray()) {
            for (Bar* bar : line->barArray()) {
                bars.push_back(bar);
            }
        }
    }
    return bars;
}

// Lays the copied bars over the song's bars from the first on, as far as the song has bars.
void paste(const TOVPboardBars& copied, Document* document, platform::ManagedObjectContext& context) {
    const std::vector<Bar*> bars = barsOf(document);
    std::size_t pasted = 0;
    std::size_t index = 0;
    for (const TOVPboardBars::Bars* side : {&copied.upperBars(), &copied.lowerBars()}) {
        for (const auto& snapshot : *side) {
            if (index >= bars.size()) {
                return;
            }
            Bar* bar = bars[index++];
            if (!std::isfinite(snapshot->width()) || !std::isfinite(snapshot->height())) {
                continue;
            }
            bar->setClefType(snapshot->clefType());
            bar->setKeyType(snapshot->keyType());
            bar->setTimeType(snapshot->timeType());
            bar->setLongRest(snapshot->longRest());
            bar->setWidth(snapshot->width());
            for (const BarSnapShot::SnapShots* symbols :
                 {&snapshot->chordArray(), &snapshot->noteArray(), &snapshot->symbolArray()}) {
                for (const auto& symbolSnapshot : *symbols) {
                    if (++pasted > kMaxPastedSnapshots) {
                        return;
                    }
                    if (!hasFiniteGeometry(*symbolSnapshot)) {
                        continue;
                    }
                    auto* symbol = context.insertNewObject<Symbol>(entityOf(*symbolSnapshot));
                    if (symbol == nullptr) {
                        continue;
                    }
                    symbol->restoreFromSnapShot(symbolSnapshot.get());
                    symbol->setBar(bar);
                }
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TOVSnapshotObject::registerArchiveClasses();
    const std::span<const std::uint8_t> bytes(data, size);
    const auto copied = platform::KeyedUnarchiver::unarchivedObjectOfClass<TOVPboardBars>(bytes);
    if (copied == nullptr) {
        return 0;
    }
    const auto once = platform::KeyedArchiver::archivedDataWithRootObject(*copied);
    const auto reread = platform::KeyedUnarchiver::unarchivedObjectOfClass<TOVPboardBars>(once);
    if (reread == nullptr || platform::KeyedArchiver::archivedDataWithRootObject(*reread) != once) {
        std::abort();
    }

    tovtest::TestSong song;
    const tovtest::UndoRedoDumps dumps =
        tovtest::runUndoRedo(song.document, [&] { paste(*copied, song.document, *song.context); });
    if (dumps.undone != dumps.before || dumps.redone != dumps.after) {
        std::abort();
    }
    return 0;
}
