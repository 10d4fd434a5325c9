#include "document/TOVMigrationController.h"

#include "document/TOVDocumentDump.h"
#include "document/TOVDocumentParser.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/SymbolText.h"
#include "model/TOVManagedObjectModel.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Base64.h"
#include "support/LayoutBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

using Imported = TOVMigrationController::ImportedDocument;

// One object of a store as the XML store writes it.
struct StoreObject {
    std::string entity;
    std::string id;
    std::string body{};

    StoreObject& attr(const std::string& name, const std::string& type, const std::string& value) {
        body += "<attribute name=\"" + name + "\" type=\"" + type + "\">" + value + "</attribute>";
        return *this;
    }
    StoreObject& toOne(const std::string& name, const std::string& destination, const std::string& id) {
        return link(name, "1/1", destination, id);
    }
    StoreObject& toMany(const std::string& name, const std::string& destination, const std::string& ids) {
        return link(name, "0/0", destination, ids);
    }
    StoreObject& link(const std::string& name, const std::string& type, const std::string& destination,
                      const std::string& ids) {
        body += "<relationship name=\"" + name + "\" type=\"" + type + "\" destination=\"" + destination +
                "\" idrefs=\"" + ids + "\"></relationship>";
        return *this;
    }
};

StoreObject object(std::string entity, std::string id) {
    return {std::move(entity), std::move(id)};
}

std::string storeText(const std::vector<StoreObject>& objects) {
    std::string text = R"(<?xml version="1.0" standalone="yes"?>
<!DOCTYPE database SYSTEM "http://127.0.0.1:9/never-fetched.dtd">
<database>
    <databaseInfo>
        <version>134481920</version>
        <metadata><plist version="1.0"><dict>
            <key>NSStoreType</key><string>XML</string>
            <key>NSStoreModelVersionHashes</key><dict><key>Bar</key><data>AA==</data></dict>
        </dict></plist></metadata>
    </databaseInfo>
)";
    for (const StoreObject& o : objects) {
        text += "    <object type=\"" + o.entity + "\" id=\"" + o.id + "\">" + o.body + "</object>\n";
    }
    return text + "</database>\n";
}

// A song of one page holding the bar-less first line and a line of four bars with bar 0 ("b0"); `extra`
// adds notes, units, tones and chords that name their owners.
std::vector<StoreObject> songWith(std::vector<StoreObject> extra) {
    std::vector<StoreObject> objects = {
        object("DOCUMENT", "d").attr("barNumberShow", "int64", "1"),
        object("PAGE", "p")
            .attr("num", "int64", "0")
            .attr("aPage", "int64", "10")
            .toOne("document", "DOCUMENT", "d"),
        object("LINE", "l0").attr("partition", "int64", "0").toOne("page", "PAGE", "p"),
        object("LINE", "l1").attr("partition", "int64", "4").toOne("page", "PAGE", "p"),
        object("BAR", "b0")
            .attr("num", "int64", "0")
            .attr("timeType", "int32", "0")
            .toOne("line", "LINE", "l1"),
    };
    objects.insert(objects.end(), extra.begin(), extra.end());
    return objects;
}

StoreObject note(const std::string& id, int x) {
    return object("NOTE", id)
        .attr("type", "int32", std::to_string(TOVSymbolNote))
        .attr("x", "int64", std::to_string(x))
        .toOne("barOfNote", "BAR", "b0");
}

StoreObject unit(const std::string& id, const std::string& note, int legacyType, int order) {
    return object("NOTEUNIT", id)
        .attr("type", "int64", std::to_string(legacyType))
        .attr("order", "int64", std::to_string(order))
        .toOne("note", "NOTE", note);
}

StoreObject tone(const std::string& id, const std::string& unit, int level) {
    return object("NOTETONE", id)
        .attr("level", "int64", std::to_string(level))
        .toOne("unit", "NOTEUNIT", unit);
}

StoreObject chord(const std::string& id, int index, int order) {
    return object("CHORD", id)
        .attr("type", "int32", std::to_string(TOVSymbolChord))
        .attr("index", "int64", std::to_string(index))
        .attr("order", "int64", std::to_string(order))
        .toOne("barOfChord", "BAR", "b0");
}

std::optional<Imported> importText(TOVMigrationController& controller, const std::string& text) {
    return controller.importStoreData(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::optional<Imported> importObjects(const std::vector<StoreObject>& objects) {
    TOVMigrationController controller;
    auto imported = importText(controller, storeText(objects));
    EXPECT_TRUE(imported) << controller.failureReason();
    return imported;
}

// The units of the bar's note that starts at `start` ticks, by timing.
std::vector<NoteUnit*> unitsOfNoteAt(const Imported& imported, std::uint64_t start) {
    for (const Note* n : imported.document->barFromNumberLower(0, false)->notes()) {
        std::vector<NoteUnit*> units = n->unitArray();
        if (!units.empty() && units.front()->timing() == start) {
            return units;
        }
    }
    return {};
}

struct UnitValues {
    std::uint32_t type;
    std::uint64_t timing;
    std::uint64_t duration;
    int beam;
    friend bool operator==(const UnitValues&, const UnitValues&) = default;
};

std::ostream& operator<<(std::ostream& out, const UnitValues& v) {
    return out << "{type 0x" << std::hex << v.type << std::dec << ", timing " << v.timing << ", duration "
               << v.duration << ", beam " << v.beam << "}";
}

std::vector<UnitValues> valuesOf(const std::vector<NoteUnit*>& units) {
    std::vector<UnitValues> values;
    for (const NoteUnit* u : units) {
        values.push_back({u->type(), u->timing(), u->duration(), u->beam()});
    }
    return values;
}

TEST(TOVMigrationControllerTest, TupletsGetSlotsTimingsAndBeamsFromTheirLegacyValues) {
    // A triplet of eighths at x = 16 (its units listed out of order), a sextuplet spanning a half note at
    // x = 0, a triplet with a rest at x = 32 and a triplet of quarters at x = 48.
    const auto imported = importObjects(songWith({
        note("n1", 16),
        unit("t2", "n1", 0x308, 2),
        unit("t0", "n1", 0x308, 0),
        unit("t1", "n1", 0x308, 1),
        tone("a0", "t0", 1),
        tone("a1", "t1", 2),
        tone("a2", "t2", 3),
        note("n2", 0),
        unit("s0", "n2", 0x410, 0),
        unit("s1", "n2", 0x410, 1),
        unit("s2", "n2", 0x410, 2),
        unit("s3", "n2", 0x410, 3),
        unit("s4", "n2", 0x410, 4),
        unit("s5", "n2", 0x410, 5),
        tone("c0", "s0", 1),
        tone("c1", "s1", 1),
        tone("c2", "s2", 1),
        tone("c3", "s3", 1),
        tone("c4", "s4", 1),
        tone("c5", "s5", 1),
        note("n3", 32),
        unit("r0", "n3", 0x308, 0),
        unit("r1", "n3", 0x308, 1),
        unit("r2", "n3", 0x308, 2),
        tone("e0", "r0", 1),
        tone("e2", "r2", 1),
        note("n4", 48),
        unit("q0", "n4", 0x310, 0),
        unit("q1", "n4", 0x310, 1),
        unit("q2", "n4", 0x310, 2),
        tone("f0", "q0", 1),
        tone("f1", "q1", 1),
        tone("f2", "q2", 1),
    }));
    ASSERT_TRUE(imported);
    EXPECT_EQ(valuesOf(unitsOfNoteAt(*imported, 480)),
              (std::vector<UnitValues>{{TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter), 480, 80, 1},
                                       {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter), 560, 80, 3},
                                       {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter), 640, 80, 2}}));
    EXPECT_EQ(valuesOf(unitsOfNoteAt(*imported, 0)),
              (std::vector<UnitValues>{{TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthHalf), 0, 80, 1},
                                       {TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthHalf), 80, 80, 3},
                                       {TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthHalf), 160, 80, 3},
                                       {TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthHalf), 240, 80, 3},
                                       {TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthHalf), 320, 80, 3},
                                       {TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthHalf), 400, 80, 2}}));
    EXPECT_EQ(valuesOf(unitsOfNoteAt(*imported, 960)),
              (std::vector<UnitValues>{{TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter), 960, 80, 0},
                                       {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter), 1040, 80, 0},
                                       {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter), 1120, 80, 0}}));
    EXPECT_EQ(valuesOf(unitsOfNoteAt(*imported, 1440)),
              (std::vector<UnitValues>{{TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthHalf), 1440, 160, 0},
                                       {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthHalf), 1600, 160, 0},
                                       {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthHalf), 1760, 160, 0}}));
}

TEST(TOVMigrationControllerTest, PlainUnitsAreTimedByTheLegacyLengthsBeforeThem) {
    // Units listed out of order: a quarter, an eighth, an eighth rest from x = 8; a lone half note at 24;
    // a unit of a kind the current model does not know.
    const auto imported = importObjects(songWith({
        note("n1", 8),
        unit("u2", "n1", 0x204, 2),
        unit("u0", "n1", 0x108, 0),
        unit("u1", "n1", 0x104, 1),
        tone("a0", "u0", 1),
        tone("a1", "u1", 1),
        note("n2", 24),
        unit("h0", "n2", 0x110, 0),
        tone("g0", "h0", 1),
        note("n3", 56),
        unit("k0", "n3", 0x604, 0),
    }));
    ASSERT_TRUE(imported);
    EXPECT_EQ(valuesOf(unitsOfNoteAt(*imported, 240)),
              (std::vector<UnitValues>{{TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter), 240, 240, 1},
                                       {TOVUnitTypeOf(TOVUnitGroupNote, TOVLength8th), 480, 120, 3},
                                       {TOVUnitTypeOf(TOVUnitGroupRest, TOVLength8th), 600, 120, 2}}));
    EXPECT_EQ(valuesOf(unitsOfNoteAt(*imported, 720)),
              (std::vector<UnitValues>{{TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthHalf), 720, 480, 0}}));
    EXPECT_EQ(valuesOf(unitsOfNoteAt(*imported, 1680)), (std::vector<UnitValues>{{0, 1680, 120, 0}}));
}

TEST(TOVMigrationControllerTest, ChordsAreTimedByTheSlotsOfTheTupletTheyStandOver) {
    const auto imported = importObjects(songWith({
        note("n1", 16),
        unit("t0", "n1", 0x308, 0),
        unit("t1", "n1", 0x308, 1),
        unit("t2", "n1", 0x308, 2),
        note("n2", 0),
        unit("s0", "n2", 0x410, 0),
        unit("s1", "n2", 0x410, 1),
        note("n3", 32),
        unit("p0", "n3", 0x108, 0),
        chord("c1", 16, 2),
        chord("c2", 16, 0),
        chord("c3", 0, 3),
        chord("c4", 32, 1),
        chord("c5", 40, 2),
        object("CHORD", "c6")
            .attr("type", "int32", std::to_string(TOVSymbolChord))
            .toOne("barOfChord", "BAR", "b0"),
    }));
    ASSERT_TRUE(imported);
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::uint64_t> timings;
    for (const Chord* c : imported->document->barFromNumberLower(0, false)->chords()) {
        timings[{c->index(), c->order()}] = c->timing();
    }
    const std::map<std::pair<std::uint64_t, std::uint64_t>, std::uint64_t> expected = {
        {{16, 2}, 640},                 // over a triplet of eighths: 16 * 30 + 2 * 80
        {{16, 0}, 480},  {{0, 3}, 240}, // over a sextuplet spanning a half note: 3 * 80
        {{32, 1}, 1000},                // over a plain note: 32 * 30 + 40
        {{40, 2}, 1280},                // over no note: 40 * 30 + 2 * 40
        {{0, 0}, 0},                    // no index or order stored
    };
    EXPECT_EQ(timings, expected);
}

// The plain string of an archived formatted text ("Café!"), as another program's store holds it.
std::string archivedText() {
    const std::vector<std::uint8_t> archive = {4,   11,  's',  't',  'r', 'e',  'a',  'm',  't',  'y',  'p',
                                               'e', 'd', 0x81, 0xE8, 3,   0x84, 1,    '@',  0x84, 0x84, 0x84,
                                               8,   'N', 'S',  'S',  't', 'r',  'i',  'n',  'g',  1,    0x84,
                                               1,   '+', 6,    'C',  'a', 'f',  0xC3, 0xA9, '!',  0x86};
    return platform::base64Encode(archive);
}

// A song as a store of the legacy structure writes it, both sides of every link stated: two pages, the
// second with a double line, bars with symbols, chords and notes, the song header, the chord history and
// a free text on the page.
std::vector<StoreObject> wholeSong() {
    return {
        object("DOCUMENT", "d")
            .attr("barNumberShow", "int64", "2")
            .attr("plugInFontID", "string", "Default")
            .toMany("pages", "PAGE", "p1 p2")
            .toOne("song", "SONG", "s")
            .toMany("chordHistory", "CHORDHISTORY", "h")
            .toMany("symbols", "SYMBOL", "ft"),
        object("SONG", "s")
            .attr("name", "binary", archivedText())
            .attr("composer", "binary", "AAEC")
            .attr("isDoubleRow", "bool", "0")
            .toOne("document", "DOCUMENT", "d"),
        object("CHORDHISTORY", "h")
            .attr("elemStep1", "int32", "4")
            .attr("elemStepBase", "int32", "-1")
            .attr("index", "int64", "1")
            .toOne("document", "DOCUMENT", "d"),
        object("SYMBOLTEXT", "ft")
            .attr("type", "int32", std::to_string(TOVToolFreeText))
            .attr("frame", "string", "{{20, 30}, {100, 20}}")
            .attr("text", "binary", archivedText())
            .toOne("document", "DOCUMENT", "d"),
        object("PAGE", "p1")
            .attr("num", "int64", "0")
            .attr("aPage", "int64", "10")
            .toMany("lines", "LINE", "l0 l1")
            .toOne("document", "DOCUMENT", "d"),
        object("PAGE", "p2")
            .attr("num", "int64", "1")
            .attr("aPage", "int64", "10")
            .toMany("lines", "LINE", "l2")
            .toOne("document", "DOCUMENT", "d"),
        object("LINE", "l0").attr("partition", "int64", "0").toOne("page", "PAGE", "p1"),
        object("LINE", "l1")
            .attr("partition", "int64", "2")
            .attr("firstBarLineType", "int32", std::to_string(TOVBarlineSingle))
            .toOne("page", "PAGE", "p1")
            .toMany("bars", "BAR", "b0 b1"),
        object("LINE", "l2")
            .attr("partition", "int64", "1")
            .toOne("page", "PAGE", "p2")
            .toOne("lower", "LINE", "l3")
            .toMany("bars", "BAR", "b2"),
        object("LINE", "l3")
            .attr("partition", "int64", "1")
            .toOne("upper", "LINE", "l2")
            .toMany("bars", "BAR", "b3"),
        object("BAR", "b0")
            .attr("num", "int64", "0")
            .attr("clefType", "int32", "0")
            .attr("keyType", "int32", "4")
            .attr("timeType", "int32", "0")
            .attr("width", "float", "260")
            .toOne("line", "LINE", "l1")
            .toMany("symbols", "SYMBOL", "y0 y1")
            .toMany("chords", "CHORD", "c0")
            .toMany("notes", "NOTE", "n0"),
        object("BAR", "b1")
            .attr("num", "int64", "1")
            .attr("barLineType", "int32", std::to_string(TOVBarlineGreatDouble))
            .attr("width", "float", "260")
            .toOne("line", "LINE", "l1"),
        object("BAR", "b2")
            .attr("num", "int64", "2")
            .toOne("line", "LINE", "l2")
            .toMany("chords", "CHORD", "c1"),
        object("BAR", "b3")
            .attr("num", "int64", "2")
            .attr("clefType", "int32", "1")
            .toOne("line", "LINE", "l3"),
        object("SYMBOLTEMPO", "y0")
            .attr("type", "int32", std::to_string(TOVSymbolRit))
            .attr("frame", "string", "{{5, -30}, {40, 12}}")
            .attr("speed", "int64", "96")
            .toOne("bar", "BAR", "b0"),
        object("SYMBOLREPEAT", "y1")
            .attr("type", "int32", std::to_string(TOVSymbolDaCapo))
            .attr("frame", "string", "{{0, 0}, {10, 40}}")
            .attr("repeatIDString", "string", "r1")
            .toOne("bar", "BAR", "b0"),
        object("CHORD", "c0")
            .attr("type", "int32", std::to_string(TOVSymbolChord))
            .attr("frame", "string", "{{10, -20}, {30, 15}}")
            .attr("scale", "float", "0.75")
            .attr("elemStep1", "int32", "4")
            .attr("elemStep2", "int32", "7")
            .attr("elemStepBase", "int32", "-1")
            .attr("index", "int64", "8")
            .attr("order", "int64", "1")
            .toOne("barOfChord", "BAR", "b0"),
        object("CHORD", "c1")
            .attr("type", "int32", std::to_string(TOVSymbolChord))
            .attr("index", "int64", "4")
            .attr("order", "int64", "0")
            .toOne("barOfChord", "BAR", "b2"),
        object("NOTE", "n0")
            .attr("type", "int32", std::to_string(TOVSymbolNote))
            .attr("x", "int64", "8")
            .attr("heightLeft", "float", "12")
            .toOne("barOfNote", "BAR", "b0")
            .toMany("units", "NOTEUNIT", "u0 u1 u2"),
        object("NOTEUNIT", "u0")
            .attr("type", "int64", "776")
            .attr("order", "int64", "0")
            .toOne("note", "NOTE", "n0")
            .toMany("tones", "NOTETONE", "t0"),
        object("NOTEUNIT", "u1")
            .attr("type", "int64", "776")
            .attr("order", "int64", "1")
            .toOne("note", "NOTE", "n0")
            .toMany("tones", "NOTETONE", "t1"),
        object("NOTEUNIT", "u2")
            .attr("type", "int64", "776")
            .attr("order", "int64", "2")
            .toOne("note", "NOTE", "n0")
            .toMany("tones", "NOTETONE", "t2"),
        object("NOTETONE", "t0").attr("level", "int64", "-2").toOne("unit", "NOTEUNIT", "u0"),
        object("NOTETONE", "t1")
            .attr("level", "int64", "0")
            .attr("head", "int32", "1")
            .toOne("unit", "NOTEUNIT", "u1"),
        object("NOTETONE", "t2").attr("level", "int64", "2").toOne("unit", "NOTEUNIT", "u2"),
    };
}

// The dump writes codes as numbers; an expected dump names each code as {Name}, and this writes the numbers
// in its place.
std::string withCodes(std::string text, const std::map<std::string, std::int64_t>& codes) {
    for (const auto& [name, code] : codes) {
        const std::string mark = "{" + name + "}";
        for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
            text.replace(at, mark.size(), std::to_string(code));
        }
    }
    return text;
}

TEST(TOVMigrationControllerTest, AWholeSongArrivesWithEveryObjectValueAndLink) {
    TOVMigrationController controller;
    const auto imported = importText(controller, storeText(wholeSong()));
    ASSERT_TRUE(imported) << controller.failureReason();
    EXPECT_EQ(controller.schemaName(), "legacy rhythm");
    EXPECT_FALSE(imported->context->undoManager().canUndo());
    EXPECT_TRUE(imported->context->undoManager().isUndoRegistrationEnabled());
    // The triplet of eighths at x = 8 has its slots at 240, 320, 400 (units sorted as text); the chord at
    // index 8, order 1 stands on its second slot. The double line moves up onto the first page, which has
    // room for it (a song file keeps no page breaks), and the page it leaves goes.
    EXPECT_EQ(TOVDocumentDump::dumpDocument(imported->document),
              withCodes(R"(Document barNumberShow=2 plugInFontID="Default" plugInFontName="Default"
  Song name=text("Café!", 430722dc8bbdb8b9) producer=- arranger=- composer=text("", fa3c43cf0bc8520e) writer=- isDoubleRow=NO
  ChordHistory elemStep1=4 elemStep2=- elemStep3=- elemStepBase=-1 index=1
  Page num=0 aPage=10
    Line partition=0 firstBarLineType=-
    Line partition=2 firstBarLineType={TOVBarlineSingle}
      Bar num=0 barLineType=- clefType=0 keyType=4 timeType=0 width=260 height=- longRest=-
        SymbolRepeat type={TOVSymbolDaCapo} frame="{{0, 0}, {10, 40}}" flip=- angle=- scale=- repeatIDString="r1"
        SymbolTempo type={TOVSymbolRit} frame="{{5, -30}, {40, 12}}" flip=- angle=- scale=- speed=96
        Chord type={TOVSymbolChord} frame="{{10, -20}, {30, 15}}" flip=- angle=- scale=0.75 elemStep1=4 elemStep2=7 elemStep3=- elemStepBase=-1 timing=320 index=8 order=1
        Note type={TOVSymbolNote} frame=- flip=- angle=- scale=- heightLeft=12 heightRight=-
          NoteUnit type={TripletOfEighths} beam=1 timing=240 duration=80
            NoteTone level=-2 slash=- head=- tieRight=- tieLeft=-
          NoteUnit type={TripletOfEighths} beam=2 timing=400 duration=80
            NoteTone level=2 slash=- head=- tieRight=- tieLeft=-
          NoteUnit type={TripletOfEighths} beam=3 timing=320 duration=80
            NoteTone level=0 slash=- head=1 tieRight=- tieLeft=-
      Bar num=1 barLineType={TOVBarlineGreatDouble} clefType=- keyType=- timeType=- width=260 height=- longRest=-
    Line partition=1 firstBarLineType=-
      Bar num=2 barLineType=- clefType=- keyType=- timeType=- width=- height=- longRest=-
        Chord type={TOVSymbolChord} frame=- flip=- angle=- scale=- elemStep1=- elemStep2=- elemStep3=- elemStepBase=- timing=120 index=4 order=0
      lower Line partition=1 firstBarLineType=-
        Bar num=2 barLineType=- clefType=1 keyType=- timeType=- width=- height=- longRest=-
  Document symbols
    SymbolText type={TOVToolFreeText} frame="{{20, 30}, {100, 20}}" flip=- angle=- scale=- frameRelativeToBar=- text=text("Café!", 430722dc8bbdb8b9) barFollowsTo=-
Objects Bar=4 Chord=2 ChordHistory=1 Document=1 Line=4 Note=1 NoteTone=3 NoteUnit=3 Page=1 Song=1 SymbolRepeat=1 SymbolTempo=1 SymbolText=1
)",
                        {{"TOVBarlineSingle", TOVBarlineSingle},
                         {"TOVBarlineGreatDouble", TOVBarlineGreatDouble},
                         {"TOVSymbolDaCapo", TOVSymbolDaCapo},
                         {"TOVSymbolRit", TOVSymbolRit},
                         {"TOVSymbolChord", TOVSymbolChord},
                         {"TOVSymbolNote", TOVSymbolNote},
                         {"TripletOfEighths", TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter)},
                         {"TOVToolFreeText", TOVToolFreeText}}));
}

TEST(TOVMigrationControllerTest, ArchivedTextsComeInAsTheirPlainStringOrEmpty) {
    const auto imported = importObjects(wholeSong());
    ASSERT_TRUE(imported);
    const Song* song = imported->document->song();
    ASSERT_TRUE(song->name());
    EXPECT_EQ(song->name()->string(), QString::fromUtf8("Café!"));
    ASSERT_TRUE(song->composer()); // bytes that are no archive: an empty text, and the import goes on
    EXPECT_TRUE(song->composer()->isEmpty());
    EXPECT_FALSE(song->producer()); // nothing stored stays nothing
    const auto* text = dynamic_cast<const SymbolText*>(imported->document->symbols().front());
    ASSERT_TRUE(text && text->text());
    EXPECT_EQ(text->text()->string(), QString::fromUtf8("Café!"));
}

TEST(TOVMigrationControllerTest, AStoreOfTheCurrentStructureIsTakenAsItStands) {
    const auto imported = importObjects(songWith({
        object("NOTE", "n1")
            .attr("type", "int32", std::to_string(TOVSymbolNote))
            .toOne("barOfNote", "BAR", "b0"),
        object("NOTEUNIT", "u0")
            .attr("type", "int64", std::to_string(TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter)))
            .attr("timing", "int64", "480")
            .attr("duration", "int64", "80")
            .attr("beam", "int32", "1")
            .toOne("note", "NOTE", "n1"),
        object("CHORD", "c1")
            .attr("type", "int32", std::to_string(TOVSymbolChord))
            .attr("index", "int64", "16")
            .attr("order", "int64", "2")
            .attr("timing", "int64", "999")
            .toOne("barOfChord", "BAR", "b0"),
    }));
    ASSERT_TRUE(imported);
    const Bar* bar = imported->document->barFromNumberLower(0, false);
    EXPECT_EQ(valuesOf(bar->notes().front()->unitArray()),
              (std::vector<UnitValues>{{TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter), 480, 80, 1}}));
    EXPECT_EQ(bar->chords().front()->timing(), 999u);
}

TEST(TOVMigrationControllerTest, UnknownStructuresAndBrokenStoresFailCleanly) {
    const std::string whole = storeText(songWith({}));
    auto withBar = [](StoreObject bar) {
        auto objects = songWith({});
        objects[4] = std::move(bar);
        return storeText(objects);
    };
    const std::string unknown =
        "The file was written by a version of the program whose songs cannot be converted.";
    const std::string broken = "The file is damaged or is not a song file.";
    const struct {
        const char* what;
        std::string text;
        std::string description;
    } cases[] = {
        {"an entity of another name", storeText(songWith({object("ORCHESTRA", "o")})), unknown},
        {"an attribute of another name",
         withBar(object("BAR", "b0").attr("num", "int64", "0").attr("colour", "string", "red")), unknown},
        {"a text where a number belongs", withBar(object("BAR", "b0").attr("num", "string", "zero")),
         unknown},
        {"a to-one where a to-many belongs",
         storeText(songWith({object("DOCUMENT", "d2").toOne("pages", "PAGE", "p")})), unknown},
        {"a link to an object of another entity",
         withBar(object("BAR", "b0").attr("num", "int64", "0").toOne("line", "LINE", "p")), unknown},
        {"both legacy and current rhythm values",
         storeText(songWith({note("n", 0), unit("u", "n", 0x108, 0).attr("beam", "int32", "1")})), unknown},
        {"cut short", whole.substr(0, whole.size() / 2), broken},
        {"cut at the last tag", whole.substr(0, whole.rfind("</database>")), broken},
        {"empty", "", broken},
        {"not XML", "PK\x03\x04 not a store", broken},
        {"no song", storeText({object("PAGE", "p")}), broken},
        {"two songs", storeText(songWith({object("DOCUMENT", "d2")})), broken},
        {"links that contradict each other",
         storeText(
             songWith({object("BAR", "b9").attr("num", "int64", "1").toOne("line", "LINE", "l1"),
                       object("LINE", "l9").attr("partition", "int64", "4").toMany("bars", "BAR", "b9")})),
         broken},
        {"bars numbered with a gap",
         withBar(object("BAR", "b0").attr("num", "int64", "3").toOne("line", "LINE", "l1")), broken},
        {"a width that is no number",
         withBar(object("BAR", "b0")
                     .attr("num", "int64", "0")
                     .attr("width", "float", "1e39")
                     .toOne("line", "LINE", "l1")),
         broken},
        {"a lower line that is also on a page",
         storeText(songWith({object("LINE", "l9")
                                 .attr("partition", "int64", "0")
                                 .toOne("upper", "LINE", "l1")
                                 .toOne("page", "PAGE", "p")})),
         broken},
        {"a line that is its own lower line",
         storeText(
             songWith({object("LINE", "l9").attr("partition", "int64", "1").toOne("lower", "LINE", "l9")})),
         broken},
        {"more bars than the line's partition",
         storeText(songWith({object("BAR", "b1").attr("num", "int64", "1").toOne("line", "LINE", "l1"),
                             object("BAR", "b2").attr("num", "int64", "2").toOne("line", "LINE", "l1"),
                             object("BAR", "b3").attr("num", "int64", "3").toOne("line", "LINE", "l1"),
                             object("BAR", "b4").attr("num", "int64", "4").toOne("line", "LINE", "l1")})),
         broken},
        {"a first page without the bar-less line",
         storeText(std::vector<StoreObject>{songWith({})[0], songWith({})[1], songWith({})[3]}), broken},
        {"more lines than the page has room for",
         [] {
             auto objects = songWith({});
             objects[1] = object("PAGE", "p").attr("aPage", "int64", "1").toOne("document", "DOCUMENT", "d");
             return storeText(objects);
         }(),
         broken},
    };
    for (const auto& c : cases) {
        TOVMigrationController controller;
        EXPECT_FALSE(importText(controller, c.text)) << c.what;
        EXPECT_EQ(controller.errorDescription(), c.description)
            << c.what << ": " << controller.failureReason();
        EXPECT_FALSE(controller.failureReason().empty()) << c.what;
        EXPECT_TRUE(controller.schemaName().empty()) << c.what;
    }
}

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(TOVMigrationControllerTest, TheStoreFileIsOnlyRead) {
    TempDir dir;
    const std::string song = storeText(wholeSong());
    const std::string foreign = storeText(songWith({object("ORCHESTRA", "o")}));
    for (const std::string* text : {&song, &foreign}) {
        const auto path = dir.write("song.tovr", *text);
        std::filesystem::permissions(path, std::filesystem::perms::owner_read);
        const auto written = std::filesystem::last_write_time(path);
        TOVMigrationController controller;
        const auto imported = controller.importStoreAtURL(path);
        EXPECT_EQ(imported.has_value(), text == &song);
        EXPECT_EQ(contentsOf(path), *text);
        EXPECT_EQ(std::filesystem::last_write_time(path), written);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
    TOVMigrationController controller;
    EXPECT_FALSE(controller.importStoreAtURL(dir / "missing.tovr"));
    EXPECT_EQ(controller.errorDescription(), "The file is damaged or is not a song file.");
}

TEST(TOVMigrationControllerTest, AnImportedSongSavesAndReadsBackAsTheSameSong) {
    const auto imported = importObjects(wholeSong());
    ASSERT_TRUE(imported);
    const auto saved = TOVDocumentParser().tovzDataFromDocument(imported->document);
    ASSERT_TRUE(saved);
    platform::ManagedObjectContext context(TOVManagedObjectModel::sharedModel());
    context.undoManager().disableUndoRegistration();
    auto* document = context.insertNewObject<Document>("Document");
    context.processPendingChanges();
    TOVDocumentParser parser;
    ASSERT_TRUE(parser.loadTOVZDocumentFromDataToDocument(*saved, document)) << parser.failureReason();
    // The file lays the lines out on its pages anew; every object comes back.
    EXPECT_EQ(TOVDocumentDump::countObjects(context), TOVDocumentDump::countObjects(*imported->context));
}

// What a song file keeps of a song, as text: its layout (pages, lines, bar numbers), and per bar its
// chords (timing and chord) and its notes' units (timing, duration, type, beam, tone levels).
std::string songAsTheFileKeepsIt(const Document* document) {
    std::string out = tovtest::layoutSummary(document) + "\n";
    for (std::uint64_t num = 0;; ++num) {
        const Bar* bar = document->barFromNumberLower(num, false);
        if (bar == nullptr) {
            break;
        }
        std::vector<std::string> items;
        for (const Chord* c : bar->chordArray()) {
            const TOVChordElems e = c->chordElems();
            // A bass note outside the seventeen pitches is none, however it is stored (-1 or 17).
            const bool bass = e.elemStepBase >= 0 && e.elemStepBase < 17;
            items.push_back("chord " + std::to_string(c->timing()) + " " + std::to_string(e.elemStep1) + "/" +
                            std::to_string(e.elemStep2) + "/" +
                            (bass ? std::to_string(e.elemStepBase) : std::string("none")));
        }
        for (const Note* n : bar->noteArray()) {
            std::string note = "note";
            for (const NoteUnit* u : n->unitArray()) {
                note += " [" + std::to_string(u->timing()) + "+" + std::to_string(u->duration()) + " type " +
                        std::to_string(u->type()) + " beam " + std::to_string(u->beam());
                for (const NoteTone* t : u->toneArray()) {
                    note += " " + std::to_string(t->level());
                }
                note += "]";
            }
            items.push_back(note);
        }
        std::sort(items.begin(), items.end());
        out += "bar " + std::to_string(num) + ":";
        for (const std::string& item : items) {
            out += " " + item;
        }
        out += "\n";
    }
    return out;
}

struct Reloaded {
    std::unique_ptr<platform::ManagedObjectContext> context =
        std::make_unique<platform::ManagedObjectContext>(TOVManagedObjectModel::sharedModel());
    Document* document = nullptr;
};

// Saves the song as a song file and reads it into a fresh context, as reopening the saved file does.
std::optional<Reloaded> saveAndReopen(const Document* song) {
    TOVDocumentParser writer;
    const auto saved = writer.tovzDataFromDocument(song);
    EXPECT_TRUE(saved) << writer.failureReason();
    if (!saved) {
        return std::nullopt;
    }
    Reloaded reloaded;
    reloaded.context->undoManager().disableUndoRegistration();
    reloaded.document = reloaded.context->insertNewObject<Document>("Document");
    reloaded.context->processPendingChanges();
    TOVDocumentParser reader;
    const bool loaded = reader.loadTOVZDocumentFromDataToDocument(*saved, reloaded.document);
    EXPECT_TRUE(loaded) << reader.failureReason();
    if (!loaded) {
        return std::nullopt;
    }
    return reloaded;
}

// A song of one page: the bar-less line and lines of the given partitions holding the given numbers of
// bars, numbered in walk order.
std::vector<StoreObject> songOfLines(const std::vector<std::pair<int, int>>& lines, int aPage = 10) {
    std::vector<StoreObject> objects = {
        object("DOCUMENT", "d").attr("barNumberShow", "int64", "1"),
        object("PAGE", "p")
            .attr("num", "int64", "0")
            .attr("aPage", "int64", std::to_string(aPage))
            .toOne("document", "DOCUMENT", "d"),
        object("LINE", "l0").attr("partition", "int64", "0").toOne("page", "PAGE", "p"),
    };
    int num = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = "l" + std::to_string(i + 1);
        objects.push_back(object("LINE", line)
                              .attr("partition", "int64", std::to_string(lines[i].first))
                              .toOne("page", "PAGE", "p"));
        for (int b = 0; b < lines[i].second; ++b, ++num) {
            objects.push_back(object("BAR", "b" + std::to_string(num))
                                  .attr("num", "int64", std::to_string(num))
                                  .toOne("line", "LINE", line));
        }
    }
    return objects;
}

// Every legacy song either imports, saves and reads back as the same song, or is refused with a reason:
// the song file's rules (line slots of a page, bars of a line, lines cut by partition, notes made of units)
// are applied at import, not discovered at the first reopening.
TEST(TOVMigrationControllerTest, AnImportedSongSavesAndReadsBackTheSameOrIsRefused) {
    struct Case {
        const char* what;
        std::vector<StoreObject> objects;
        const char* refusal; // nullptr: imports and reads back the same
    };
    std::vector<StoreObject> mixedTriplet = songWith({
        // A triplet of an eighth and a quarter (slots of 80 and 160 ticks) at x = 8, its units listed out of
        // order, and a chord on its second slot: the slot is the first unit's, by order.
        note("n1", 8),
        unit("t1", "n1", 0x310, 1),
        unit("t0", "n1", 0x308, 0),
        tone("a0", "t0", 1),
        tone("a1", "t1", 2),
        chord("c1", 8, 1),
    });
    const Case cases[] = {
        {"a whole song", wholeSong(), nullptr},
        {"lines of two, four and one bars", songOfLines({{2, 2}, {4, 4}, {4, 1}}), nullptr},
        {"a chord over a mixed-length triplet", mixedTriplet, nullptr},
        {"levels of +-10^7",
         songWith({note("n1", 0), unit("u0", "n1", 0x108, 0), tone("a0", "u0", 10000000),
                   tone("a1", "u0", -10000000)}),
         nullptr},
        {"a note without units", songWith({note("n1", 0)}), "a note has no units"},
        {"a unit without a note",
         songWith({object("NOTEUNIT", "u0").attr("type", "int64", "264").attr("order", "int64", "0")}),
         "a note unit belongs to no note"},
        {"a 13-slot page", songOfLines({{4, 4}}, 13), "13 line slots"},
        {"a 7-slot page", songOfLines({{4, 4}}, 7), "7 line slots"},
        {"a short middle line", songOfLines({{4, 4}, {4, 3}, {4, 4}}), "fewer bars than its partition"},
        {"an empty middle line", songOfLines({{4, 4}, {4, 0}, {4, 4}}), "fewer bars than its partition"},
        {"a partition of 9", songOfLines({{9, 9}}), "more bars than a line holds"},
        {"a partition of 0", songOfLines({{4, 4}, {0, 0}}), "divided into no bars"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TOVMigrationController controller;
        const auto imported = importText(controller, storeText(c.objects));
        if (c.refusal != nullptr) {
            EXPECT_FALSE(imported);
            EXPECT_NE(controller.failureReason().find(c.refusal), std::string::npos)
                << controller.failureReason();
            EXPECT_FALSE(controller.errorDescription().empty());
            continue;
        }
        ASSERT_TRUE(imported) << controller.failureReason();
        const auto reopened = saveAndReopen(imported->document);
        ASSERT_TRUE(reopened);
        EXPECT_EQ(songAsTheFileKeepsIt(reopened->document), songAsTheFileKeepsIt(imported->document));
        // And the reopened song saves into the same song again.
        const auto again = saveAndReopen(reopened->document);
        ASSERT_TRUE(again);
        EXPECT_EQ(TOVDocumentDump::dumpDocument(again->document),
                  TOVDocumentDump::dumpDocument(reopened->document));
    }
}

TEST(TOVMigrationControllerTest, ImportedLevelsAndChordSlotsFollowTheSongFileRules) {
    const auto levels = importObjects(songWith({note("n1", 0), unit("u0", "n1", 0x108, 0),
                                                tone("a0", "u0", 10000000), tone("a1", "u0", -10000000)}));
    ASSERT_TRUE(levels);
    std::vector<std::int64_t> read;
    for (const NoteTone* tone : unitsOfNoteAt(*levels, 0).front()->toneArray()) {
        read.push_back(tone->level());
    }
    EXPECT_EQ(read, (std::vector<std::int64_t>{NoteTone::maxDrawableLevel, -NoteTone::maxDrawableLevel}));

    // The chord's order counts in the slots of the triplet's first unit by order (an eighth: 80 ticks),
    // not in those of the unit the store lists first (a quarter: 160).
    const auto triplet = importObjects(
        songWith({note("n1", 8), unit("t1", "n1", 0x310, 1), unit("t0", "n1", 0x308, 0), chord("c1", 8, 1)}));
    ASSERT_TRUE(triplet);
    const std::vector<Chord*> chords = triplet->document->barFromNumberLower(0, false)->chordArray();
    ASSERT_EQ(chords.size(), 1u);
    EXPECT_EQ(chords[0]->timing(), 8u * 30 + 80);
}

} // namespace
