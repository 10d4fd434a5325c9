#pragma once

// Songs entered as a musician enters them, through the model's own operations, for the songs kept under
// tests/fixtures; and stored songs read back as a document reads them.
#include "AllGlyphs.h"
#include "EditorViewLookups.h"
#include "FakeLayoutController.h"

#include "document/TOVDocumentParser.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Song.h"
#include "model/SymbolInNote.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteView.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace layouttest {

// The song in the editor's view tree, as a document window lays it out.
struct LaidOut {
    explicit LaidOut(Document* document) {
        controller.editor = editor.get();
        editor->setDelegate(&controller);
        editor->setDocData(document);
        editor->setFrame(platform::Rect(0, 0, TOVEditorView::kPageWidth, editor->heightOfPageColumn()));
    }
    ~LaidOut() { editor->setDocData(nullptr); }
    LaidOut(const LaidOut&) = delete;
    LaidOut& operator=(const LaidOut&) = delete;

    TOVNoteView* viewOf(const Note* note) const {
        for (TOVNoteView* view : layouttest::viewsInEditor<TOVNoteView>(*editor)) {
            if (view->note() == note) {
                return view;
            }
        }
        return nullptr;
    }
    TOVNoteToneCell* cellOf(const NoteTone* tone) const {
        TOVNoteView* view = viewOf(tone->note());
        return view ? view->toneCellOfData(tone) : nullptr;
    }

    layouttest::FakeLayoutController controller;
    std::shared_ptr<TOVEditorView> editor = std::make_shared<TOVEditorView>(platform::Rect(0, 0, 595, 842));
};

// A song being entered: single lines of the bars given under a header slot, treble clef, C major, 4/4. Notes
// go in as a musician enters them; the signs that hang on tones (accidentals, articulations, slurs) go on
// once the song is laid out, where a drop from the palette would put them.
class SongWriter {
public:
    // One page: a header slot, then single lines of the bars given.
    SongWriter(const char* name, const std::vector<int>& barsPerLine)
        : SongWriter(name, {onePage(barsPerLine)}) {}

    // The pages as given (lines with their bars, single or double), treble clef, C major, 4/4.
    SongWriter(const char* name, const std::vector<tovtest::PageSpec>& pages, bool doubleRow = false)
        : context_(tovtest::makeSongContext()) {
        document_ = tovtest::makeLayout(*context_, pages);
        // Bars share their line's width evenly.
        std::uint64_t num = 0;
        for (const tovtest::PageSpec& page : pages) {
            for (const tovtest::LineSpec& line : page.lines) {
                for (int i = 0; i < line.bars; ++i, ++num) {
                    bar(num)->setWidth(4 * 130.0 / line.bars);
                    if (line.isDouble) {
                        bar(num, true)->setWidth(4 * 130.0 / line.bars);
                    }
                }
            }
        }
        Song* song = document_->createNewSong();
        song->setName(platform::AttributedString(name));
        song->setIsDoubleRow(doubleRow);
        bar(0)->setClefType(TOVSymbolClefG);
        bar(0)->setTimeType(TOVSymbolTime4_4);
        context_->processPendingChanges();
    }

    Document* document() const { return document_; }
    platform::ManagedObjectContext& context() const { return *context_; }
    // The bar of a single or upper line, or its twin in the lower line.
    Bar* bar(std::uint64_t num, bool lower = false) const { return tovtest::findBar(document_, num, lower); }

    // A note, chord (several levels) or, without levels, a rest; the stem down when asked.
    Note* note(std::uint64_t num, std::uint64_t from, std::uint64_t length, std::vector<std::int64_t> levels,
               bool down = false) {
        Note* made = levels.empty() ? bar(num)->createNewSingleRestFromLength(from, length)
                                    : bar(num)->createNewSingleMeloFromLengthLevel(from, length, levels[0]);
        context_->processPendingChanges();
        for (std::size_t i = 1; i < levels.size(); ++i) {
            made->firstUnit()->createNewToneWithLevel(levels[i]);
        }
        made->setFlip(down);
        context_->processPendingChanges();
        return made;
    }
    Note* rest(std::uint64_t num, std::uint64_t from, std::uint64_t length) {
        return note(num, from, length, {});
    }
    // A slash or one-beat slash, in the lower line of a double line when asked.
    Note* slash(std::uint64_t num, std::uint64_t from, std::uint64_t length, bool lower = false) {
        Note* made = bar(num, lower)->createNewSingleSlashFromLength(from, length);
        context_->processPendingChanges();
        return made;
    }
    Note* beatSlash(std::uint64_t num, std::uint64_t from, bool lower = false) {
        Note* made = bar(num, lower)->createNewBeatSlashFrom(from);
        context_->processPendingChanges();
        return made;
    }
    // Single notes of the lengths and levels from the position, then beamed together.
    Note* beam(std::uint64_t num, std::uint64_t from, const std::vector<std::uint64_t>& lengths,
               const std::vector<std::int64_t>& levels, bool down = false) {
        std::vector<Note*> singles;
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            singles.push_back(note(num, from, lengths[i], {levels[i]}, down));
            from += lengths[i];
        }
        Note* beamed = bar(num)->makeBeamOn(singles);
        EXPECT_NE(beamed, nullptr) << "bar " << num;
        return beamed;
    }
    // A triplet (three lengths) or sextuplet (six), its tones moved to the levels.
    Note* tuplet(std::uint64_t num, std::uint64_t from, const std::vector<std::uint64_t>& lengths,
                 const std::vector<std::int64_t>& levels, bool down = false) {
        Note* made = lengths.size() == 3
                         ? bar(num)->createNewTripletFromLengthUnitsLevelKind(from, lengths, levels[0], 0)
                         : bar(num)->createNewSextupletFromLengthUnitsLevelKind(from, lengths, levels[0], 0);
        EXPECT_NE(made, nullptr) << "bar " << num;
        const std::vector<NoteUnit*> units = made->unitArray();
        for (std::size_t i = 0; i < units.size() && i < levels.size(); ++i) {
            units[i]->toneArray().front()->setLevel(levels[i]);
        }
        made->setFlip(down);
        context_->processPendingChanges();
        return made;
    }
    static NoteTone* tone(const Note* note, std::size_t unit = 0, std::size_t index = 0) {
        return note->unitArray().at(unit)->toneArray().at(index);
    }
    // Ties every tone of the unit to the same pitch in the next unit or note, once that is entered.
    void tie(const Note* note, std::size_t unit = 0) {
        ties_.push_back([=] {
            for (NoteTone* each : note->unitArray().at(unit)->toneArray()) {
                EXPECT_NE(each->createNewTie(), nullptr);
            }
        });
    }

    // Signs on tones, put on when the song is done.
    void accidental(const Note* note, int type, std::size_t unit = 0, std::size_t index = 0) {
        signs_.push_back([=](const LaidOut& view) {
            NoteTone* t = tone(note, unit, index);
            const TOVNoteToneCell* cell = view.cellOf(t);
            ASSERT_NE(cell, nullptr);
            t->createNewAccidentalWithTypeFrame(type,
                                                platform::Rect(cell->defaultPosOfAccidentalView(type), {}));
        });
    }
    void articulation(const Note* note, int type, std::size_t unit = 0) {
        signs_.push_back([=](const LaidOut& view) {
            NoteTone* t = tone(note, unit, 0);
            const TOVNoteToneCell* cell = view.cellOf(t);
            ASSERT_NE(cell, nullptr);
            t->createNewArticulationWithTypeFrame(
                type, platform::Rect(cell->defaultPosOfArticulationView(type), {}));
        });
    }
    // A slur from the first tone of a unit to the first tone of a later unit, on the side away from the
    // stems (below stems up, above stems down), clear of the heads and of staccato dots, turned to follow
    // the line from its first head to its last, as a user stretches and turns it after the drop.
    void slur(const Note* from, std::size_t fromUnit, const Note* to, std::size_t toUnit) {
        signs_.push_back([=](const LaidOut& view) {
            NoteTone* first = tone(from, fromUnit, 0);
            NoteTone* last = tone(to, toUnit, 0);
            const TOVNoteToneCell* a = view.cellOf(first);
            const TOVNoteToneCell* b = view.cellOf(last);
            ASSERT_NE(a, nullptr);
            ASSERT_NE(b, nullptr);
            // The tones' own origins (left of the head, at its centre) in editor coordinates.
            auto inEditor = [&](const TOVNoteToneCell* cell) {
                return cell->noteView()->convertPointToView(cell->convertPointToNoteView({0, 0}),
                                                            view.editor.get());
            };
            const platform::Point pa = inEditor(a);
            const platform::Point pb = inEditor(b);
            const bool above = from->flip();
            // The ends, in the first tone's data coordinates: over the middle of each head.
            const double endY = above ? -10.0 : 5.0;
            const platform::Point p1{3.5, endY};
            const platform::Point p2{pb.x - pa.x + 3.5, pb.y - pa.y + endY};
            const double dx = p2.x - p1.x;
            const double dy = p2.y - p1.y;
            const double span = std::hypot(dx, dy);
            const double c = dx / span;
            const double sn = dy / span;
            constexpr double kMargin = 2.0; // the band's room at its ends
            const double width = span + 2 * kMargin;
            const double height = std::min(10.0, 4.0 + 0.06 * span);
            // The ends lie on the band's bottom edge for a slur above, on its top edge for one below; the
            // view turns about its origin.
            const double localY = above ? height : 0.0;
            const platform::Point origin{p1.x - (kMargin * c - localY * sn),
                                         p1.y - (kMargin * sn + localY * c)};
            SymbolInNote* made = first->createNewArticulationWithTypeFrame(
                TOVSymbolSlur, platform::Rect(origin.x, origin.y, width, height));
            ASSERT_NE(made, nullptr);
            made->setFlip(above);
            made->setAngle(std::atan2(dy, dx) * 180.0 / M_PI);
        });
    }

    // Something to do once the song is laid out, where the views tell where things go.
    void onceLaidOut(std::function<void(const LaidOut&)> step) { signs_.push_back(std::move(step)); }

    // Lays the song out and puts the signs on; answers the document.
    Document* finish() {
        for (const auto& tie : ties_) {
            tie();
        }
        {
            layouttest::AllGlyphs glyphs;
            LaidOut view(document_);
            for (const auto& sign : signs_) {
                sign(view);
            }
        }
        context_->processPendingChanges();
        return document_;
    }

private:
    static tovtest::PageSpec onePage(const std::vector<int>& barsPerLine) {
        tovtest::PageSpec page{10, {{0, 0, false}}};
        for (int bars : barsPerLine) {
            page.lines.push_back({static_cast<std::uint64_t>(bars), bars, false});
        }
        return page;
    }

    std::unique_ptr<platform::ManagedObjectContext> context_;
    Document* document_ = nullptr;
    std::vector<std::function<void()>> ties_;
    std::vector<std::function<void(const LaidOut&)>> signs_;
};

// A stored song read into a context of its own.
struct Loaded {
    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    Document* document = nullptr;
    bool ok = false;

    explicit Loaded(const std::filesystem::path& file) {
        document = context->insertNewObject<Document>("Document");
        context->processPendingChanges();
        TOVDocumentParser parser;
        ok = parser.loadTOVZDocumentFromUrlToDocument(file, document);
        // As a document does after reading its file.
        document->truncateDataByTimeSignature();
        document->completeTie();
        context->processPendingChanges();
    }
};

} // namespace layouttest
