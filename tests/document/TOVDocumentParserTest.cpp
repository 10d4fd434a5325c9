#include "document/TOVDocumentParser.h"

#include "document/TOVDocumentDump.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/ChordHistory.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/TOVChordMeasuring.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/TOVUtils.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/Gzip.h"
#include "platform/foundation/Numbers.h"
#include "platform/foundation/XmlDocument.h"
#include "platform/graphics/Font.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>

#include <csignal>
#include <map>
#include <string>
#include <sys/resource.h>
#include <vector>

using namespace tovtest;
using namespace TOVDocumentDump;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The fonts of the machine, as the application registers them.
void useInstalledFonts() {
    TOVDocumentParser::setFontLookup(
        {[](const QString& name, double size) -> std::optional<platform::TextFont> {
             std::optional<platform::Font> font = platform::Font::named(name, size);
             if (!font) {
                 return std::nullopt;
             }
             return platform::TextFont{font->fontName(), size};
         },
         [](double size) {
             return platform::TextFont{platform::Font::userFont(size).fontName(), size};
         }});
}

// A position that survives the file's number form unchanged.
double exact(int staffSpaces) {
    return static_cast<double>(static_cast<float>(staffSpaces)) * TOVStaffSpace;
}

platform::AttributedString credit(const char* text, double size = 12) {
    platform::TextAttributes attributes;
    attributes.font = platform::TextFont{platform::Font::named("DejaVu Sans", size)->fontName(), size};
    attributes.foregroundColor = platform::Color::fromRGB(1, 0, 0);
    attributes.underlineStyle = 1;
    platform::TextAttributes bold = attributes;
    bold.font = platform::TextFont{platform::Font::named("DejaVuSans-Bold", size)->fontName(), size};
    bold.strikethroughStyle = 2;
    return platform::AttributedString::Builder()
        .append(QString::fromUtf8(text), attributes)
        .append(QStringLiteral(" \u00e9t\u00e9"), bold)
        .build();
}

// What the document does after a load: ties the file marked are made.
void completeTies(Document* document) {
    for (Page* page : document->pageArray()) {
        for (Line* upper : page->lineArray()) {
            std::vector<Bar*> bars = upper->barArray();
            if (const Line* lower = upper->lower()) {
                const std::vector<Bar*> twins = lower->barArray();
                bars.insert(bars.end(), twins.begin(), twins.end());
            }
            for (Bar* bar : bars) {
                for (Note* note : bar->noteArray()) {
                    for (NoteUnit* unit : note->unitArray()) {
                        for (NoteTone* tone : unit->toneArray()) {
                            if (tone->needCreateTie()) {
                                tone->createNewTie();
                                tone->setNeedCreateTie(false);
                            }
                        }
                    }
                }
            }
        }
    }
    document->managedObjectContext()->processPendingChanges();
}

struct Loaded {
    std::unique_ptr<platform::ManagedObjectContext> context = makeSongContext();
    Document* document = context->insertNewObject<Document>("Document");
    TOVDocumentParser parser;
    bool ok = false;
};

std::unique_ptr<Loaded> load(const Bytes& data) {
    auto loaded = std::make_unique<Loaded>();
    loaded->ok = loaded->parser.loadTOVZDocumentFromDataToDocument(data, loaded->document);
    return loaded;
}

Bytes gzipped(const std::string& xml) {
    return *platform::gzipDeflate(std::span(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()));
}

std::unique_ptr<Loaded> loadXml(const std::string& xml) {
    return load(gzipped(xml));
}

// The first line where two texts differ, for a readable failure.
std::string firstDifference(const std::string& a, const std::string& b) {
    std::size_t start = 0;
    while (start < a.size() && start < b.size()) {
        const std::size_t endA = a.find('\n', start);
        const std::size_t endB = b.find('\n', start);
        if (a.compare(start, endA - start, b, start, endB - start) != 0) {
            return a.substr(start, endA - start) + "\n" + b.substr(start, endB - start);
        }
        if (endA == std::string::npos || endB == std::string::npos) {
            break;
        }
        start = endA + 1;
    }
    return a.size() == b.size() ? std::string() : "(lengths differ)";
}

std::string xmlOf(const Bytes& data) {
    const Bytes text = *platform::gzipInflate(data, 1 << 26);
    return std::string(text.begin(), text.end());
}

// Every symbol code a bar can hold, category by category. The long rest (TOVSymbolLongRest) is left out: the
// file keeps it as the bar's "long-rest", never as a symbol.
std::vector<int> barSymbolCodes() {
    struct Range {
        int first;
        int last;
    };
    const Range ranges[] = {
        {TOVSymbolMarkIntro, TOVSymbolMarkIntro},     {TOVSymbolDaCapo, TOVSymbolRepeatPrevBar4},
        {TOVSymbolDynamicsFFF, TOVSymbolDecrescendo}, {TOVSymbolOctave8va, TOVSymbolOctave15maBassa},
        {TOVSymbolRit, TOVSymbolShuffle16},           {TOVSymbolPush8, TOVSymbolPush16}};
    std::vector<int> codes;
    for (const Range& range : ranges) {
        for (int code = range.first; code <= range.last; ++code) {
            if (code != TOVSymbolLongRest) {
                codes.push_back(code);
            }
        }
    }
    return codes;
}

// The reader makes a bar's symbols in one pass per element name; built in that order, a second save
// writes them in the same order.
int readingPass(int code) {
    if (code == TOVSymbolMarkIntro) {
        return 0; // "text-symbol"
    }
    if (code >= TOVSymbolDaCapo && code <= TOVSymbolSegno) {
        return 1; // "repeat-with-id"
    }
    if (code == TOVSymbolRepeatTimes) {
        return 2; // "repeat-times"
    }
    if (code == TOVSymbolVoltaBegin || code == TOVSymbolVoltaEnd) {
        return 3; // "volta"
    }
    if (code == TOVSymbolBisBegin || code == TOVSymbolBisEnd) {
        return 4; // "bis"
    }
    return code == TOVSymbolTempoSpeed ? 5 : 6; // "speed", then every plain "symbol"
}

// A song with every kind of content the file holds, built as the file can hold it: the first page is full,
// since the reader fills each page before it starts the next, and symbols drawn in proportion have no
// size, since the file stores their initial size times their scale and a symbol built here has no
// initial size.
struct RichSong {
    std::unique_ptr<platform::ManagedObjectContext> context = makeSongContext();
    Document* d = context->insertNewObject<Document>("Document");

    RichSong() {
        d->setPlugInFontID("Default");
        d->setPlugInFontName("Default");
        Song* song = d->createNewSong();
        song->setIsDoubleRow(true);
        song->setName(credit("Autumn", 24));
        song->setProducer(credit("Maker", 9));
        song->setArranger(credit("Setter", 11));
        song->setComposer(credit("Someone", 10));
        song->setWriter(credit("Poet", 10));
        int k = 0;
        for (int quality : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12}) {
            d->createNewChordHistoryWithElemsIndex(TOVChordElems::fromCodes(k % 17, quality, 70, 17), k);
            ++k;
        }
        for (int tension : {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18,
                            20, 21, 22, 24, 25, 28, 29, 31, 32, 35, 36, 38, 39, 43, 45, 50, 52, 59, 66}) {
            d->createNewChordHistoryWithElemsIndex(TOVChordElems::fromCodes(k % 17, 3, tension, (k + 3) % 18),
                                                   k);
            ++k;
        }
        // Eight slots on the first page: the title, a double line and five single lines.
        Page* page = d->createNewPageWithNumberAPage(0, 8);
        page->createNewLineWithPartitionFirstBarlineType(0, 0);
        Line* doubleLine = page->createNewLineWithPartitionFirstBarlineType(4, TOVBarlineRepeatForward);
        Line* single = page->createNewLineWithPartitionFirstBarlineType(3, TOVBarlineSingle);
        std::vector<Line*> signatureLines;
        for (int i = 0; i < 4; ++i) {
            signatureLines.push_back(
                page->createNewLineWithPartitionFirstBarlineType(4, TOVBarlineDotted + i));
        }
        Page* second = d->createNewPageWithNumberAPage(1, 12);
        Line* last = second->createNewLineWithPartitionFirstBarlineType(2, TOVBarlineTransparent);
        std::uint64_t num = 0;
        for (int i = 0; i < 4; ++i) {
            doubleLine->createNewBarWithNumberWidthBarlineType(num++, 130.0, TOVBarlineSingle + i);
        }
        doubleLine->createLowerLineWithCreateEmptyBars(true);
        for (int i = 0; i < 3; ++i) {
            single->createNewBarWithNumberWidthBarlineType(num++, i == 0 ? 0 : 260.0,
                                                           TOVBarlineRepeatForward + i);
        }
        int barline = 0;
        for (Line* line : signatureLines) {
            for (int i = 0; i < 4; ++i) {
                line->createNewBarWithNumberWidthBarlineType(num++, 130.0, TOVBarlineSingle + barline++ % 8);
            }
        }
        last->createNewBarWithNumberWidthBarlineType(num++, 520.0, TOVBarlineTransparent);
        context->processPendingChanges();

        std::vector<Bar*> bars = doubleLine->barArray();
        Bar* b0 = bars[0];
        b0->setClefType(TOVSymbolClefF);
        b0->setKeyType(TOVSymbolKeyFlat5);
        b0->setTimeType(TOVSymbolTimeCommon);
        fillSymbols(b0);
        fillChords(b0);
        fillNotes(b0);
        Bar* lower0 = doubleLine->lower()->barArray()[0];
        lower0->setClefType(TOVSymbolClefG);
        fillNotes(lower0);
        single->barArray()[1]->setLongRest(12);
        single->barArray()[2]->setTimeType(TOVSymbolTime6_8);
        // Every key and every time signature, one of each per bar.
        int signature = 0;
        for (Line* line : signatureLines) {
            for (Bar* bar : line->barArray()) {
                if (signature < 14) {
                    bar->setKeyType(TOVSymbolKeySharp1 + signature);
                    bar->setTimeType(TOVSymbolTime1_4 + signature);
                }
                ++signature;
            }
        }

        SymbolText* text = d->createNewSymbolTextWithTypeFrame(TOVToolFreeText, {exact(10), exact(-2), 0, 0});
        text->setText(credit("free"));
        SymbolTools* arrow =
            d->createNewSymbolToolsWithTypeFrame(TOVToolArrow, {exact(1), exact(2), exact(3), exact(4)});
        arrow->setAngle(45);
        d->createNewSymbolToolsWithTypeFrame(TOVToolLine, {exact(5), exact(6), exact(7), exact(8)});
        SymbolTools* wave =
            d->createNewSymbolToolsWithTypeFrame(TOVToolWave, {exact(1), exact(1), exact(9), exact(2)});
        wave->setFlip(true);
        wave->setAngle(-12.5);
        context->processPendingChanges();
    }

    void fillSymbols(Bar* b) {
        std::vector<int> codes = barSymbolCodes();
        std::stable_sort(codes.begin(), codes.end(),
                         [](int a, int b) { return readingPass(a) < readingPass(b); });
        const double scales[] = {1.25, 0.5, 2, 1};
        int n = 0;
        for (const int code : codes) {
            const int category = code & TOVSymbolCategoryMask;
            if (code == TOVSymbolMarkIntro) {
                b->createNewSymbolTextWithTypeFrame(code, {exact(1), exact(2), 0, 0})->setText(credit("A"));
                continue;
            }
            const bool bracket =
                code >= TOVSymbolVoltaBegin && code <= TOVSymbolBisEnd; // voltas and bis: no scale
            const bool octave = category == TOVSymbolCategoryOctave;    // octave lines: no scale
            const bool fullFrame =
                bracket || octave || code == TOVSymbolCrescendo || code == TOVSymbolDecrescendo;
            const platform::Rect frame = fullFrame
                                             ? platform::Rect{exact(2), exact(-1), exact(3 + n), exact(1)}
                                             : platform::Rect{exact(2), exact(n % 5), 0, 0};
            Symbol* symbol =
                category == TOVSymbolCategoryRepeat  ? b->createNewSymbolRepeatWithTypeFrame(code, frame)
                : category == TOVSymbolCategoryTempo ? b->createNewSymbolTempoWithTypeFrame(code, frame)
                                                     : b->createNewSymbolWithTypeFrame(code, frame);
            if (!bracket && !octave) {
                symbol->setScale(scales[n % 4]);
            }
            auto* repeat = dynamic_cast<SymbolRepeat*>(symbol);
            if (code == TOVSymbolDaCapo) {
                repeat->setRepeatIDNumber(135);
            } else if (code == TOVSymbolRepeatTimes) {
                repeat->setRepeatIDNumber(3);
            } else if (code == TOVSymbolVoltaBegin) {
                repeat->setRepeatIDString("1.");
            } else if (code == TOVSymbolBisEnd) {
                repeat->setRepeatIDString("3");
            } else if (code == TOVSymbolTempoSpeed) {
                dynamic_cast<SymbolTempo*>(symbol)->setSpeed(120);
            }
            ++n;
        }
    }

    void fillChords(Bar* b) {
        Chord* c = b->createNewChordWithElemsTiming(TOVChordElems::fromCodes(0, 7, 70, 15), 0);
        c->setFrame({exact(1), exact(-3), 0, 0});
        c->setScale(1.25);
        Chord* e = b->createNewChordWithElemsTiming(TOVChordElems::fromCodes(16, 12, 31, 17), 480);
        e->setFrame({exact(9), exact(-3), 0, 0});
        e->setScale(0.75);
    }

    void fillNotes(Bar* b) {
        // A quarter with an accidental, a slur and an articulation and a tie to the next quarter.
        Note* first = b->createNewSingleMeloFromLengthLevel(0, 240, 0);
        NoteTone* tone = first->firstUnit()->toneArray().front();
        tone->createNewAccidentalWithTypeFrame(TOVSymbolFlat, {exact(-1), exact(1), 0, 0});
        SymbolInNote* slur = tone->createNewArticulationWithTypeFrame(
            TOVSymbolSlur, {exact(1), exact(2), exact(10), exact(2)});
        tone->createNewArticulationWithTypeFrame(TOVSymbolStaccato, {exact(0), exact(3), 0, 0});
        slur->setAngle(12.5);
        slur->setFlip(true);
        NoteTone* upper = first->firstUnit()->createNewToneWithLevel(4);
        upper->setHead(1);
        upper->createNewAccidentalWithTypeFrame(TOVSymbolNatural, {exact(-2), exact(1), 0, 0});
        // The other articulations, and a head that is not drawn.
        Note* second = b->createNewSingleMeloFromLengthLevel(240, 240, 0);
        second->setFlip(true);
        NoteTone* held = second->firstUnit()->toneArray().front();
        held->setHead(2);
        for (int type :
             {TOVSymbolTenuto, TOVSymbolFermata, TOVSymbolAccento, TOVSymbolMarcato, TOVSymbolArpeggio}) {
            held->createNewArticulationWithTypeFrame(type, {exact(type - TOVSymbolTenuto), exact(-2), 0, 0});
        }
        context->processPendingChanges();
        tone->createNewTie();
        // A triplet of eighths, beamed.
        Note* triplet = b->createNewTripletFromLengthUnitsLevelKind(480, {80, 80, 80}, -2, 0);
        triplet->setHeightLeft(exact(3));
        triplet->setHeightRight(exact(4));
        // A rest, a slash and a beamed run of three eighths with the remaining accidentals.
        b->createNewSingleRestFromLength(720, 120);
        b->createNewSingleSlashFromLength(840, 120);
        std::vector<Note*> run;
        const int accidentals[] = {TOVSymbolSharp, TOVSymbolDoubleSharp, TOVSymbolDoubleFlat};
        for (int i = 0; i < 3; ++i) {
            run.push_back(b->createNewSingleMeloFromLengthLevel(960 + 120 * i, 120, i));
            run.back()->firstUnit()->toneArray().front()->createNewAccidentalWithTypeFrame(
                accidentals[i], {exact(-1), exact(i), 0, 0});
        }
        context->processPendingChanges();
        Note* beamed = b->makeBeamOn(run);
        beamed->setHeightLeft(exact(2));
        beamed->setHeightRight(exact(5));
        // A sextuplet and a one-beat slash.
        b->createNewBeatSlashFrom(1440);
        b->nextBar()->createNewSextupletFromLengthUnitsLevelKind(0, {40, 40, 40, 40, 40, 40}, 3, 0);
        context->processPendingChanges();
    }
};

std::vector<std::size_t> linesPerPage(const Document* d) {
    std::vector<std::size_t> out;
    for (const Page* page : d->pageArray()) {
        out.push_back(page->lineArray().size());
    }
    return out;
}

// A dump as the file can keep it. Positions and stem heights are stored in staff spaces with six
// significant digits and read back in single precision (15 points come back as 14.99998), so numbers are
// compared to four decimals. A stem direction is always written, so a note whose flip was never set comes
// back with NO, which draws the same. An articulation other than a slur keeps no flip in the file (it is
// drawn by its note's stem direction), so its flip is set aside. Every other difference shows.
std::string asTheFileKeepsIt(const std::string& dump) {
    std::string out;
    std::size_t start = 0;
    while (start < dump.size()) {
        std::size_t end = dump.find('\n', start);
        end = end == std::string::npos ? dump.size() : end + 1;
        std::string line = dump.substr(start, end - start);
        start = end;
        const bool plainArticulation =
            line.find("SymbolInNote type=") != std::string::npos &&
            line.find(" type=" + std::to_string(TOVSymbolSlur) + " ") == std::string::npos;
        for (const char* flag : {" flip=NO ", plainArticulation ? " flip=YES " : nullptr}) {
            if (const std::size_t at = flag ? line.find(flag) : std::string::npos; at != std::string::npos) {
                line.replace(at, std::strlen(flag), " flip=- ");
            }
        }
        std::string rounded;
        for (std::size_t i = 0; i < line.size();) {
            const bool startsNumber =
                std::isdigit(static_cast<unsigned char>(line[i])) &&
                (i == 0 || (!std::isalnum(static_cast<unsigned char>(line[i - 1])) && line[i - 1] != '.'));
            std::size_t j = i;
            while (startsNumber && j < line.size() && std::isdigit(static_cast<unsigned char>(line[j]))) {
                ++j;
            }
            if (startsNumber && j + 1 < line.size() && line[j] == '.' &&
                std::isdigit(static_cast<unsigned char>(line[j + 1]))) {
                for (++j; j < line.size() && std::isdigit(static_cast<unsigned char>(line[j]));) {
                    ++j;
                }
                char text[64];
                std::snprintf(text, sizeof text, "%.4f", std::strtod(line.substr(i, j - i).c_str(), nullptr));
                std::string number = text;
                number.erase(number.find_last_not_of('0') + 1);
                if (number.back() == '.') {
                    number.pop_back();
                }
                rounded += number;
                i = j;
            } else {
                rounded.append(line, i, std::max(j, i + 1) - i);
                i = std::max(j, i + 1);
            }
        }
        out += rounded;
    }
    return out;
}

class DocumentParserTest : public ::testing::Test {
protected:
    void SetUp() override { useInstalledFonts(); }
    void TearDown() override { TOVDocumentParser::setFontLookup({}); }
};

TEST_F(DocumentParserTest, RoundTripWritesTheSameBytesAndDumpsTheSame) {
    RichSong song;
    TOVDocumentParser writer;
    const std::optional<Bytes> first = writer.tovzDataFromDocument(song.d);
    ASSERT_TRUE(first);
    ASSERT_GE(first->size(), 2u);
    EXPECT_EQ((*first)[0], 0x1F);
    EXPECT_EQ((*first)[1], 0x8B);

    auto loaded = load(*first);
    ASSERT_TRUE(loaded->ok);
    completeTies(loaded->document);
    const std::optional<Bytes> second = TOVDocumentParser().tovzDataFromDocument(loaded->document);
    ASSERT_TRUE(second);
    EXPECT_EQ(firstDifference(xmlOf(*first), xmlOf(*second)), "");
    EXPECT_TRUE(*first == *second);

    auto again = load(*second);
    ASSERT_TRUE(again->ok);
    completeTies(again->document);
    EXPECT_EQ(firstDifference(dumpDocument(loaded->document), dumpDocument(again->document)), "");

    // The song comes back as it was built, as far as the file keeps numbers and flags.
    EXPECT_EQ(firstDifference(asTheFileKeepsIt(dumpDocument(song.d)),
                              asTheFileKeepsIt(dumpDocument(loaded->document))),
              "");

    const Document* d = loaded->document;
    EXPECT_EQ(*loaded->parser.dataVersion(), "1.5");
    EXPECT_EQ(*loaded->parser.fontID(), "Default");
    EXPECT_TRUE(d->song()->isDoubleRow());
    EXPECT_EQ(d->song()->name(), song.d->song()->name());
    EXPECT_EQ(d->song()->producer(), song.d->song()->producer());
    EXPECT_EQ(d->song()->arranger(), song.d->song()->arranger());
    EXPECT_EQ(d->song()->composer(), song.d->song()->composer());
    EXPECT_EQ(d->song()->writer(), song.d->song()->writer());
    ASSERT_EQ(d->chordHistoryArray().size(), song.d->chordHistoryArray().size());
    for (std::size_t i = 0; i < d->chordHistoryArray().size(); ++i) {
        EXPECT_EQ(d->chordHistoryArray()[i]->chordElems(), song.d->chordHistoryArray()[i]->chordElems()) << i;
    }
    EXPECT_EQ(linesPerPage(d), linesPerPage(song.d));
    const Line* doubleLine = d->pageArray()[0]->lineArray()[1];
    ASSERT_NE(doubleLine->lower(), nullptr);
    EXPECT_EQ(doubleLine->firstBarLineType(), TOVBarlineRepeatForward);
    EXPECT_EQ(doubleLine->lower()->barArray().size(), 4u);
    EXPECT_EQ(d->pageArray()[1]->aPage(), 12u);
    const Bar* b0 = doubleLine->barArray()[0];
    EXPECT_EQ(b0->clefType(), TOVSymbolClefF);
    EXPECT_EQ(b0->keyType(), TOVSymbolKeyFlat5);
    // Every symbol code has its word, and a bar holding one of each reads them all back.
    std::set<int> written;
    for (const int code : barSymbolCodes()) {
        EXPECT_FALSE(TOVDocumentParser::serializeSymbolType(code).empty()) << std::hex << code;
        written.insert(code);
    }
    std::set<int> read;
    for (const Symbol* symbol : b0->symbols()) {
        read.insert(symbol->type());
    }
    EXPECT_EQ(read, written);
    std::set<int> keys;
    std::set<int> times;
    for (const Page* page : d->pageArray()) {
        for (const Line* line : page->lineArray()) {
            for (const Bar* bar : line->barArray()) {
                keys.insert(bar->keyType());
                times.insert(bar->timeType());
            }
        }
    }
    EXPECT_EQ(keys.size(), 15u);  // fourteen keys and none
    EXPECT_EQ(times.size(), 15u); // fourteen times and none
    EXPECT_EQ(d->symbols().size(), 4u);
}

TEST_F(DocumentParserTest, SaveAndLoadThroughAFile) {
    RichSong song;
    TempDir dir;
    const std::filesystem::path path = dir.path() / "song.tovz";
    ASSERT_TRUE(TOVDocumentParser().saveTOVZDocumentToUrlFromDocument(path, song.d));
    Loaded loaded;
    ASSERT_TRUE(loaded.parser.loadTOVZDocumentFromUrlToDocument(path, loaded.document));
    EXPECT_EQ(loaded.document->pageArray().size(), 2u);

    // A save that cannot write leaves the file as it was.
    std::filesystem::create_directory(dir.path() / "locked");
    EXPECT_FALSE(TOVDocumentParser().saveTOVZDocumentToUrlFromDocument(dir.path() / "locked" / "x" / "y.tovz",
                                                                       song.d));
    EXPECT_FALSE(TOVDocumentParser().saveTOVZDocumentToUrlFromDocument(path, nullptr));
    Loaded missing;
    EXPECT_FALSE(
        missing.parser.loadTOVZDocumentFromUrlToDocument(dir.path() / "none.tovz", missing.document));
}

// A save that fails half-way, as on a full disk, leaves the previous file byte for byte (a file size limit
// makes the write itself fail; root is not exempt from it).
TEST_F(DocumentParserTest, AFailedSaveLeavesThePreviousFileIntact) {
    TempDir dir;
    const std::filesystem::path path = dir.path() / "song.tovz";
    Loaded small;
    small.document->createNewSong();
    small.document->createNewPageWithNumberAPage(0, 10);
    ASSERT_TRUE(TOVDocumentParser().saveTOVZDocumentToUrlFromDocument(path, small.document));
    const auto contentOf = [](const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string before = contentOf(path);
    ASSERT_FALSE(before.empty());

    RichSong song;
    const std::size_t limit = before.size() + 64;
    ASSERT_GT(TOVDocumentParser().tovzDataFromDocument(song.d)->size(), limit);
    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
    rlimit limited = original;
    limited.rlim_cur = limit;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool saved = TOVDocumentParser().saveTOVZDocumentToUrlFromDocument(path, song.d);
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(contentOf(path), before);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"song.tovz"});
    Loaded reread;
    EXPECT_TRUE(reread.parser.loadTOVZDocumentFromUrlToDocument(path, reread.document));
    EXPECT_EQ(reread.document->pageArray().size(), 1u);
}

TEST_F(DocumentParserTest, WritesElementsAndAttributesInOrder) {
    RichSong song;
    for (Symbol* symbol : song.d->pageArray()[0]->lineArray()[1]->barArray()[0]->symbols()) {
        if (symbol->type() == TOVSymbolDaCapo) {
            symbol->setInitialSize({exact(2), exact(1)});
        }
    }
    const std::string xml = xmlOf(*TOVDocumentParser().tovzDataFromDocument(song.d));
    const std::string::size_type root = xml.find("<tovrin ");
    ASSERT_NE(root, std::string::npos);
    EXPECT_EQ(xml.find("<?xml version=\"1.0\" encoding=\"utf-8\"?>"), 0u);
    EXPECT_NE(xml.find("<tovrin data-struct-version=\"1.5\" platform-type=\"MAC\" platform-version="),
              std::string::npos);
    EXPECT_NE(xml.find("custom-font-id=\"Default\" custom-font-name=\"Default\" xml:space=\"preserve\">"),
              std::string::npos);
    const char* order[] = {"<history>",      "<pages>",
                           "<lines>",        "<song partition=\"1\" parts=\"1\" rows=\"2\">",
                           "<measure-sets>", "<symbols>"};
    std::string::size_type at = 0;
    for (const char* piece : order) {
        const std::string::size_type found = xml.find(piece, at);
        EXPECT_NE(found, std::string::npos) << piece;
        at = found;
    }
    // The run list is written; the platform archive is not.
    EXPECT_EQ(xml.find("base64-formatted-texts"), std::string::npos);
    EXPECT_NE(xml.find("<formatted-text font-family=\"DejaVuSans\" font-size=\"17\" font-style=\"Normal\" "
                       "font-weight=\"Normal\" color=\"#FFFF0000\" underline=\"1\" line-through=\"0\">"),
              std::string::npos);
    EXPECT_NE(
        xml.find(
            "font-family=\"DejaVuSans-Bold\" font-size=\"17\" font-style=\"Normal\" font-weight=\"Bold\""),
        std::string::npos);
    EXPECT_NE(xml.find("<line partition=\"4\" parts=\"2\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<chord-value step1=\"C\" step2=\"m7\" step3=\"none\" base=\"Bb\"/>"),
              std::string::npos);
    EXPECT_NE(xml.find("<clef type=\"clef-f\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<harmony beam=\"none\" stem-height=\"2.54237\" timing=\"0\" duration=\"240\" "
                       "stem-direction=\"down\">"),
              std::string::npos);
    EXPECT_NE(xml.find("<triplet-harmony tuplet=\"begin\" beam=\"begin\" number=\"0\" timing=\"480\" "
                       "duration=\"80\" stem-direction=\"up\" stem-height=\"3\">"),
              std::string::npos);
    EXPECT_NE(xml.find("<repeat-with-id type=\"dacapo\" scale=\"1.25\" x=\"2\" y=\"0\" width=\"2.5\" "
                       "height=\"1.25\">135</repeat-with-id>"),
              std::string::npos);
    EXPECT_NE(xml.find("<slash stemless=\"true\"/>"), std::string::npos);
    EXPECT_NE(
        xml.find(
            "<wave type=\"wave\" x=\"1\" y=\"1\" width=\"9\" height=\"2\" angle=\"-12.5\" flip=\"true\"/>"),
        std::string::npos);
    EXPECT_NE(xml.find("<long-rest>12</long-rest>"), std::string::npos);
}

// ---- hand-written files

std::string file(const std::string& body, const std::string& version = "1.5") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<tovrin data-struct-version=\"" + version +
           "\" custom-font-id=\"Mine\" custom-font-name=\"My Font\">" + body + "</tovrin>";
}

std::string measureSets(int count, const std::string& content = "") {
    std::string out = "<measure-sets>";
    for (int i = 0; i < count; ++i) {
        out += "<measure-set><part1 width=\"0.25\">" + content + "</part1></measure-set>";
    }
    return out + "</measure-sets>";
}

TEST_F(DocumentParserTest, DistributesLinesOverPagesAndBarsOverLines) {
    auto loaded = loadXml(
        file("<pages><page a-page=\"10\"/><page a-page=\"7\"/></pages>"
             "<lines><song rows=\"2\"/><line parts=\"1\" partition=\"4\"/><line parts=\"1\" partition=\"3\"/>"
             "<line parts=\"2\" partition=\"0\"/><line parts=\"2\" partition=\"9\"/>"
             "<line parts=\"2\" partition=\"2\"/><line parts=\"2\" partition=\"2\"/></lines>" +
             measureSets(19)));
    ASSERT_TRUE(loaded->ok);
    const Document* d = loaded->document;
    // 1 + 1 + 1 + 2 + 2 + 2 = 9 slots on the first page; the sixth line needs 2 more and goes on.
    EXPECT_EQ(linesPerPage(d), (std::vector<std::size_t>{6, 1}));
    EXPECT_EQ(d->pageArray()[1]->aPage(), 10u);
    const std::vector<Line*> first = d->pageArray()[0]->lineArray();
    std::vector<std::uint64_t> partitions;
    for (const Line* line : first) {
        if (!line->isLowerOfDoublePart()) {
            partitions.push_back(line->partition());
        }
    }
    EXPECT_EQ(partitions, (std::vector<std::uint64_t>{0, 4, 3, 4, 4, 2}));
    EXPECT_EQ(first[2]->barArray().front()->num(), 4u);
    EXPECT_EQ(first[2]->barArray().size(), 3u);
    // Missing "part2" elements give empty lower twins.
    const Line* doubleLine = first[3];
    ASSERT_NE(doubleLine->lower(), nullptr);
    EXPECT_EQ(doubleLine->lower()->barArray().size(), 4u);
    EXPECT_EQ(doubleLine->lower()->barArray()[2]->num(), 9u);
    EXPECT_TRUE(d->song()->isDoubleRow());
    EXPECT_EQ(doubleLine->barArray()[0]->width(), 130.0);
    EXPECT_EQ(*loaded->parser.fontID(), "Mine");
    EXPECT_EQ(*loaded->parser.fontName(), "My Font");
}

TEST_F(DocumentParserTest, BarWidthsReadAsWrittenAndWriteBackTheSame) {
    struct Case {
        const char* written;
        double width;
    };
    // A width of 0 or below is no width of its own: the layout gives the bar its share, the file keeps it.
    const Case cases[] = {{"0.25", 130.0}, {"-0.25", -130.0}, {"40", 20800.0},
                          {"0", 0.0},      {"nan", 0.0},      {"1e39", 0.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        auto loaded =
            loadXml(file("<pages><page a-page=\"10\"/></pages><lines><line partition=\"4\"/></lines>"
                         "<measure-sets><measure-set><part1 width=\"" +
                         std::string(c.written) + "\"/></measure-set></measure-sets>"));
        ASSERT_TRUE(loaded->ok);
        const Bar* bar = loaded->document->pageArray()[0]->lineArray()[1]->barArray()[0];
        EXPECT_FLOAT_EQ(bar->width(), c.width);
        auto again = load(*TOVDocumentParser().tovzDataFromDocument(loaded->document));
        ASSERT_TRUE(again->ok);
        EXPECT_FLOAT_EQ(again->document->pageArray()[0]->lineArray()[1]->barArray()[0]->width(), c.width);
    }
}

TEST_F(DocumentParserTest, ClampsNumbersToTheModelsRanges) {
    struct Case {
        std::string content;
        std::uint64_t longRest;
        std::uint64_t speed;
        std::uint64_t duration = 0; // of the bar's first unit, 0 when the bar has no note
    };
    const auto harmony = [](const char* duration) {
        return std::string("<harmonies><harmony timing=\"0\" duration=\"") + duration +
               "\"><notes><pitch level=\"0\"/></notes></harmony></harmonies>";
    };
    const Case cases[] = {
        {"<long-rest>0</long-rest>", 1, 0},
        {"<long-rest>1500</long-rest>", 999, 0},
        {"<long-rest>-3</long-rest>", 1, 0},
        {"<long-rest>many</long-rest>", 1, 0},
        {"<long-rest>7</long-rest><symbols><speed type=\"speed\">120</speed></symbols>", 7, 120},
        {"<symbols><speed type=\"speed\">5000</speed></symbols>", 0, 999},
        {"<symbols><speed type=\"speed\">-4</speed></symbols>", 0, 0},
        // A length below 1 makes no note.
        {harmony("240"), 0, 0, 240},
        // A note longer than the longest bar (7/4, 1680 ticks) is one no bar can hold: it is left out.
        {harmony("1680"), 0, 0, 1680},
        {harmony("1681"), 0, 0, 0},
        {harmony("65534"), 0, 0, 0},
        {harmony("99999999999"), 0, 0, 0},
        {harmony("-5"), 0, 0, 0},
    };
    for (const Case& c : cases) {
        auto loaded =
            loadXml(file("<pages><page a-page=\"10\"/></pages><lines><line partition=\"4\"/></lines>" +
                         measureSets(1, c.content)));
        ASSERT_TRUE(loaded->ok) << c.content;
        const Bar* bar = loaded->document->pageArray()[0]->lineArray()[1]->barArray()[0];
        EXPECT_EQ(bar->longRest(), c.longRest) << c.content;
        std::uint64_t speed = 0;
        for (const Symbol* symbol : bar->symbols()) {
            if (const auto* tempo = dynamic_cast<const SymbolTempo*>(symbol)) {
                speed = tempo->speed();
            }
        }
        EXPECT_EQ(speed, c.speed) << c.content;
        const std::vector<Note*> notes = bar->noteArray();
        ASSERT_EQ(notes.size(), c.duration == 0 ? 0u : 1u) << c.content;
        if (c.duration != 0) {
            const NoteUnit* unit = notes[0]->firstUnit();
            EXPECT_EQ(unit->duration(), c.duration) << c.content;
            EXPECT_EQ(unit->kind(), 0) << c.content;
            EXPECT_FALSE(notes[0]->isBeatLength()) << c.content;
        }
    }

    struct PageCase {
        const char* aPage;
        const char* partition;
        const char* rows;
        std::uint64_t pageSlots;
        std::uint64_t linePartition;
        bool doubleRow;
    };
    const PageCase pageCases[] = {{"7", "0", "0", 10, 4, false},
                                  {"13", "9", "1", 10, 4, false},
                                  {"8", "1", "2", 8, 1, true},
                                  {"12", "8", "5", 12, 8, true},
                                  {"x", "-1", "-1", 10, 4, true}};
    for (const PageCase& c : pageCases) {
        auto loaded = loadXml(file(std::string("<pages><page a-page=\"") + c.aPage +
                                   "\"/></pages><lines><song rows=\"" + c.rows + "\"/><line partition=\"" +
                                   c.partition + "\"/></lines>"));
        ASSERT_TRUE(loaded->ok) << c.aPage;
        EXPECT_EQ(loaded->document->pageArray()[0]->aPage(), c.pageSlots) << c.aPage;
        EXPECT_EQ(loaded->document->pageArray()[0]->lineArray()[1]->partition(), c.linePartition)
            << c.partition;
        EXPECT_EQ(loaded->document->song()->isDoubleRow(), c.doubleRow) << c.rows;
    }
}

TEST_F(DocumentParserTest, UnreadableFilesFailPlainly) {
    const std::string pages = "<pages><page a-page=\"10\"/></pages>";
    const std::string oneLine = "<lines><line partition=\"2\"/></lines>";
    struct Case {
        const char* what;
        Bytes data;
    };
    const std::string notXml = "this is not XML at all";
    const Bytes plain(notXml.begin(), notXml.end());
    Bytes cut = gzipped(file(pages + oneLine + measureSets(2)));
    cut.resize(cut.size() / 2);
    const Case cases[] = {
        {"empty", {}},
        {"not gzip", plain},
        {"cut short", cut},
        {"not XML", gzipped(notXml)},
        {"lines without pages", gzipped(file(oneLine))},
        {"too many measure-sets", gzipped(file(pages + oneLine + measureSets(3)))},
        {"measure-sets without lines", gzipped(file(pages + measureSets(1)))},
        {"lines without a line", gzipped(file(pages + "<lines/>" + measureSets(1)))},
        {"more lines than slots", gzipped(file(pages + "<lines>" + std::string(10, ' ') +
                                               [] {
                                                   std::string s;
                                                   for (int i = 0; i < 10; ++i) {
                                                       s += "<line partition=\"1\"/>";
                                                   }
                                                   return s;
                                               }() +
                                               "</lines>"))},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(load(c.data)->ok) << c.what;
    }
    // A file with nothing but its root reads as an empty document.
    EXPECT_TRUE(loadXml(file(""))->ok);
}

TEST_F(DocumentParserTest, WhatIsWrittenReadsBackWithoutPagesOrLines) {
    // A new song's first save holds no page; a document may hold pages without lines.
    for (const bool withPage : {false, true}) {
        Loaded empty;
        empty.document->createNewSong();
        if (withPage) {
            empty.document->createNewPageWithNumberAPage(0, 10);
        }
        const std::optional<Bytes> saved = TOVDocumentParser().tovzDataFromDocument(empty.document);
        ASSERT_TRUE(saved);
        auto loaded = load(*saved);
        EXPECT_TRUE(loaded->ok) << withPage << loaded->parser.failureReason();
        EXPECT_EQ(loaded->document->pageArray().size(), withPage ? 1u : 0u);
    }
}

std::vector<int> beamsOf(const Note* note) {
    std::vector<int> beams;
    for (const NoteUnit* unit : note->unitArray()) {
        beams.push_back(unit->beam());
    }
    return beams;
}

std::string triplet(const char* delimiter, int length, const char* notes = "<pitch level=\"0\"/>") {
    std::string out;
    const char* words[] = {"begin", "continue", "end"};
    for (int i = 0; i < 3; ++i) {
        out += std::string("<triplet-harmony ") + delimiter + "=\"" + words[i] + "\" number=\"" +
               std::to_string(i) + "\" timing=\"" + std::to_string(480 + i * length) + "\" duration=\"" +
               std::to_string(length) + "\"><notes>" + notes + "</notes></triplet-harmony>";
    }
    return out;
}

const Bar* onlyBar(const Loaded& loaded) {
    return loaded.document->pageArray()[0]->lineArray()[1]->barArray()[0];
}

// A tie holding one end only is no tie in the song; the file marks a tie on its left tone and a load makes
// it to the next tone, so a half tie written would come back whole.
TEST_F(DocumentParserTest, OnlyWholeTiesAreWritten) {
    Loaded song;
    song.document->createNewSong();
    Page* page = song.document->createNewPageWithNumberAPage(0, 10);
    page->createNewLineWithPartitionFirstBarlineType(0, TOVBarlineSingle);
    Line* line = page->createNewLineWithPartitionFirstBarlineType(4, TOVBarlineSingle);
    Bar* bar = line->createNewBarWithNumberWidthBarlineType(0, 0, TOVBarlineSingle);
    song.context->processPendingChanges();
    std::vector<NoteTone*> tones;
    for (std::uint64_t timing : {0, 240, 480}) {
        tones.push_back(
            bar->createNewSingleMeloFromLengthLevel(timing, 240, 2)->firstUnit()->toneArray().front());
    }
    song.context->processPendingChanges();
    ASSERT_NE(tones[0]->createNewTie(), nullptr);
    ASSERT_NE(tones[1]->createNewTie(), nullptr);
    // The second tie loses its right end; a load would tie the second tone to the third again.
    tones[1]->tieRight()->setToneRight(nullptr);
    song.context->processPendingChanges();
    ASSERT_TRUE(Tie::isWhole(tones[0]->tieRight()));
    ASSERT_NE(tones[1]->tieRight(), nullptr);
    ASSERT_FALSE(Tie::isWhole(tones[1]->tieRight()));

    const std::optional<Bytes> saved = TOVDocumentParser().tovzDataFromDocument(song.document);
    ASSERT_TRUE(saved);
    const std::string xml = xmlOf(*saved);
    const std::size_t tie = xml.find("<tie/>");
    ASSERT_NE(tie, std::string::npos);
    EXPECT_EQ(xml.find("<tie/>", tie + 1), std::string::npos) << xml;

    auto loaded = load(*saved);
    ASSERT_TRUE(loaded->ok);
    completeTies(loaded->document);
    const std::vector<Note*> notes = onlyBar(*loaded)->noteArray();
    ASSERT_EQ(notes.size(), 3u);
    const NoteTone* first = notes[0]->firstUnit()->toneArray().front();
    const NoteTone* second = notes[1]->firstUnit()->toneArray().front();
    ASSERT_TRUE(Tie::isWhole(first->tieRight()));
    EXPECT_EQ(first->tieRight()->toneRight(), second);
    EXPECT_EQ(second->tieRight(), nullptr);
}

TEST_F(DocumentParserTest, OldFilesDelimitTupletsByBeam) {
    struct Case {
        std::string version;
        std::string harmonies;
        std::vector<int> beams;
    };
    const Case cases[] = {
        {"1.4", triplet("beam", 80), {1, 3, 2}},
        {"1.4", triplet("beam", 160), {0, 0, 0}},
        {"1.4", triplet("beam", 80, "<rest/>"), {0, 0, 0}},
        {"", triplet("beam", 80), {1, 3, 2}},
        // A new file reads its delimiter from "tuplet" and its beams from "beam" (none here).
        {"1.5", triplet("tuplet", 80), {0, 0, 0}},
        {"1.10", triplet("tuplet", 80), {0, 0, 0}},
    };
    for (const Case& c : cases) {
        std::string xml = file("<pages><page a-page=\"10\"/></pages><lines><line partition=\"4\"/></lines>" +
                                   measureSets(1, "<harmonies>" + c.harmonies + "</harmonies>"),
                               c.version);
        if (c.version.empty()) {
            xml.replace(xml.find(" data-struct-version=\"\""), 23, "");
        }
        auto loaded = loadXml(xml);
        ASSERT_TRUE(loaded->ok) << c.version;
        const std::vector<Note*> notes = onlyBar(*loaded)->noteArray();
        ASSERT_EQ(notes.size(), 1u) << c.version;
        EXPECT_TRUE(notes[0]->isTriplet());
        EXPECT_EQ(notes[0]->timing(), 480u);
        EXPECT_EQ(beamsOf(notes[0]), c.beams) << c.version << c.harmonies;
    }
}

TEST_F(DocumentParserTest, VersionsCompareComponentByComponent) {
    struct Case {
        std::optional<QString> version;
        bool old;
        bool later;
    };
    const Case cases[] = {{std::nullopt, true, false}, {"1.4", true, false}, {"1.41", false, true},
                          {"1.5", false, false},       {"1.6", false, true}, {"1.10", false, true},
                          {"1.3", true, false},        {"2", false, true},   {"abc", true, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(TOVDocumentParser::isOldDataVersion(c.version), c.old)
            << c.version.value_or("-").toStdString();
        EXPECT_EQ(TOVDocumentParser::isLaterDataVersion(c.version), c.later)
            << c.version.value_or("-").toStdString();
    }
}

TEST_F(DocumentParserTest, DamagedNoteGroupsAreSkippedNotDoubled) {
    const std::string harmonies =
        // a member before any group, a run that ends twice, a member numbered out of range
        "<triplet-harmony tuplet=\"end\" number=\"0\" timing=\"0\" duration=\"80\"><notes><pitch "
        "level=\"1\"/></notes></triplet-harmony>"
        "<triplet-harmony tuplet=\"begin\" number=\"0\" timing=\"0\" duration=\"80\"><notes><pitch "
        "level=\"1\"/></notes></triplet-harmony>"
        "<triplet-harmony tuplet=\"continue\" number=\"7\" timing=\"80\" duration=\"80\"><notes><pitch "
        "level=\"2\"/></notes></triplet-harmony>"
        "<triplet-harmony tuplet=\"end\" number=\"2\" timing=\"160\" duration=\"80\"><notes><pitch "
        "level=\"3\"/></notes></triplet-harmony>"
        "<triplet-harmony tuplet=\"end\" number=\"2\" timing=\"160\" duration=\"80\"><notes><pitch "
        "level=\"3\"/></notes></triplet-harmony>"
        "<harmony beam=\"begin\" timing=\"480\" duration=\"120\"><notes><pitch "
        "level=\"0\"/></notes></harmony>"
        "<harmony beam=\"continue\" timing=\"600\" duration=\"0\"><notes><pitch "
        "level=\"0\"/></notes></harmony>"
        "<harmony beam=\"end\" timing=\"600\" duration=\"120\"><notes><pitch level=\"0\"/></notes></harmony>"
        "<harmony beam=\"end\" timing=\"720\" duration=\"120\"><notes><slash "
        "stemless=\"TRUE\"/></notes></harmony>"
        "<harmony beam=\"CONTINUE\" timing=\"840\" duration=\"120\" stem-direction=\"DOWN\"><notes><pitch "
        "level=\"0\"><accidental type=\"Natural\"/><tie/></pitch></notes></harmony>";
    auto loaded = loadXml(file("<pages><page a-page=\"10\"/></pages><lines><line partition=\"4\"/></lines>" +
                               measureSets(1, "<harmonies>" + harmonies + "</harmonies>")));
    ASSERT_TRUE(loaded->ok);
    const std::vector<Note*> notes = onlyBar(*loaded)->noteArray();
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_TRUE(notes[0]->isTriplet());
    const std::vector<NoteUnit*> units = notes[0]->unitArray();
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[0]->tones().size(), 1u);
    EXPECT_TRUE(units[1]->tones().empty());
    EXPECT_EQ(units[2]->tones().size(), 1u);
    EXPECT_TRUE(notes[1]->isBeam());
    EXPECT_EQ(notes[1]->unitArray().size(), 2u);
    EXPECT_TRUE(notes[2]->isBeatLength());
    EXPECT_TRUE(notes[3]->flip());
    const NoteTone* tone = notes[3]->firstUnit()->toneArray().front();
    ASSERT_NE(tone->accidental(), nullptr);
    EXPECT_EQ(tone->accidental()->type(), TOVSymbolNatural);
    EXPECT_TRUE(tone->needCreateTie());
}

TEST_F(DocumentParserTest, ReadsSymbolsChordsAndToolsAsWritten) {
    const std::string content =
        "<clef type=\"CLEF-F\"/><key type=\"key-sharp8\"/><time type=\"time-c\"/>"
        "<symbols><text-symbol type=\"free-text\" x=\"1\" y=\"1\"/>"
        "<text-symbol type=\"reharsal\" x=\"1\" y=\"2\"><formatted-texts><formatted-text "
        "font-family=\"DejaVuSans\" "
        "font-size=\"17\"><arbitrary-text>B</arbitrary-text></formatted-text></formatted-texts></text-symbol>"
        "<repeat-with-id type=\"dacapo\" scale=\"2\" x=\"1\" y=\"1\" width=\"2\" height=\"2\"/>"
        "<repeat-times type=\"repeat-times\" scale=\"1\"/>"
        "<volta type=\"volta-end\"><arbitrary-text>9</arbitrary-text></volta>"
        "<speed type=\"coda\">77</speed><symbol type=\"8va\" x=\"1\" y=\"1\" width=\"5\" height=\"1\"/>"
        "<symbol type=\"volta\"/></symbols>"
        "<chords><chord timing=\"240\" scale=\"1.25\" x=\"1\" y=\"1\" width=\"2\" height=\"1\"><chord-value "
        "step1=\"c#\" "
        "step2=\"M7\" step3=\"SUS4\" base=\"H\"/></chord><chord timing=\"0\"/></chords>";
    auto loaded = loadXml(
        file("<pages><page a-page=\"10\"/></pages><lines><line partition=\"4\"/></lines>" +
             measureSets(1, content) +
             "<symbols><tool type=\"wave\" angle=\"45\"/><tool type=\"circle\"/>"
             "<wave type=\"x\" flip=\"yes\"/><wave flip=\"TRUE\"/>"
             "<text-symbol type=\"free-text\" x=\"10\" y=\"2\"><base64-formatted-texts "
             "platform-type=\"WIN\">AAAA</base64-formatted-texts><formatted-texts><formatted-text "
             "font-family=\"NoSuchFont\" font-style=\"Oblique\" font-weight=\"Bold\" "
             "font-size=\"0\" color=\"#FF00FF00\" underline=\"5\"><arbitrary-text>kept</arbitrary-text>"
             "</formatted-text></formatted-texts></text-symbol></symbols>"));
    ASSERT_TRUE(loaded->ok);
    const Bar* bar = onlyBar(*loaded);
    EXPECT_EQ(bar->clefType(), TOVSymbolClefF);
    EXPECT_EQ(bar->keyType(), 0);
    EXPECT_EQ(bar->timeType(), TOVSymbolTimeCommon);
    std::map<int, const Symbol*> byType;
    for (const Symbol* symbol : bar->symbols()) {
        byType[symbol->type()] = symbol;
    }
    EXPECT_EQ(byType.size(), 6u);
    ASSERT_TRUE(byType.count(TOVSymbolMarkIntro));
    const auto* mark = dynamic_cast<const SymbolText*>(byType[TOVSymbolMarkIntro]);
    ASSERT_TRUE(mark && mark->text());
    EXPECT_EQ(mark->text()->string(), "B");
    EXPECT_EQ(mark->frame(), platform::Rect(TOVStaffSpace, 11.8, 0, 0));
    EXPECT_EQ(byType[TOVSymbolDaCapo]->scale(), 2.0);
    EXPECT_EQ(dynamic_cast<const SymbolRepeat*>(byType[TOVSymbolRepeatTimes])->repeatIDNumber(), 0);
    EXPECT_TRUE(dynamic_cast<const SymbolRepeat*>(byType[TOVSymbolVoltaEnd])->repeatIDString().isEmpty());
    const auto* coda = dynamic_cast<const SymbolTempo*>(byType[TOVSymbolCoda]);
    ASSERT_NE(coda, nullptr);
    EXPECT_EQ(coda->speed(), 77u);
    EXPECT_EQ(byType[TOVSymbolOctave8va]->scale(), 0.0);
    const std::vector<Chord*> chords = bar->chordArray();
    ASSERT_EQ(chords.size(), 1u);
    EXPECT_EQ(chords[0]->chordElems(), (TOVChordElems{1, 7, 0, 17, false}));
    EXPECT_EQ(chords[0]->scale(), 1.25);
    EXPECT_EQ(chords[0]->timing(), 240u);

    std::map<int, std::vector<const Symbol*>> tools;
    for (const Symbol* symbol : loaded->document->symbols()) {
        tools[symbol->type()].push_back(symbol);
    }
    ASSERT_EQ(tools[TOVToolWave].size(), 3u);
    EXPECT_EQ(tools[TOVToolWave][0]->angle(), 45.0);
    EXPECT_FALSE(tools[TOVToolWave][0]->flip());
    EXPECT_FALSE(tools[TOVToolWave][1]->flip());
    EXPECT_TRUE(tools[TOVToolWave][2]->flip());
    ASSERT_EQ(tools[TOVToolFreeText].size(), 1u);
    const auto* text = dynamic_cast<const SymbolText*>(tools[TOVToolFreeText][0]);
    // A foreign archive does not empty the text: the run list beside it is read, in the default font.
    ASSERT_TRUE(text && text->text());
    EXPECT_EQ(text->text()->string(), "kept");
    const platform::TextAttributes attributes = text->text()->runs().front().attributes;
    EXPECT_EQ(attributes.font->pointSize, 20.0);
    EXPECT_EQ(attributes.font->postScriptName, platform::Font::userFont(20).fontName());
    EXPECT_EQ(attributes.foregroundColor, platform::Color::fromRGB(0, 1, 0));
    EXPECT_EQ(attributes.underlineStyle, 2);
    EXPECT_EQ(tools.size(), 2u);
}

// A formatted text takes its archive only when it says it is ours and decodes; otherwise the run list
// beside it is read, and a damaged archive never fails the load. Checked where every text is read: the
// song title, a rehearsal mark and a free text.
TEST_F(DocumentParserTest, AFormattedTextTakesItsArchiveOnlyWhenItIsOursAndReadable) {
    const std::vector<std::uint8_t> archived = credit("archived").serialized();
    const std::vector<std::uint8_t> cut(archived.begin(), archived.begin() + archived.size() / 2);
    std::vector<std::uint8_t> wrongHeader = archived;
    wrongHeader[0] ^= 0xFF;
    const auto archive = [](const char* platformType, const std::string& body) {
        return std::string("<base64-formatted-texts platform-type=\"") + platformType + "\">" + body +
               "</base64-formatted-texts>";
    };
    const std::string runs = "<formatted-texts><formatted-text font-family=\"DejaVuSans\" font-size=\"17\">"
                             "<arbitrary-text>runs</arbitrary-text></formatted-text></formatted-texts>";
    struct Case {
        const char* what;
        std::string children;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {"ours and readable", archive("MAC", platform::base64Encode(archived)) + runs,
         "archived \u00e9t\u00e9"},
        {"ours, without runs", archive("MAC", platform::base64Encode(archived)), "archived \u00e9t\u00e9"},
        {"ours, not base64", archive("MAC", "!!not base64!!") + runs, "runs"},
        {"ours, cut short", archive("MAC", platform::base64Encode(cut)) + runs, "runs"},
        {"ours, wrong header", archive("MAC", platform::base64Encode(wrongHeader)) + runs, "runs"},
        {"ours, empty", archive("MAC", "") + runs, "runs"},
        {"another platform's", archive("WIN", platform::base64Encode(archived)) + runs, "runs"},
        {"platform in lower case", archive("mac", platform::base64Encode(archived)) + runs, "runs"},
        {"no platform",
         "<base64-formatted-texts>" + platform::base64Encode(archived) + "</base64-formatted-texts>" + runs,
         "runs"},
        {"damaged, without runs", archive("MAC", "AAAA"), std::nullopt},
        {"runs alone", runs, "runs"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto loaded = loadXml(file(
            "<pages><page a-page=\"10\"/></pages><lines><song rows=\"1\"><title type=\"song-property\">" +
            c.children + "</title></song><line partition=\"4\"/></lines>" +
            measureSets(1, "<symbols><text-symbol type=\"reharsal\" x=\"1\" y=\"1\">" + c.children +
                               "</text-symbol></symbols>") +
            "<symbols><text-symbol type=\"free-text\" x=\"1\" y=\"1\">" + c.children +
            "</text-symbol></symbols>"));
        ASSERT_TRUE(loaded->ok) << loaded->parser.failureReason();
        const auto stringOf = [](const std::optional<platform::AttributedString>& text) {
            return text ? std::optional<std::string>(text->string().toStdString()) : std::nullopt;
        };
        EXPECT_EQ(stringOf(loaded->document->song()->name()), c.text);
        const std::vector<Symbol*> marks = onlyBar(*loaded)->symbols();
        ASSERT_EQ(marks.size(), 1u);
        EXPECT_EQ(stringOf(dynamic_cast<const SymbolText&>(*marks[0]).text()), c.text);
        ASSERT_EQ(loaded->document->symbols().size(), 1u);
        EXPECT_EQ(stringOf(dynamic_cast<const SymbolText&>(*loaded->document->symbols()[0]).text()), c.text);
        if (c.text == "archived \u00e9t\u00e9") {
            // The archive is exact: the bold run and its strike-through come back as they were.
            EXPECT_EQ(*loaded->document->song()->name(), credit("archived"));
        }
    }
}

// A PostScript name that carries its style is found as it stands; a plain family with its style or weight
// finds that face, never the family's upright one.
TEST_F(DocumentParserTest, FontsAreFoundByStyledFamilyThenByName) {
    const std::string runs =
        "<formatted-texts>"
        "<formatted-text font-family=\"DejaVuSans-BoldOblique\" font-size=\"17\" font-style=\"Oblique\" "
        "font-weight=\"Bold\"><arbitrary-text>a</arbitrary-text></formatted-text>"
        "<formatted-text font-family=\"DejaVu Sans\" font-size=\"28\" font-style=\"Normal\" "
        "font-weight=\"Bold\"><arbitrary-text>b</arbitrary-text></formatted-text>"
        "<formatted-text font-family=\"Meiryo\"><arbitrary-text>c</arbitrary-text></formatted-text>"
        "<formatted-text font-family=\"DejaVuSans\"/>"
        "</formatted-texts>";
    const platform::XmlDocument xml = *platform::XmlDocument::parse(runs);
    const platform::AttributedString text =
        TOVDocumentParser::deserializeAttributedStringDefaultFontSize(xml.rootElement(), 10);
    EXPECT_EQ(text.string(), "abc");
    ASSERT_EQ(text.runs().size(), 3u);
    EXPECT_EQ(text.runs()[0].attributes.font->postScriptName, "DejaVuSans-BoldOblique");
    EXPECT_EQ(text.runs()[0].attributes.font->pointSize, 12.0);
    EXPECT_EQ(text.runs()[1].attributes.font->postScriptName, "DejaVuSans-Bold");
    EXPECT_EQ(text.runs()[1].attributes.font->pointSize, 20.0);
    EXPECT_EQ(text.runs()[2].attributes.font->postScriptName, platform::Font::userFont(10).fontName());
    EXPECT_EQ(text.runs()[2].attributes.font->pointSize, 10.0);
}

// A chord glyph factory that sets every chord 40 points wide and records the profiles it is given.
class FakeChordMeasuring : public TOVChordMeasuring {
public:
    std::optional<platform::Size> boundsSizeOfChordFontID(const TOVChordElems& chord,
                                                          const std::string& fontID) override {
        fonts.push_back(fontID);
        // A chord over a bass note is twice as wide, so that a slash read where there is none shows.
        return platform::Size{chord.slash ? 80.0 : 40.0, 10};
    }
    TOVChordNotationProfile profile() const override { return profile_; }
    void setProfile(const TOVChordNotationProfile& profile) override {
        profile_ = profile;
        profiles.push_back(profile);
    }
    std::vector<std::string> fonts;
    std::vector<TOVChordNotationProfile> profiles;

private:
    TOVChordNotationProfile profile_;
};

TEST_F(DocumentParserTest, ChordsWithoutAScaleAreSizedByTheirDefaultGlyphs) {
    FakeChordMeasuring factory;
    TOVUtils::Services services;
    services.chordViewFactory = [&] { return &factory; };
    TOVUtils::registerServices(services);
    // 50 points wide, written in staff spaces.
    const std::string chords =
        "<chords><chord timing=\"0\" x=\"1\" width=\"8.47458\"><chord-value step1=\"C\" base=\"none\"/>"
        "</chord><chord timing=\"480\" scale=\"1.5\" width=\"8.47458\"><chord-value "
        "step1=\"D\"/></chord><chord timing=\"720\" width=\"8.47458\"><chord-value step1=\"E\" "
        "base=\"G#\"/></chord></chords>";
    for (const char* version : {"1.5", "1.4"}) {
        factory.profiles.clear();
        auto loaded =
            loadXml(file("<pages><page a-page=\"10\"/></pages><lines><line partition=\"4\"/></lines>" +
                             measureSets(1, chords),
                         version));
        ASSERT_TRUE(loaded->ok);
        const std::vector<Chord*> read = onlyBar(*loaded)->chordArray();
        ASSERT_EQ(read.size(), 3u);
        EXPECT_NEAR(read[0]->scale(), 1.25, 1e-5);
        EXPECT_FALSE(read[0]->chordElems().slash);
        EXPECT_EQ(read[1]->scale(), 1.5);
        EXPECT_FALSE(read[1]->chordElems().slash);
        EXPECT_NEAR(read[2]->scale(), 0.625, 1e-5);
        EXPECT_TRUE(read[2]->chordElems().slash);
        if (std::string(version) == "1.4") {
            // An old file's chords are set with the default profile, and the user's comes back after.
            EXPECT_EQ(factory.profiles,
                      (std::vector<TOVChordNotationProfile>{TOVUtils::defaultChordNotationProfile(),
                                                            TOVUtils::currentChordNotationProfile()}));
        } else {
            EXPECT_TRUE(factory.profiles.empty());
        }
    }
    EXPECT_EQ(factory.fonts, (std::vector<std::string>(4, "Default")));
    TOVUtils::registerServices({});
}

TEST_F(DocumentParserTest, AFamilyIsTriedWithItsStyleAndWeightBeforeItStandsAlone) {
    std::vector<QString> asked;
    TOVDocumentParser::setFontLookup(
        {[&](const QString& name, double size) -> std::optional<platform::TextFont> {
             asked.push_back(name);
             if (name == "Fam Oblique Bold" || name == "Fam-BoldOblique") {
                 return platform::TextFont{"Fam-BoldOblique", size};
             }
             if (name == "Fam") { // a plain family names its upright face
                 return platform::TextFont{"Fam", size};
             }
             return std::nullopt;
         },
         [](double size) {
             return platform::TextFont{"Fallback", size};
         }});
    const platform::XmlDocument xml = *platform::XmlDocument::parse(
        "<formatted-texts><formatted-text font-family=\"Fam\" font-style=\"Oblique\" font-weight=\"Bold\" "
        "font-size=\"14\"><arbitrary-text>x</arbitrary-text></formatted-text>"
        "<formatted-text font-family=\"Fam-BoldOblique\" font-style=\"Oblique\" font-weight=\"Bold\">"
        "<arbitrary-text>z</arbitrary-text></formatted-text>"
        "<formatted-text font-family=\"Gone\" font-style=\"normal\" font-weight=\"Normal\">"
        "<arbitrary-text>y</arbitrary-text></formatted-text></formatted-texts>");
    const platform::AttributedString text =
        TOVDocumentParser::deserializeAttributedStringDefaultFontSize(xml.rootElement(), 20);
    ASSERT_EQ(text.runs().size(), 3u);
    EXPECT_EQ(text.runs()[0].attributes.font, (platform::TextFont{"Fam-BoldOblique", 10}));
    EXPECT_EQ(text.runs()[1].attributes.font, (platform::TextFont{"Fam-BoldOblique", 20}));
    EXPECT_EQ(text.runs()[2].attributes.font, (platform::TextFont{"Fallback", 20}));
    // The styled name is asked first, the family alone when that names nothing (a PostScript name that
    // carries its style already); a family whose style and weight are "normal" is asked once.
    EXPECT_EQ(asked, (std::vector<QString>{"Fam Oblique Bold", "Fam-BoldOblique Oblique Bold",
                                           "Fam-BoldOblique", "Gone"}));
}

// ---- the tovz-dump tool

struct ToolRun {
    bool finished = false;
    bool exitedNormally = false;
    int status = -1;
    std::string out;
    std::string err;
};

ToolRun runTovzDump(const QStringList& arguments) {
    QProcess process;
    // A sanitizer report must end the tool with a signal, never pass for a plain failure status.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":abort_on_error=1");
    environment.insert("UBSAN_OPTIONS", environment.value("UBSAN_OPTIONS") + ":halt_on_error=1");
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TOVZ_DUMP_PATH), arguments);
    ToolRun run;
    if (!process.waitForStarted(30000)) {
        return run;
    }
    run.finished = process.waitForFinished(120000);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.exitedNormally = process.exitStatus() == QProcess::NormalExit;
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

TEST_F(DocumentParserTest, TovzDumpPrintsTheDumpOfAGoodFile) {
    RichSong song;
    TempDir dir;
    const std::filesystem::path path = dir.path() / "song.tovz";
    ASSERT_TRUE(TOVDocumentParser().saveTOVZDocumentToUrlFromDocument(path, song.d));
    // The tool registers no font service, so the expected dump is read without one too.
    TOVDocumentParser::setFontLookup({});
    std::ifstream in(path, std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto loaded = load(bytes);
    ASSERT_TRUE(loaded->ok);

    const ToolRun run = runTovzDump({QString::fromStdString(path.string())});
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.exitedNormally);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(firstDifference(run.out, "data-struct-version: 1.5\ncustom-font-id: Default\n"
                                       "custom-font-name: Default\n" +
                                           dumpDocument(loaded->document)),
              "");
}

// The opened dump is the song as a document window holds it: ties made from the tones the file marks,
// what each bar has in force, and the runs of every formatted text.
TEST_F(DocumentParserTest, TovzDumpOpenedShowsTiesDerivedValuesAndTextRuns) {
    const QString ties = QStringLiteral(TOVRIN_TEST_FIXTURES "/rhythm/ties-and-signs.tovz");
    const ToolRun stored = runTovzDump({ties});
    const ToolRun opened = runTovzDump({QStringLiteral("--opened"), ties});
    ASSERT_TRUE(stored.finished && opened.finished);
    ASSERT_EQ(stored.status, 0) << stored.err;
    ASSERT_EQ(opened.status, 0) << opened.err;
    EXPECT_EQ(stored.out.find("tieRight=tone level"), std::string::npos);
    EXPECT_NE(opened.out.find("tieRight=tone level"), std::string::npos);
    EXPECT_EQ(stored.out.find("in force"), std::string::npos);
    // Bar 0 sets treble clef and 4/4; the next bar has them in force without setting them.
    EXPECT_NE(opened.out.find("in force clef=" + std::to_string(TOVSymbolClefG) +
                              " key=0 time=" + std::to_string(TOVSymbolTime4_4) + " drawn barlines left="),
              std::string::npos)
        << opened.out;

    RichSong song;
    TempDir dir;
    const std::filesystem::path path = dir.path() / "song.tovz";
    ASSERT_TRUE(TOVDocumentParser().saveTOVZDocumentToUrlFromDocument(path, song.d));
    const ToolRun rich = runTovzDump({QStringLiteral("--opened"), QString::fromStdString(path.string())});
    ASSERT_EQ(rich.status, 0) << rich.err;
    EXPECT_NE(rich.out.find("run name 0+"), std::string::npos) << rich.out;
    EXPECT_NE(rich.out.find("font=DejaVuSans-Bold"), std::string::npos) << rich.out;
    EXPECT_NE(rich.out.find("color=1,0,0,1 underline=1 strikethrough=2"), std::string::npos) << rich.out;
    EXPECT_NE(rich.out.find(" slash=1"), std::string::npos) << rich.out;

    // A store comes as its document opens it: a chord stored without a scale gets the one that fits its
    // frame, and nothing is cut to the time signatures or tied.
    const QString store = QStringLiteral(TOVRIN_TEST_FIXTURES "/../../fuzz/corpus/legacy_store/song.tovr");
    const ToolRun storeAsStored = runTovzDump({store});
    const ToolRun storeOpened = runTovzDump({QStringLiteral("--opened"), store});
    ASSERT_EQ(storeAsStored.status, 0) << storeAsStored.err;
    ASSERT_EQ(storeOpened.status, 0) << storeOpened.err;
    const auto lineWith = [](const std::string& dump, const std::string& part) {
        const std::size_t at = dump.find(part);
        if (at == std::string::npos) {
            return std::string();
        }
        const std::size_t start = dump.rfind('\n', at) + 1;
        return dump.substr(start, dump.find('\n', at) - start);
    };
    const std::string framed = "frame=\"{{10, -20}, {30, 15}}\"";
    EXPECT_NE(lineWith(storeAsStored.out, framed).find(" scale=- "), std::string::npos) << storeAsStored.out;
    const std::string chordOpened = lineWith(storeOpened.out, framed);
    const std::size_t scale = chordOpened.find(" scale=");
    ASSERT_NE(scale, std::string::npos) << storeOpened.out;
    EXPECT_GT(std::atof(chordOpened.c_str() + scale + 7), 0.0) << chordOpened;
    EXPECT_EQ(lineWith(storeOpened.out, "Objects Bar="), lineWith(storeAsStored.out, "Objects Bar="));
}

// Whatever the file, the tool ends with one line saying why it cannot be read and a status a shell takes
// for a plain failure: no crash, no hang, no endless unpacking.
TEST_F(DocumentParserTest, TovzDumpRefusesDamagedFilesInOneLine) {
    RichSong song;
    const Bytes good = *TOVDocumentParser().tovzDataFromDocument(song.d);
    Bytes cut(good.begin(), good.begin() + good.size() / 2);
    Bytes noise(4096);
    std::uint32_t seed = 12345;
    for (std::uint8_t& byte : noise) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 16);
    }
    Bytes gzipMagicThenNoise = noise;
    gzipMagicThenNoise[0] = 0x1F;
    gzipMagicThenNoise[1] = 0x8B;
    gzipMagicThenNoise[2] = 8;
    // More than the 64 MiB the reader unpacks, in a few tens of kilobytes.
    std::string bomb = "<?xml version=\"1.0\"?><tovrin>";
    bomb.resize((64u << 20) + 4096, ' ');
    const std::string notXml = "plain text, no gzip";
    struct Case {
        const char* what;
        std::optional<Bytes> content; // none: the path is not written
        bool folder = false;
    };
    const Case cases[] = {
        {"empty", Bytes{}},
        {"not gzip", Bytes(notXml.begin(), notXml.end())},
        {"cut short", cut},
        {"gzip header then noise", gzipMagicThenNoise},
        {"gzip of noise", *platform::gzipDeflate(noise)},
        {"gzip of no document", gzipped(file("<lines><line partition=\"2\"/></lines>"))},
        {"gzip bomb", gzipped(bomb)},
        {"missing", std::nullopt},
        {"folder", std::nullopt, true},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::filesystem::path path = dir.path() / (std::string(c.what) + ".tovz");
        if (c.content) {
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(c.content->data()),
                       static_cast<std::streamsize>(c.content->size()));
        } else if (c.folder) {
            std::filesystem::create_directory(path);
        }
        const ToolRun run = runTovzDump({QString::fromStdString(path.string())});
        ASSERT_TRUE(run.finished);
        EXPECT_TRUE(run.exitedNormally);
        EXPECT_GE(run.status, 1);
        EXPECT_LE(run.status, 127);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(run.err.ends_with("\n")) << run.err;
        EXPECT_NE(run.err.find(path.filename().string()), std::string::npos) << run.err;
    }
    // Without a file name it says how it is used.
    const ToolRun usage = runTovzDump({});
    ASSERT_TRUE(usage.finished);
    EXPECT_TRUE(usage.exitedNormally);
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(std::count(usage.err.begin(), usage.err.end(), '\n'), 1) << usage.err;
}

// ---- hostile files

std::string oneBar(const std::string& content) {
    return file("<pages><page a-page=\"10\"/></pages><lines><line partition=\"4\"/></lines>" +
                measureSets(1, content));
}

std::string pitch(long long level) {
    return "<pitch level=\"" + std::to_string(level) + "\"/>";
}

TEST_F(DocumentParserTest, HostileNumbersAreClampedToWhatTheSongCanDraw) {
    // Each row: a bar content, and what the bar then holds, as one line of text.
    struct Case {
        const char* what;
        std::string content;
        std::string expected;
    };
    const auto summary = [](const Bar* bar) {
        std::string out = "width " + platform::formatG(bar->width());
        for (const Chord* chord : bar->chordArray()) {
            out += "; chord scale " + platform::formatG(chord->scale());
        }
        for (const Symbol* symbol : bar->symbols()) {
            out += "; symbol scale " + platform::formatG(symbol->scale()) + " angle " +
                   platform::formatG(symbol->angle());
        }
        for (const Note* note : bar->noteArray()) {
            for (const NoteUnit* unit : note->unitArray()) {
                out += "; levels";
                for (const NoteTone* tone : unit->toneArray()) {
                    out += " " + std::to_string(tone->level());
                    for (const SymbolInNote* slur : tone->articulations()) {
                        out += " slur angle " + platform::formatG(slur->angle());
                    }
                }
            }
        }
        return out;
    };
    const Case cases[] = {
        // A width is read as written (the layout gives a bar of no positive width its share of the line).
        {"width -1", "", "width -520"},
        {"scale 1e39",
         "<chords><chord timing=\"0\" scale=\"1e39\"><chord-value step1=\"C\"/></chord></chords>",
         "width 130; chord scale 0"},
        {"symbol scale 1e39", "<symbols><symbol type=\"fine\" scale=\"1e39\"/></symbols>",
         "width 130; symbol scale 0 angle 0"},
        {"angle 1e39",
         "<harmonies><harmony timing=\"0\" duration=\"240\"><notes><pitch level=\"1\"><articulations><slur "
         "type=\"slur\" angle=\"1e39\"/></articulations></pitch></notes></harmony></harmonies>",
         "width 130; levels 1 slur angle 0"},
        {"level +-10^7",
         "<harmonies><harmony timing=\"0\" duration=\"240\"><notes>" + pitch(10000000) + pitch(-10000000) +
             pitch(3) + "</notes></harmony></harmonies>",
         "width 130; levels 286 3 -286"},
    };
    for (const Case& c : cases) {
        std::string xml = oneBar(c.content);
        if (std::string(c.what) == "width -1") {
            xml.replace(xml.find("width=\"0.25\""), 12, "width=\"-1\"");
        }
        auto loaded = loadXml(xml);
        ASSERT_TRUE(loaded->ok) << c.what << ": " << loaded->parser.failureReason();
        EXPECT_EQ(summary(onlyBar(*loaded)), c.expected) << c.what;
        EXPECT_TRUE(loaded->parser.loadNotices().empty()) << c.what;
    }

    // An over-long title is cut, and the load says so.
    const std::string longTitle(TOVDocumentParser::maxTextLength + 1000, 'x');
    auto titled =
        loadXml(file("<lines><song><title><formatted-texts><formatted-text><arbitrary-text>" + longTitle +
                     "</arbitrary-text></formatted-text></formatted-texts></title></song></lines>"));
    ASSERT_TRUE(titled->ok) << titled->parser.failureReason();
    EXPECT_EQ(titled->document->song()->name()->length(), TOVDocumentParser::maxTextLength);
    ASSERT_EQ(titled->parser.loadNotices().size(), 1u);
    EXPECT_NE(titled->parser.loadNotices()[0].find("1 text was longer"), std::string::npos);
}

TEST_F(DocumentParserTest, WhatABarCannotHoldIsLeftOutAtLoad) {
    std::string overlapping = "<harmonies>";
    for (int i = 0; i < 40; ++i) {
        // Ten quarters from 0 fill the bar's first 2400 ticks... only the first six fit the longest bar,
        // and every later one at a taken tick is left out.
        overlapping += "<harmony timing=\"" + std::to_string((i % 10) * 240) + "\" duration=\"240\"><notes>" +
                       pitch(i % 5) + "</notes></harmony>";
    }
    overlapping += "</harmonies>";
    std::string marks = "<symbols>";
    for (std::size_t i = 0; i < TOVDocumentParser::maxSymbolsInBar + 44; ++i) {
        marks += "<speed type=\"speed\">90</speed>";
    }
    marks += "</symbols>";
    std::string tones = "<harmonies><harmony timing=\"0\" duration=\"240\"><notes>";
    for (int i = 0; i < 20; ++i) {
        tones += pitch(i % 4);
    }
    tones += "</notes></harmony></harmonies>";
    std::string ticks = "<harmonies>";
    for (int i = 0; i < 10; ++i) {
        ticks += "<harmony timing=\"" + std::to_string(i) + "\" duration=\"1\"><notes>" + pitch(0) +
                 "</notes></harmony>";
    }
    ticks += "</harmonies>";
    struct Case {
        const char* what;
        std::string content;
        std::size_t notes;
        std::size_t symbols;
        std::size_t tones; // of the first unit
        std::size_t leftOut;
    };
    const Case cases[] = {
        {"notes on taken ticks", overlapping, 7, 0, 1, 33},
        {"marks past the bar's room", marks, 0, TOVDocumentParser::maxSymbolsInBar, 0, 44},
        {"tones at one level", tones, 1, 0, 4, 16},
        {"notes shorter than a 32nd", ticks, 0, 0, 0, 10},
        {"a chord past every bar",
         "<chords><chord timing=\"1680\"><chord-value step1=\"C\"/></chord></chords>", 0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        auto loaded = loadXml(oneBar(c.content));
        ASSERT_TRUE(loaded->ok) << c.what << ": " << loaded->parser.failureReason();
        const Bar* bar = onlyBar(*loaded);
        EXPECT_EQ(bar->noteArray().size(), c.notes) << c.what;
        EXPECT_EQ(bar->symbols().size(), c.symbols) << c.what;
        EXPECT_TRUE(bar->chordArray().empty()) << c.what;
        if (c.tones > 0) {
            EXPECT_EQ(bar->noteArray()[0]->firstUnit()->toneArray().size(), c.tones) << c.what;
        }
        ASSERT_EQ(loaded->parser.loadNotices().size(), 1u) << c.what;
        EXPECT_EQ(loaded->parser.loadNotices()[0].rfind(std::to_string(c.leftOut) + " notes", 0), 0u)
            << loaded->parser.loadNotices()[0];
    }
}

TEST_F(DocumentParserTest, ASongCutShortOrTooLargeIsRefusedSayingSo) {
    const std::string whole = oneBar("<harmonies><harmony timing=\"0\" duration=\"240\"><notes>" + pitch(0) +
                                     "</notes></harmony></harmonies>");
    // The document cut inside an intact gzip stream: anywhere after the root opened.
    const std::size_t harmonies = whole.find("<harmonies>");
    const std::string cut = whole.substr(0, harmonies + 20);
    const std::string cutAtTag = whole.substr(0, whole.find("</measure-sets>"));
    // The song split over two gzip members: each reads as a gzip stream.
    Bytes twoMembers = gzipped(whole.substr(0, harmonies));
    const Bytes rest = gzipped(whole.substr(harmonies));
    twoMembers.insert(twoMembers.end(), rest.begin(), rest.end());
    Bytes trailing = gzipped(whole);
    trailing.push_back(0);
    // Past the node cap: a document whose markup makes more nodes than a song may hold.
    std::string crowded = "<?xml version=\"1.0\"?><tovrin><history>";
    for (std::size_t i = 0; i < platform::XmlDocument::maxNodes / 4; ++i) {
        crowded += "<chord-value step1=\"C\" step2=\"m\" step3=\"9\"/>";
    }
    crowded += "</history></tovrin>";
    struct Case {
        const char* what;
        Bytes data;
        const char* reason;
    };
    const Case cases[] = {
        {"cut inside the harmonies", gzipped(cut), "cut short"},
        {"cut before the last closing tags", gzipped(cutAtTag), "cut short"},
        {"two gzip members", twoMembers, "cut short"},
        {"a byte after the stream", trailing, "cut short"},
        {"more nodes than the cap", gzipped(crowded), "too large"},
    };
    for (const Case& c : cases) {
        auto loaded = load(c.data);
        EXPECT_FALSE(loaded->ok) << c.what;
        EXPECT_NE(loaded->parser.failureReason().find(c.reason), std::string::npos)
            << c.what << ": " << loaded->parser.failureReason();
    }
    EXPECT_TRUE(loadXml(whole)->ok);
}

// A lead sheet of 10,000 bars as the writer lays it out (each bar with its clef, key, time and rehearsal
// mark, two chords and six notes, four bars to a line, ten lines to a page) stays inside the reader's caps.
TEST_F(DocumentParserTest, ASongOfTenThousandBarsIsWithinTheReadersCaps) {
    const std::string pitchOf = "<notes><pitch level=\"3\" head=\"normal\"/></notes>";
    std::string set =
        "<measure-set><part1 width=\"0.25\"><barline-left>transparent</barline-left>"
        "<barline-right>single</barline-right><clef type=\"clef-g\"/><key type=\"key-flat1\"/>"
        "<time type=\"time-4_4\"/><symbols><text-symbol type=\"reharsal\" x=\"-0.508475\" y=\"-2.54237\">"
        "<formatted-texts><formatted-text font-family=\"Helvetica-Bold\" font-size=\"26\" "
        "font-style=\"Normal\" "
        "font-weight=\"Bold\" color=\"#FF000000\" underline=\"0\" line-through=\"0\"><arbitrary-text>A"
        "</arbitrary-text></formatted-text></formatted-texts></text-symbol></symbols><chords>";
    for (const char* timing : {"0", "480"}) {
        set += std::string("<chord type=\"chord\" scale=\"1\" x=\"8.47458\" y=\"0.677966\" width=\"8.13559\" "
                           "height=\"2.71186\" timing=\"") +
               timing + "\"><chord-value step1=\"C\" step2=\"maj7\" step3=\"none\" base=\"none\"/></chord>";
    }
    set += "</chords><harmonies>";
    for (const char* unit :
         {"none\" timing=\"0\" duration=\"240", "begin\" timing=\"240\" duration=\"120",
          "end\" timing=\"360\" duration=\"120", "none\" timing=\"480\" duration=\"240",
          "begin\" timing=\"720\" duration=\"120", "end\" timing=\"840\" duration=\"120"}) {
        set += std::string("<harmony beam=\"") + unit +
               "\" stem-height=\"2.54237\" stem-direction=\"down\">" + pitchOf + "</harmony>";
    }
    set += "</harmonies></part1></measure-set>\n";
    std::string big =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<tovrin data-struct-version=\"1.5\"><pages>";
    for (int page = 0; page < 251; ++page) {
        big += "<page a-page=\"10\"/>\n";
    }
    big += "</pages><lines><song partition=\"1\" parts=\"1\" rows=\"1\"/>";
    for (int line = 0; line < 2500; ++line) {
        big += "<line partition=\"4\" parts=\"1\"/>\n";
    }
    big += "</lines><measure-sets>";
    for (int bar = 0; bar < 10000; ++bar) {
        big += set;
    }
    big += "</measure-sets></tovrin>\n";
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(big.data()), big.size());
    EXPECT_EQ(platform::XmlDocument::limitFault(bytes), std::nullopt) << big.size();
    // What the caps refuse, a save refuses too, by the same words.
    const std::vector<std::uint8_t> oversized(platform::XmlDocument::maxInputBytes + 1, ' ');
    EXPECT_NE(platform::XmlDocument::limitFault(oversized), std::nullopt);
}

TEST_F(DocumentParserTest, ASongTheReaderWouldRefuseIsNotSavedAndTheOldFileStays) {
    TempDir dir;
    const std::filesystem::path path = dir.path() / "song.tovz";
    const auto contentOf = [](const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    struct Case {
        const char* what;
        std::function<void(Document*)> spoil;
        const char* reason;
    };
    const Case cases[] = {
        {"a page of 13 slots", [](Document* d) { d->pageArray()[0]->setAPage(13); }, "line slots"},
        {"a page of 7 slots", [](Document* d) { d->pageArray()[0]->setAPage(7); }, "line slots"},
        {"a line of 9 bars", [](Document* d) { d->pageArray()[0]->lineArray()[1]->setPartition(9); },
         "divided into 9 bars"},
    };
    for (const Case& c : cases) {
        RichSong song;
        ASSERT_TRUE(TOVDocumentParser().saveTOVZDocumentToUrlFromDocument(path, song.d));
        const std::string before = contentOf(path);
        c.spoil(song.d);
        song.context->processPendingChanges();
        TOVDocumentParser parser;
        EXPECT_FALSE(parser.saveTOVZDocumentToUrlFromDocument(path, song.d)) << c.what;
        EXPECT_NE(parser.failureReason().find(c.reason), std::string::npos)
            << c.what << ": " << parser.failureReason();
        EXPECT_EQ(contentOf(path), before) << c.what;
    }
}

} // namespace
