#include "BenchSong.h"

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
#include "model/TOVChordElems.h"
#include "model/TOVManagedObjectModel.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/AttributedString.h"

#include <QTemporaryDir>

#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace benchsong {

namespace {

constexpr std::uint64_t kBarsPerLine = 4;
constexpr std::uint64_t kLinesPerPage = 10;
constexpr double kBarWidth = 130.0;

// Roots as chord codes (C, F, G, D, A, E, B, Bb, Eb) and qualities (maj7, m7, 7, m, major).
constexpr std::array<int, 9> kRoots{0, 7, 10, 3, 13, 6, 16, 15, 5};
constexpr std::array<int, 5> kQualities{6, 7, 3, 1, 12};
constexpr std::array<int, 5> kQualityLetters{4, 2, 1, 1, 0};

platform::AttributedString boldText(const QString& text, double size) {
    platform::TextAttributes attributes;
    attributes.font = platform::TextFont{QStringLiteral("Helvetica-Bold"), size};
    return platform::AttributedString(text, attributes);
}

// The steps C D E F G A B on the treble staff: level 0 is the middle line (B4); the tunes sit an octave up.
std::int64_t levelOfStep(int step) {
    return 7 + step - 6;
}

void fillBar(Bar* bar, std::uint64_t b) {
    platform::ManagedObjectContext* context = bar->managedObjectContext();
    if (b == 0) {
        bar->setClefType(TOVSymbolClefG);
        bar->setKeyType(TOVSymbolKeyFlat1);
        bar->setTimeType(TOVSymbolTime4_4);
    }
    if (b % 8 == 0) {
        SymbolText* mark =
            bar->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, platform::Rect(-3.0, -15.0, 0, 0));
        mark->setText(boldText(QString(QChar('A' + static_cast<int>((b / 8) % 26))), 18));
    }
    std::map<std::int64_t, int> inForce; // level -> alteration after an accidental in this bar
    for (std::uint64_t half = 0; half < 2; ++half) {
        const std::uint64_t i = b * 2 + half;
        const int quality = static_cast<int>(i % kQualities.size());
        TOVChordElems elems;
        elems.elemStep1 = kRoots[i % kRoots.size()];
        elems.elemStep2 = kQualities[quality];
        const std::uint64_t timing = half * 480;
        Chord* chord = bar->createNewChordWithElemsTiming(elems, timing);
        const double x = b == 0 ? (half == 0 ? 50.0 : 92.0) : 6.0 + double(timing) * 0.115;
        // Written as its natural size at scale 1, as a chord view would have measured it.
        const platform::Size size{20.0 + 7.0 * kQualityLetters[quality], 16.0};
        chord->setInitialSize(size);
        chord->setScale(1.0);
        chord->setFrame(platform::Rect({x, 4.0}, size));
        // A quarter and two beamed eighths, all above the middle line, so stems down.
        std::vector<Note*> eighths;
        const std::array<std::uint64_t, 3> lengths{240, 120, 120};
        const std::array<int, 3> offsets{2, 1, 1};
        std::uint64_t from = timing;
        for (std::size_t n = 0; n < lengths.size(); ++n) {
            const int step = static_cast<int>((b + half + offsets[n]) % 7);
            const std::int64_t level = levelOfStep(step);
            Note* note = bar->createNewSingleMeloFromLengthLevel(from, lengths[n], level);
            note->setFlip(true);
            context->processPendingChanges();
            const int inKey = step == 6 ? -1 : 0; // B flat in F major
            const auto found = inForce.find(level);
            if ((found == inForce.end() ? inKey : found->second) != 0) {
                NoteTone* tone = note->firstUnit()->toneArray().front();
                tone->createNewAccidentalWithTypeFrame(TOVSymbolNatural, platform::Rect(-4.2, -6.8, 0, 0));
                inForce[level] = 0;
            }
            if (n > 0) {
                eighths.push_back(note);
            }
            from += lengths[n];
        }
        bar->makeBeamOn(eighths);
    }
}

} // namespace

Document* makeBenchSong(platform::ManagedObjectContext& context, std::uint64_t bars) {
    auto* document = context.insertNewObject<Document>("Document");
    document->createNewSong()->setName(boldText(QStringLiteral("Bench Song"), 24));
    const std::uint64_t lineCount = (bars + kBarsPerLine - 1) / kBarsPerLine;
    Page* page = document->createNewPageWithNumberAPage(0, kLinesPerPage);
    page->createNewLineWithPartitionFirstBarlineType(0, 0);
    std::uint64_t usedSlots = 1; // the header line
    std::uint64_t pageNumber = 0;
    std::uint64_t num = 0;
    for (std::uint64_t l = 0; l < lineCount; ++l) {
        if (usedSlots == kLinesPerPage) {
            page = document->createNewPageWithNumberAPage(++pageNumber, kLinesPerPage);
            usedSlots = 0;
        }
        Line* line = page->createNewLineWithPartitionFirstBarlineType(
            kBarsPerLine, l == 0 ? TOVBarlineTransparent : TOVBarlineSingle);
        ++usedSlots;
        for (std::uint64_t i = 0; i < kBarsPerLine && num < bars; ++i) {
            Bar* bar = line->createNewBarWithNumberWidthBarlineType(num, kBarWidth, TOVBarlineSingle);
            context.processPendingChanges();
            fillBar(bar, num++);
        }
    }
    context.processPendingChanges();
    return document;
}

bool writeBenchSong(std::uint64_t bars, const std::filesystem::path& folder) {
    platform::ManagedObjectContext context(TOVManagedObjectModel::sharedModel());
    context.undoManager().disableUndoRegistration();
    const Document* document = makeBenchSong(context, bars);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return TOVDocumentParser().saveTOVZDocumentToUrlFromDocument(
        folder / ("lead" + std::to_string(bars) + ".tovz"), document);
}

std::filesystem::path benchSongFile(std::uint64_t bars) {
    const std::string name = "lead" + std::to_string(bars) + ".tovz";
    if (const char* songs = std::getenv("TOVRIN_SONGS")) {
        const std::filesystem::path made = std::filesystem::path(songs) / name;
        std::error_code error;
        if (std::filesystem::is_regular_file(made, error)) {
            return made;
        }
    }
    static const std::unique_ptr<QTemporaryDir> folder = std::make_unique<QTemporaryDir>();
    const std::filesystem::path file = std::filesystem::path(folder->path().toStdString()) / name;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error) && !writeBenchSong(bars, file.parent_path())) {
        return {};
    }
    return file;
}

} // namespace benchsong
