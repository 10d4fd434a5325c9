#include "model/Chord.h"
#include "document/TOVDocumentDump.h"
#include "model/Bar.h"
#include "model/ChordHistory.h"
#include "model/ChordSnapShot.h"
#include "model/Document.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"
#include "support/UndoRedoCheck.h"
#include "support/UndoRefreshRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace tovtest;
using namespace TOVDocumentDump;

namespace {

constexpr std::uint64_t kHugeTiming = std::numeric_limits<std::uint64_t>::max() - 4;

Chord* chordIn(Bar* bar) {
    auto* chord = bar->managedObjectContext()->insertNewObject<Chord>("Chord");
    chord->setBar(bar);
    chord->setType(TOVSymbolChord);
    return chord;
}

// Every cached value of a chord, for comparing chords.
std::string describe(const Chord* c) {
    return std::to_string(c->elemStep1()) + "," + std::to_string(c->elemStep2()) + "," +
           std::to_string(c->elemStep3()) + "," + std::to_string(c->elemStepBase()) + " t" +
           std::to_string(c->timing()) + " i" + std::to_string(c->index()) + " o" +
           std::to_string(c->order());
}

// One setter of a chord with the value it writes.
struct ChordSetter {
    const char* key;
    std::function<void(Chord*)> set;
};

const std::vector<ChordSetter>& chordSetters() {
    static const std::vector<ChordSetter> setters = {
        {"elemStep1", [](Chord* c) { c->setElemStep1(5); }},
        {"elemStep2", [](Chord* c) { c->setElemStep2(7); }},
        {"elemStep3", [](Chord* c) { c->setElemStep3(3); }},
        {"elemStepBase", [](Chord* c) { c->setElemStepBase(10); }},
        {"timing", [](Chord* c) { c->setTiming(480); }},
        {"index", [](Chord* c) { c->setIndex(16); }},
        {"order", [](Chord* c) { c->setOrder(2); }},
    };
    return setters;
}

// Runs `set` inside an undo or a redo of the song's undo manager, as a restored change would.
void runWhileUndoingOrRedoing(platform::ManagedObjectContext& context, bool redo,
                              const std::function<void()>& set) {
    UndoEnabled recording(context);
    platform::UndoManager& undo = context.undoManager();
    undo.beginUndoGrouping();
    if (redo) {
        // The undo of this group registers the redo that runs `set`.
        undo.registerUndo([&undo, set] { undo.registerUndo(set); });
    } else {
        undo.registerUndo(set);
    }
    undo.endUndoGrouping();
    undo.undo();
    if (redo) {
        undo.redo();
    }
}

} // namespace

// ---- Attributes -------------------------------------------------------------------------------------

TEST(ChordTest, StartsEmptyAndStoresAndCachesEveryAttribute) {
    TestSong song;
    Chord* chord = chordIn(findBar(song.document, 0));
    EXPECT_EQ(describe(chord), "17,12,70,17 t0 i0 o0");
    EXPECT_EQ(chord->chordElems(), TOVChordElems{});

    chord->setChordElems({3, 7, 0, 10, false}); // the flag is not stored: the bass decides it
    chord->setTiming(kHugeTiming);
    chord->setIndex(9);
    chord->setOrder(1);
    EXPECT_EQ(describe(chord), "3,7,0,10 t" + std::to_string(kHugeTiming) + " i9 o1");
    EXPECT_EQ(chord->chordElems(), (TOVChordElems{3, 7, 0, 10, true}));
    EXPECT_EQ(chord->intValue("elemStep1"), 3);
    EXPECT_EQ(chord->intValue("elemStepBase"), 10);
    EXPECT_EQ(chord->unsignedValue("timing"), kHugeTiming);
    EXPECT_EQ(describeObject(chord).find("!cache"), std::string::npos) << describeObject(chord);

    chord->setChordElems({3, 7, 0, 17, true});
    EXPECT_FALSE(chord->chordElems().slash);
    EXPECT_EQ(chord->bar(), findBar(song.document, 0));
    EXPECT_EQ(findBar(song.document, 0)->chords(), std::vector<Chord*>{chord});
}

// A chord read from a store fills its cache from the stored values, and the defaults where none is stored.
TEST(ChordTest, FetchedChordReadsItsStoredValues) {
    TestSong song;
    platform::ManagedObjectContext& context = *song.context;
    auto* chord = dynamic_cast<Chord*>(context.insertFetchedObject("Chord"));
    ASSERT_NE(chord, nullptr);
    chord->setPrimitiveValue("elemStep1", 13);
    chord->setPrimitiveValue("elemStep3", 7);
    chord->setPrimitiveValue("timing", 240);
    chord->setPrimitiveValue("angle", 15.0);
    context.awakeFetchedObjects();
    EXPECT_EQ(describe(chord), "13,12,7,17 t240 i0 o0");
    EXPECT_EQ(chord->angle(), 15.0);
}

TEST(ChordTest, SettersSkipUnchangedValues) {
    TestSong song;
    Chord* chord = chordIn(findBar(song.document, 0));
    for (const ChordSetter& setter : chordSetters()) {
        int notices = 0;
        auto token = chord->addObserver(setter.key, [&](const platform::Change&) { ++notices; });
        setter.set(chord);
        setter.set(chord);
        EXPECT_EQ(notices, 1) << setter.key;
        chord->removeObserver(token);
    }
    // The chord value through its four setters: only the codes that differ are written.
    int notices = 0;
    std::vector<platform::ObservationToken> tokens;
    for (const char* key : {"elemStep1", "elemStep2", "elemStep3", "elemStepBase"}) {
        tokens.push_back(chord->addObserver(key, [&](const platform::Change&) { ++notices; }));
    }
    chord->setChordElems({5, 7, 70, 10, true});
    EXPECT_EQ(notices, 1); // only the tension changed
    for (const auto& token : tokens) {
        chord->removeObserver(token);
    }
}

TEST(ChordTest, SettersIgnoreWritesWhileUndoingOrRedoing) {
    for (bool redo : {false, true}) {
        TestSong song;
        Chord* chord = chordIn(findBar(song.document, 0));
        std::vector<std::function<void()>> writes;
        for (const ChordSetter& setter : chordSetters()) {
            writes.push_back([chord, set = setter.set] { set(chord); });
        }
        writes.push_back([chord] { chord->setChordElems({0, 1, 0, 4, true}); });
        auto snapshot = std::shared_ptr<TOVSnapshotObject>(chord->createSnapShot());
        auto* snap = static_cast<ChordSnapShot*>(snapshot.get());
        snap->setElemStep1(2);
        snap->setTiming(960);
        snap->setAngle(45);
        writes.push_back([chord, snapshot] { chord->restoreFromSnapShot(snapshot.get()); });

        for (const auto& write : writes) {
            runWhileUndoingOrRedoing(*song.context, redo, write);
            EXPECT_EQ(describe(chord), "17,12,70,17 t0 i0 o0") << (redo ? "redo" : "undo");
            EXPECT_EQ(chord->angle(), 0.0);
            EXPECT_FALSE(chord->hasValue("elemStep1"));
            EXPECT_FALSE(chord->hasValue("timing"));
        }
        // The same writes outside undo and redo take effect.
        for (const auto& write : writes) {
            write();
        }
        // The snapshot, taken of the new chord, writes its empty bass back.
        EXPECT_EQ(describe(chord), "2,12,70,17 t960 i16 o2");
    }
}

TEST(ChordTest, UndoAndRedoRestoreTheStoreAndTheCache) {
    TestSong song;
    Chord* chord = chordIn(findBar(song.document, 2));
    chord->setChordElems({7, 12, 70, 10, true});
    const auto dumps = runUndoRedo(song.document, [&] {
        chord->setChordElems({13, 7, 3, 17, false});
        chord->setTiming(720);
        chord->setIndex(24);
        chord->setOrder(1);
    });
    EXPECT_EQ(dumps.undone, dumps.before);
    EXPECT_EQ(dumps.redone, dumps.after);
    EXPECT_NE(dumps.after, dumps.before);
    EXPECT_EQ(dumps.after.find("!cache"), std::string::npos) << dumps.after;
    EXPECT_EQ(describe(chord), "13,7,3,17 t720 i24 o1");
}

// ---- Change reports ---------------------------------------------------------------------------------

// Each attribute a chord restores in an undo or redo is reported as a chord change, its own and the
// symbol attributes alike; the buffer records the chord once.
TEST(ChordTest, ReportsEveryRestoredAttributeAsAChordChange) {
    std::vector<ChordSetter> setters = chordSetters();
    setters.push_back({"angle", [](Chord* c) { c->setAngle(30); }});
    setters.push_back({"frame", [](Chord* c) { c->setFrame({1, 2, 3, 4}); }});
    for (const ChordSetter& setter : setters) {
        TestSong song;
        UndoRefreshHarness harness(song.document);
        Chord* chord = chordIn(findBar(song.document, 3));
        Chord* other = chordIn(findBar(song.document, 3));
        UndoEnabled recording(*song.context);
        platform::UndoManager& undo = song.context->undoManager();
        undo.beginUndoGrouping();
        setter.set(chord);
        setter.set(other);
        undo.endUndoGrouping();
        // Outside undo and redo the buffer records nothing.
        EXPECT_TRUE(harness.current().isEmpty()) << setter.key;

        for (bool redo : {false, true}) {
            harness.refresher.drains.clear();
            redo ? undo.redo() : undo.undo();
            ASSERT_EQ(harness.refresher.drains.size(), 1u) << setter.key;
            const RecordedRefresh& r = harness.refresher.drains[0];
            std::vector<Chord*> recorded = r.chords;
            std::sort(recorded.begin(), recorded.end());
            std::vector<Chord*> expected = {chord, other};
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(recorded, expected) << setter.key << (redo ? " redo" : " undo");
            EXPECT_TRUE(r.symbols.empty()) << setter.key;
            EXPECT_TRUE(r.bars.empty()) << setter.key;
        }
    }
}

// ---- Snapshot -----------------------------------------------------------------------------------------

TEST(ChordSnapShotTest, RoundTripThroughTheArchiveIntoANewChord) {
    TestSong song;
    Chord* chord = chordIn(findBar(song.document, 0));
    chord->setChordElems({15, 3, 7, 2, true});
    chord->setTiming(kHugeTiming);
    chord->setIndex(3);
    chord->setOrder(2);
    chord->setFrame({10, 20, 30, 15});
    chord->setAngle(5);
    chord->setScale(0.5);
    chord->setInitialSize({60, 30});

    const auto snapshot = chord->createSnapShot();
    ASSERT_EQ(snapshot->archiveClassName(), "ChordSnapShot");
    TOVSnapshotObject::registerArchiveClasses();
    const auto data = platform::KeyedArchiver::archivedDataWithRootObject(*snapshot);
    const auto copy = platform::KeyedUnarchiver::unarchivedObjectOfClass<ChordSnapShot>(data);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->chordElems(), (TOVChordElems{15, 3, 7, 2, true}));
    EXPECT_EQ(copy->timing(), kHugeTiming);

    Chord* restored = chordIn(findBar(song.document, 1));
    restored->restoreFromSnapShot(copy.get());
    // Index and order are not part of a snapshot.
    EXPECT_EQ(describe(restored), "15,3,7,2 t" + std::to_string(kHugeTiming) + " i0 o0");
    EXPECT_EQ(restored->frame(), chord->frame());
    EXPECT_EQ(restored->angle(), 5.0);
    EXPECT_EQ(restored->scale(), 0.5);
    EXPECT_EQ(restored->initialSize(), (platform::Size{60, 30}));
    EXPECT_EQ(restored->type(), TOVSymbolChord);
    EXPECT_EQ(restored->bar(), findBar(song.document, 1));

    // A snapshot of another kind restores only the symbol part.
    Chord* plain = chordIn(findBar(song.document, 2));
    plain->restoreFromSnapShot(findBar(song.document, 2)
                                   ->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, {1, 1, 1, 1})
                                   ->createSnapShot()
                                   .get());
    EXPECT_EQ(describe(plain), "17,12,70,17 t0 i0 o0");
    EXPECT_EQ(plain->type(), TOVSymbolDynamicsFFF);
}

TEST(ChordSnapShotTest, ArchiveKeysFollowTheSymbolKeysAsIntegers) {
    ChordSnapShot snap;
    snap.setType(TOVSymbolChord);
    snap.setElemStep1(16);
    snap.setElemStep2(2);
    snap.setElemStep3(70);
    snap.setElemStepBase(17);
    snap.setTiming(1440);
    platform::KeyedArchiver archiver;
    snap.encodeWithCoder(archiver);
    platform::KeyedUnarchiver reader(archiver.encodedData());
    for (const char* key : {"angle", "scale", "flip", "frame", "type", "initialSize"}) {
        EXPECT_TRUE(reader.containsValueForKey(key)) << key;
    }
    EXPECT_EQ(reader.decodeIntForKey("elemStep1"), 16);
    EXPECT_EQ(reader.decodeIntForKey("elemStep2"), 2);
    EXPECT_EQ(reader.decodeIntForKey("elemStep3"), 70);
    EXPECT_EQ(reader.decodeIntForKey("elemStepBase"), 17);
    EXPECT_EQ(reader.decodeIntegerForKey("timing"), 1440);
    EXPECT_FALSE(reader.containsValueForKey("index"));
    EXPECT_FALSE(reader.containsValueForKey("order"));
    EXPECT_FALSE(reader.failed());

    // An archive written elsewhere under the same keys reads back; codes it lacks read as "none".
    platform::KeyedArchiver other;
    other.encodeIntForKey(TOVSymbolChord, "type");
    other.encodeIntForKey(9, "elemStep1");
    other.encodeIntegerForKey(30, "timing");
    platform::KeyedUnarchiver otherReader(other.encodedData());
    ChordSnapShot read;
    read.initWithCoder(otherReader);
    EXPECT_FALSE(otherReader.failed());
    EXPECT_EQ(read.type(), TOVSymbolChord);
    EXPECT_EQ(read.chordElems(), (TOVChordElems{9, 12, 70, 17, false}));
    EXPECT_EQ(read.timing(), 30u);
}

// ---- Chord history ------------------------------------------------------------------------------------

TEST(ChordHistoryTest, CachesOnInsertAndFetchAndFollowsUndo) {
    TestSong song;
    platform::ManagedObjectContext& context = *song.context;

    auto* empty = context.insertNewObject<ChordHistory>("ChordHistory");
    EXPECT_EQ(empty->chordElems(), TOVChordElems{});
    EXPECT_EQ(empty->index(), 0u);

    auto* fetched = dynamic_cast<ChordHistory*>(context.insertFetchedObject("ChordHistory"));
    ASSERT_NE(fetched, nullptr);
    fetched->setPrimitiveValue("elemStep1", 10);
    fetched->setPrimitiveValue("elemStepBase", 16);
    fetched->setPrimitiveValue("index", 4);
    context.awakeFetchedObjects();
    EXPECT_EQ(fetched->chordElems(), (TOVChordElems{10, 12, 70, 16, true}));
    EXPECT_EQ(fetched->index(), 4u);

    // Setters skip an unchanged value.
    int notices = 0;
    auto token = fetched->addObserver("elemStep1", [&](const platform::Change&) { ++notices; });
    fetched->setElemStep1(10);
    EXPECT_EQ(notices, 0);
    fetched->setChordElems({11, 12, 70, 16, true});
    EXPECT_EQ(notices, 1);
    fetched->removeObserver(token);

    // Undo and redo restore the store, and the cache follows it.
    const auto dumps = runUndoRedo(song.document, [&] {
        ChordHistory* entry = song.document->createNewChordHistoryWithElemsIndex({0, 6, 70, 17, false}, 0);
        entry->setElemStep3(7);
        fetched->setChordElems({13, 1, 70, 17, false});
        fetched->setIndex(7);
    });
    EXPECT_EQ(dumps.undone, dumps.before);
    EXPECT_EQ(dumps.redone, dumps.after);
    EXPECT_EQ(dumps.after.find("!cache"), std::string::npos) << dumps.after;
    EXPECT_EQ(fetched->chordElems(), (TOVChordElems{13, 1, 70, 17, false}));
    EXPECT_EQ(fetched->index(), 7u);
}

// Unlike a chord's, the history's setters also take effect while undoing.
TEST(ChordHistoryTest, SettersTakeEffectWhileUndoing) {
    TestSong song;
    auto* entry = song.context->insertNewObject<ChordHistory>("ChordHistory");
    runWhileUndoingOrRedoing(*song.context, false, [entry] {
        entry->setChordElems({4, 7, 70, 9, true});
        entry->setIndex(3);
    });
    EXPECT_EQ(entry->chordElems(), (TOVChordElems{4, 7, 70, 9, true}));
    EXPECT_EQ(entry->intValue("elemStepBase"), 9);
    EXPECT_EQ(entry->index(), 3u);
}
