#include "NoteGlyphFonts.h"
#include "glyphs/TOVObjectView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNoteArticulationView.h"
#include "notation/TOVNotePreview.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVNoteViewFactory.h"
#include "notation/TOVNoteViewLibrary.h"
#include "notation/TOVSlurView.h"
#include "support/SongBuilder.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

using notationtest::NoteGlyphFonts;
using platform::BezierPath;
using platform::Rect;

namespace {

using NoteGlyphFactoryTest = NoteGlyphFonts;

// The length tables: head, slash head, rest and flag of every length the notation uses, and a few it
// does not.
struct LengthRow {
    std::uint64_t length;
    const char* head;
    const char* slash;
    const char* rest;
    const char* flag;
};

const LengthRow kLengthRows[] = {
    {30, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu32", "OnpuHata32"},
    {40, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu16", "OnpuHata16"},
    {60, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu16", "OnpuHata16"},
    {90, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu16", "OnpuHata16"},
    {80, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu8", "OnpuHata8"},
    {120, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu8", "OnpuHata8"},
    {180, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu8", "OnpuHata8"},
    {210, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu8", "OnpuHata8"},
    {160, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu4", nullptr},
    {240, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu4", nullptr},
    {360, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu4", nullptr},
    {420, "OnpuTamaKuro", "SlashTamaKuro", "Kyuuhu4", nullptr},
    {320, "OnpuTama2", "SlashTamaShiro", "Kyuuhu2", nullptr},
    {480, "OnpuTama2", "SlashTamaShiro", "Kyuuhu2", nullptr},
    {720, "OnpuTama2", "SlashTamaShiro", "Kyuuhu2", nullptr},
    {840, "OnpuTama2", "SlashTamaShiro", "Kyuuhu2", nullptr},
    {640, "OnpuTamaZen", "SlashTamaZen", "KyuuhuZen", nullptr},
    {960, "OnpuTamaZen", "SlashTamaZen", "KyuuhuZen", nullptr},
    // Lengths in no row: the black heads, no rest, no flag.
    {20, "OnpuTamaKuro", "SlashTamaKuro", nullptr, nullptr},
    {241, "OnpuTamaKuro", "SlashTamaKuro", nullptr, nullptr},
    {1920, "OnpuTamaKuro", "SlashTamaKuro", nullptr, nullptr},
};

std::string fromDefault(const char* key) {
    return key ? std::string("Default:") + key : std::string("none");
}

TEST_F(NoteGlyphFactoryTest, LengthsChooseHeadsRestsAndFlags) {
    writeAllDefault();
    TOVNoteViewLibrary library("Default");
    for (const auto& row : kLengthRows) {
        SCOPED_TRACE(row.length);
        EXPECT_EQ(glyphOf(library.bezierPathForToneHeadOfLength(row.length)), fromDefault(row.head));
        EXPECT_EQ(glyphOf(library.bezierPathForSlashHeadOfLength(row.length)), fromDefault(row.slash));
        EXPECT_EQ(glyphOf(library.bezierPathForRestOfLength(row.length)), fromDefault(row.rest));
        EXPECT_EQ(glyphOf(library.bezierPathFlagForLengthFlip(row.length, false)), fromDefault(row.flag));
        EXPECT_EQ(glyphOf(library.bezierPathFlagForLengthFlip(row.length, true)), fromDefault(row.flag));
    }
}

TEST_F(NoteGlyphFactoryTest, UnitKindsChooseTheTableAndLengthZeroAsksNoLibrary) {
    writeAllDefault();
    TOVNoteViewFactory factory;
    factory.installPluginFontID("Default");

    tovtest::TestSong song;
    Bar* bar = song.document->pageArray().front()->lineArray().at(1)->barArray().front();
    Note* melody = bar->createNewSingleMeloFromLengthLevel(0, 480, 2);
    Note* rest = bar->createNewSingleRestFromLength(480, 240);
    Note* slash = bar->createNewSingleSlashFromLength(720, 240);
    song.context->processPendingChanges();
    ASSERT_TRUE(melody && rest && slash);

    EXPECT_EQ(glyphOf(factory.bezierPathFromUnitLengthFontID(melody->firstUnit(), 480, "Default")),
              "Default:OnpuTama2");
    EXPECT_EQ(glyphOf(factory.bezierPathFromUnitLengthFontID(rest->firstUnit(), 480, "Default")),
              "Default:Kyuuhu2");
    EXPECT_EQ(glyphOf(factory.bezierPathFromUnitLengthFontID(slash->firstUnit(), 480, "Default")),
              "Default:SlashTamaShiro");
    // The length, not the unit's own duration, chooses the glyph.
    EXPECT_EQ(glyphOf(factory.bezierPathFromUnitLengthFontID(melody->firstUnit(), 960, "Default")),
              "Default:OnpuTamaZen");
    // Heads have a default row, so only the guard on 0 can answer nothing here.
    EXPECT_EQ(glyphOf(factory.bezierPathFromUnitLengthFontID(melody->firstUnit(), 0, "Default")), "none");
    EXPECT_EQ(glyphOf(factory.bezierPathFromUnitLengthFontID(slash->firstUnit(), 0, "Default")), "none");
}

TEST_F(NoteGlyphFactoryTest, FlippedFlagsHangIntoNegativeYAtTheSameX) {
    writeAllDefault();
    TOVNoteViewLibrary library("Default");
    const auto up = library.bezierPathFlagForLengthFlip(120, false);
    const auto down = library.bezierPathFlagForLengthFlip(120, true);
    ASSERT_TRUE(up && down);
    EXPECT_EQ(up->bounds(), Rect(0, 0, fileWidth("OnpuHata8") * kScale, kGlyphHeight * kScale));
    EXPECT_EQ(down->bounds(),
              Rect(0, -kGlyphHeight * kScale, fileWidth("OnpuHata8") * kScale, kGlyphHeight * kScale));
    // The mirrored copy leaves the prototype alone.
    EXPECT_EQ(library.bezierPathFlagForLengthFlip(120, false)->bounds(), up->bounds());
}

TEST_F(NoteGlyphFactoryTest, DotsFollowTheDottedLengthsOnly) {
    TOVNoteViewFactory factory;
    const Rect first(0, 0, 2, 2);
    const Rect second(4, 0, 2, 2);
    struct Case {
        std::uint64_t length;
        std::vector<Rect> dots;
    };
    const Case cases[] = {{90, {first}},
                          {180, {first}},
                          {360, {first}},
                          {720, {first}},
                          {210, {first, second}},
                          {420, {first, second}},
                          {840, {first, second}},
                          {240, {}},
                          {0, {}},
                          {60, {}},
                          {1440, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const auto dots = factory.bezierPathDotCircleOfLength(c.length);
        if (c.dots.empty()) {
            EXPECT_FALSE(dots);
            continue;
        }
        ASSERT_TRUE(dots);
        BezierPath expected;
        for (const auto& r : c.dots) {
            expected.appendOvalInRect(r);
        }
        EXPECT_EQ(dots->elements(), expected.elements());
    }
    // Each answer is a new path: changing one does not change the next.
    factory.bezierPathDotCircleOfLength(90)->translate(10, 10);
    EXPECT_EQ(factory.bezierPathDotCircleOfLength(90)->bounds(), first);
}

// Which font answers each lookup, for a plug-in font that has some glyphs, for one that was never
// installed, and for a glyph that neither font has.
TEST_F(NoteGlyphFactoryTest, EveryLookupFallsBackToDefaultGlyphByGlyph) {
    writeAllDefault();
    for (const char* key : {"OnpuTama2", "Kyuuhu8", "OnpuHata16", "HenkaSharpX1", "ArticulationFermata"}) {
        writePlugin("Plug", key);
    }
    std::filesystem::remove(folder_.path() / "resources/KyuuhuZen.svg");
    TOVNoteViewFactory factory;
    factory.installPluginFontID("Default");
    factory.installPluginFontID("Plug");

    auto outline = [](const std::shared_ptr<TOVObjectView>& view) {
        return view ? std::optional<BezierPath>(view->bezierPath()) : std::optional<BezierPath>();
    };
    using F = const TOVNoteViewFactory&;
    using S = const std::string&;
    auto head480 = [](F f, S id) { return glyphOf(f.bezierPathFromUnitLengthFontID(nullptr, 480, id)); };
    auto head240 = [](F f, S id) { return glyphOf(f.bezierPathFromUnitLengthFontID(nullptr, 240, id)); };
    auto flag60 = [](F f, S id) { return glyphOf(f.bezierPathFlagForLengthFlipFontID(60, true, id)); };
    auto flag120 = [](F f, S id) { return glyphOf(f.bezierPathFlagForLengthFlipFontID(120, false, id)); };
    auto sharp = [outline](F f, S id) {
        return glyphOf(outline(f.accidentalViewWithSymbolTypeFontID(TOVSymbolSharp, id)));
    };
    auto natural = [outline](F f, S id) {
        return glyphOf(outline(f.accidentalViewWithSymbolTypeFontID(TOVSymbolNatural, id)));
    };
    auto fermata = [outline](F f, S id) {
        return glyphOf(outline(f.articulationViewWithSymbolTypeFontID(TOVSymbolFermata, id)));
    };
    auto staccato = [outline](F f, S id) {
        return glyphOf(outline(f.articulationViewWithSymbolTypeFontID(TOVSymbolStaccato, id)));
    };
    const struct {
        const char* what;
        std::function<std::string(F, S)> lookup;
        const char* plugin;
        const char* missing;
        const char* defaultFont;
    } rows[] = {
        {"half head", head480, "plug-in:OnpuTama2", "Default:OnpuTama2", "Default:OnpuTama2"},
        {"black head", head240, "Default:OnpuTamaKuro", "Default:OnpuTamaKuro", "Default:OnpuTamaKuro"},
        {"sixteenth flag", flag60, "plug-in:OnpuHata16", "Default:OnpuHata16", "Default:OnpuHata16"},
        {"eighth flag", flag120, "Default:OnpuHata8", "Default:OnpuHata8", "Default:OnpuHata8"},
        {"sharp", sharp, "plug-in:HenkaSharpX1", "Default:HenkaSharpX1", "Default:HenkaSharpX1"},
        {"natural", natural, "Default:HenkaNatural", "Default:HenkaNatural", "Default:HenkaNatural"},
        {"fermata", fermata, "plug-in:ArticulationFermata", "Default:ArticulationFermata",
         "Default:ArticulationFermata"},
        {"staccato", staccato, "Default:ArticulationStaccato", "Default:ArticulationStaccato",
         "Default:ArticulationStaccato"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.lookup(factory, "Plug"), row.plugin);
        EXPECT_EQ(row.lookup(factory, "NeverInstalled"), row.missing);
        EXPECT_EQ(row.lookup(factory, "Default"), row.defaultFont);
    }
    // Rests through a unit: the plug-in's eighth rest, and nothing where "Default" lacks the glyph too.
    tovtest::TestSong song;
    Bar* bar = song.document->pageArray().front()->lineArray().at(1)->barArray().front();
    Note* rest = bar->createNewSingleRestFromLength(0, 120);
    song.context->processPendingChanges();
    EXPECT_EQ(glyphOf(factory.bezierPathFromUnitLengthFontID(rest->firstUnit(), 120, "Plug")),
              "plug-in:Kyuuhu8");
    EXPECT_EQ(glyphOf(factory.bezierPathFromUnitLengthFontID(rest->firstUnit(), 960, "Plug")), "none");
    // Types outside the tables answer nothing from any font.
    EXPECT_FALSE(factory.accidentalViewWithSymbolTypeFontID(TOVSymbolNatural + 1, "Plug"));
    EXPECT_FALSE(factory.accidentalViewWithSymbolTypeFontID(TOVSymbolTenuto, "Default"));
    EXPECT_FALSE(factory.articulationViewWithSymbolTypeFontID(TOVSymbolSlur + 1, "Plug"));
    EXPECT_FALSE(factory.articulationViewWithSymbolTypeFontID(TOVSymbolSharp, "Default"));
    // A factory without "Default" answers what the font has and nothing else.
    TOVNoteViewFactory bare;
    bare.installPluginFontID("Plug");
    EXPECT_EQ(glyphOf(bare.bezierPathFromUnitLengthFontID(nullptr, 480, "Plug")), "plug-in:OnpuTama2");
    EXPECT_EQ(glyphOf(bare.bezierPathFromUnitLengthFontID(nullptr, 240, "Plug")), "none");
}

TEST_F(NoteGlyphFactoryTest, SymbolTypesGiveCopiesOfTheirOwnViewClasses) {
    writeAllDefault();
    TOVNoteViewLibrary library("Default");
    const struct {
        int type;
        const char* key;
    } articulations[] = {
        {TOVSymbolTenuto, "ArticulationTenuto"},   {TOVSymbolStaccato, "ArticulationStaccato"},
        {TOVSymbolFermata, "ArticulationFermata"}, {TOVSymbolAccento, "ArticulationAccento"},
        {TOVSymbolMarcato, "ArticulationMarcato"}, {TOVSymbolArpeggio, "ArticulationS"}};
    for (const auto& a : articulations) {
        SCOPED_TRACE(a.type);
        const auto view = library.articulationViewWithSymbolType(a.type);
        ASSERT_TRUE(view);
        EXPECT_TRUE(std::dynamic_pointer_cast<TOVNoteArticulationView>(view));
        EXPECT_EQ(glyphOf(view->bezierPath()), fromDefault(a.key));
        EXPECT_EQ(view->frame().size, view->bezierPath()->bounds().size);
    }
    const struct {
        int type;
        const char* key;
    } accidentals[] = {{TOVSymbolSharp, "HenkaSharpX1"},
                       {TOVSymbolDoubleSharp, "HenkaSharpX2"},
                       {TOVSymbolFlat, "HenkaFlatX1"},
                       {TOVSymbolDoubleFlat, "HenkaFlatX2"},
                       {TOVSymbolNatural, "HenkaNatural"}};
    for (const auto& a : accidentals) {
        SCOPED_TRACE(a.type);
        const auto view = library.accidentalViewWithSymbolType(a.type);
        ASSERT_TRUE(view);
        EXPECT_EQ(glyphOf(view->bezierPath()), fromDefault(a.key));
    }
    // The slur draws itself: it is there without a file, as a slur view with an empty frame.
    std::filesystem::remove(folder_.path() / "resources/ArticulationSlur.svg");
    TOVNoteViewLibrary withoutSlurFile("Default");
    const auto slur = withoutSlurFile.articulationViewWithSymbolType(TOVSymbolSlur);
    ASSERT_TRUE(std::dynamic_pointer_cast<TOVSlurView>(slur));
    EXPECT_EQ(slur->frame(), Rect());
    EXPECT_FALSE(slur->bezierPath());

    // Views handed out are copies: moving one's outline leaves the prototype and later copies alone.
    auto sharp = library.accidentalViewWithSymbolType(TOVSymbolSharp);
    sharp->bezierPath()->translate(50, 50);
    sharp->setFrame(Rect(1, 2, 3, 4));
    EXPECT_EQ(library.accidentalViewWithSymbolType(TOVSymbolSharp)->bezierPath()->bounds().origin,
              platform::Point());
    EXPECT_NE(library.accidentalViewWithSymbolType(TOVSymbolSharp).get(),
              library.dictViewAccidental().at("HenkaSharpX1").get());
    EXPECT_EQ(library.dictViewAccidental().at("HenkaSharpX1")->frame().origin, platform::Point());
}

TEST_F(NoteGlyphFactoryTest, MissingFilesLeaveTheirKeysOut) {
    writeAllDefault();
    std::filesystem::remove(folder_.path() / "resources/OnpuHata32.svg");
    std::filesystem::remove(folder_.path() / "resources/HenkaFlatX2.svg");
    std::filesystem::remove(folder_.path() / "resources/ArticulationS.svg");
    TOVNoteViewLibrary library("Default");
    EXPECT_EQ(library.dictViewGeneral().size(), TOVNoteViewLibrary::generalKeys().size() - 1);
    EXPECT_FALSE(library.dictViewGeneral().count("OnpuHata32"));
    EXPECT_EQ(library.dictViewAccidental().size(), 4u);
    EXPECT_FALSE(library.dictViewAccidental().count("HenkaFlatX2"));
    EXPECT_EQ(library.dictViewArticulation().size(), 6u);
    EXPECT_FALSE(library.dictViewArticulation().count("ArticulationS"));
    EXPECT_FALSE(library.bezierPathFlagForLengthFlip(30, false));
    EXPECT_FALSE(library.accidentalViewWithSymbolType(TOVSymbolDoubleFlat));
    EXPECT_FALSE(library.articulationViewWithSymbolType(TOVSymbolArpeggio));

    // A font with no files at all still has its slur and its preview (the built-in head).
    TOVNoteViewLibrary empty("NoSuchFont");
    EXPECT_TRUE(empty.dictViewGeneral().empty());
    EXPECT_TRUE(empty.dictViewAccidental().empty());
    EXPECT_EQ(empty.dictViewArticulation().size(), 1u);
    ASSERT_TRUE(empty.notePreview());
    EXPECT_EQ(glyphOf(empty.notePreview()->bezierPath()), "Default:OnpuTamaKuro");
}

TEST_F(NoteGlyphFactoryTest, ThePreviewAndHalfFlagsUseTheBuiltInHeadInEveryFont) {
    writeAllDefault();
    writePlugin("Plug", "OnpuTamaKuro");
    TOVNoteViewFactory factory;
    factory.installPluginFontID("Default");
    factory.installPluginFontID("Plug");

    const double head = fileWidth("OnpuTamaKuro") * kScale;
    for (const char* font : {"Default", "Plug", "NeverInstalled"}) {
        SCOPED_TRACE(font);
        const auto preview = factory.tonePreviewForDraggingWithFontID(font);
        ASSERT_TRUE(preview);
        EXPECT_EQ(glyphOf(preview->bezierPath()), "Default:OnpuTamaKuro");
        EXPECT_EQ(preview->frame(), Rect(0, 0, head + 2.0, kGlyphHeight * kScale));
        EXPECT_EQ(preview->bezierPath()->bounds().x(), 1.0);
        EXPECT_DOUBLE_EQ(factory.halfFlagWidthLeftWithFontID(font), head * 0.917);
        EXPECT_DOUBLE_EQ(factory.halfFlagWidthRightWithFontID(font), head * 0.833);
    }
    // The plug-in's own head is still its note head.
    EXPECT_EQ(glyphOf(factory.bezierPathFromUnitLengthFontID(nullptr, 240, "Plug")), "plug-in:OnpuTamaKuro");
    // Each preview is a copy.
    auto first = factory.tonePreviewForDraggingWithFontID("Default");
    first->setLevel(9);
    first->setFrame(Rect(10, 10, 20, 20));
    EXPECT_EQ(factory.tonePreviewForDraggingWithFontID("Default")->level(), 0);
    EXPECT_EQ(factory.tonePreviewForDraggingWithFontID("Default")->frame().origin, platform::Point());

    // Without the built-in head there is no outline to measure.
    std::filesystem::remove(folder_.path() / "resources/OnpuTamaKuro.svg");
    TOVNoteViewFactory headless;
    headless.installPluginFontID("Default");
    EXPECT_EQ(headless.halfFlagWidthLeftWithFontID("Default"), 0.0);
    EXPECT_EQ(headless.halfFlagWidthRightWithFontID("Default"), 0.0);
}

TEST_F(NoteGlyphFactoryTest, TheTieTemplateIsTheBuiltInSlurGlyph) {
    writeAllDefault();
    writePlugin("Plug", "ArticulationSlur");
    TOVNoteViewFactory factory;
    factory.installPluginFontID("Plug");
    const auto tie = factory.noteSymbolTieView();
    ASSERT_TRUE(tie);
    EXPECT_EQ(glyphOf(tie->bezierPath()), "Default:ArticulationSlur");
    EXPECT_EQ(tie->frame(), Rect(0, 0, fileWidth("ArticulationSlur") * kScale, kGlyphHeight * kScale));
    tie->setFrame(Rect(5, 5, 50, 5));
    EXPECT_NE(factory.noteSymbolTieView().get(), tie.get());
    EXPECT_EQ(factory.noteSymbolTieView()->frame().origin, platform::Point());
}

TEST_F(NoteGlyphFactoryTest, InstallingAgainReplacesTheLibraryAndTheFallback) {
    writeAllDefault();
    TOVNoteViewFactory factory;
    const auto first = factory.installPluginFontID("Default");
    EXPECT_EQ(factory.defaultLibrary(), first);
    const auto plug = factory.installPluginFontID("Plug");
    EXPECT_EQ(factory.defaultLibrary(), first);
    const auto second = factory.installPluginFontID("Default");
    EXPECT_NE(second, first);
    EXPECT_EQ(factory.defaultLibrary(), second);
    EXPECT_EQ(factory.dictFontLibrary().at("Default"), second);
    EXPECT_EQ(factory.dictFontLibrary().at("Plug"), plug);
    EXPECT_EQ(factory.dictFontLibrary().size(), 2u);
}

TEST_F(NoteGlyphFactoryTest, SettingTheSameFontIDKeepsThePrototypesAndAnotherRebuildsThem) {
    writeAllDefault();
    writePlugin("Plug", "OnpuTama2");
    TOVNoteViewLibrary library("Default");
    const auto* head = library.dictViewGeneral().at("OnpuTama2").get();
    const auto* preview = library.notePreview().get();
    library.setFontID("Default");
    EXPECT_EQ(library.dictViewGeneral().at("OnpuTama2").get(), head);
    EXPECT_EQ(library.notePreview().get(), preview);
    library.setFontID("Plug");
    EXPECT_EQ(library.fontID(), "Plug");
    EXPECT_EQ(library.dictViewGeneral().size(), 1u);
    EXPECT_EQ(glyphOf(library.bezierPathForToneHeadOfLength(480)), "plug-in:OnpuTama2");
    EXPECT_NE(library.notePreview().get(), preview);
}

TEST(NoteGlyphFactory, TheBuiltInFontHasEveryNoteGlyphAtStaffSize) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVNoteViewLibrary library("Default");
    TOVNoteViewFactory factory;
    EXPECT_EQ(library.dictViewGeneral().size(), TOVNoteViewLibrary::generalKeys().size());
    EXPECT_EQ(library.dictViewAccidental().size(), TOVNoteViewLibrary::accidentalKeys().size());
    EXPECT_EQ(library.dictViewArticulation().size(), TOVNoteViewLibrary::articulationKeys().size());
    // A black head is about one staff space (5.9) high and a little wider than high.
    const auto head = library.bezierPathForToneHeadOfLength(240);
    ASSERT_TRUE(head);
    EXPECT_NEAR(head->bounds().height(), TOVStaffSpace, 0.8);
    EXPECT_GT(head->bounds().width(), head->bounds().height());
    EXPECT_LT(head->bounds().width(), 2 * TOVStaffSpace);
    // A flag reaches down about three spaces from the stem end.
    const auto flag = library.bezierPathFlagForLengthFlip(120, false);
    ASSERT_TRUE(flag);
    EXPECT_GT(flag->bounds().height(), 2 * TOVStaffSpace);
    EXPECT_LT(flag->bounds().height(), 4 * TOVStaffSpace);
    ASSERT_TRUE(factory.noteSymbolTieView());
    EXPECT_TRUE(factory.noteSymbolTieView()->bezierPath());

    // Every item of the notes palette has a drag image, about as large as what it drops on the staff.
    for (std::uint32_t group : {TOVUnitGroupNote, TOVUnitGroupRest}) {
        for (std::uint32_t n : {30u, 60u, 90u, 120u, 180u, 210u, 240u, 360u, 420u, 480u, 720u, 840u, 960u}) {
            SCOPED_TRACE(group | n);
            const auto image = library.imageForNotePaletteDraggingPreviewWithType(group | n);
            ASSERT_TRUE(image);
            EXPECT_GT(image->size().width, 4);
            EXPECT_LT(image->size().height, 5 * TOVStaffSpace);
        }
    }
    for (std::uint32_t code : {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLength8th),
                               TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter),
                               TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthHalf),
                               TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthWhole),
                               TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthQuarter),
                               TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthHalf),
                               TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthWhole), TOVNoteItemTie,
                               TOVNoteItemSharp, TOVNoteItemDoubleSharp, TOVNoteItemNatural, TOVNoteItemFlat,
                               TOVNoteItemDoubleFlat, TOVNoteItemHarmonyTone, TOVNoteItemBeatSlash}) {
        SCOPED_TRACE(code);
        const auto image = library.imageForNotePaletteDraggingPreviewWithType(code);
        ASSERT_TRUE(image);
        EXPECT_GT(image->size().width, 4);
        EXPECT_LT(image->size().height, 6 * TOVStaffSpace);
    }
    TOVUtils::overrideResourceDirectory(std::nullopt);
}

TEST(NoteGlyphFactory, TheSingletonIsMadeOnceWithDefaultInstalled) {
    TOVNoteViewFactory* factory = TOVNoteViewFactory::singletonInstance();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(TOVNoteViewFactory::singletonInstance(), factory);
    ASSERT_TRUE(factory->defaultLibrary());
    EXPECT_EQ(factory->defaultLibrary()->fontID(), "Default");
    EXPECT_EQ(factory->dictFontLibrary().at("Default"), factory->defaultLibrary());
    EXPECT_TRUE(factory->bezierPathFromUnitLengthFontID(nullptr, 240, "Default"));
}

TEST(NoteGlyphFactory, PaletteItemsHaveTheirResourceNames) {
    const struct {
        std::uint32_t type;
        const char* name;
    } rows[] = {{TOVUnitTypeOf(TOVUnitGroupNote, TOVLength32nd), "Onpu32"},
                {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDotted16th), "Onpu16H"},
                {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthDoubleDotted8th), "Onpu8HH"},
                {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthWhole), "OnpuZen"},
                {TOVUnitTypeOf(TOVUnitGroupRest, TOVLength16th), "Kyuuhu16"},
                {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDoubleDottedQuarter), "Kyuuhu4HH"},
                {TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthWhole), "KyuuhuZen"},
                {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLength8th), "OnpuTriple8"},
                {TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthWhole), "OnpuTripleZen"},
                {TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthQuarter), "OnpuSextuple4"},
                {TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthWhole), "OnpuSextupleZen"},
                {TOVNoteItemTie, "OnpuTie"},
                {TOVNoteItemSharp, "HenkaSharpX1"},
                {TOVNoteItemDoubleSharp, "HenkaSharpX2"},
                {TOVNoteItemNatural, "HenkaNatural"},
                {TOVNoteItemFlat, "HenkaFlatX1"},
                {TOVNoteItemDoubleFlat, "HenkaFlatX2"},
                {TOVNoteItemHarmonyTone, "OnpuHarmony"},
                {TOVNoteItemBeatSlash, "Slash1haku"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TOVNoteViewLibrary::resourceNameFromType(row.type), std::optional<std::string>(row.name));
    }
    for (std::uint32_t type :
         {0u, 0xF0u, TOVUnitGroupNote, TOVUnitTypeOf(TOVUnitGroupNote, 241), TOVUnitBeatSlash,
          TOVUnitGroupTriplet, TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLength8th), TOVNoteItemBeatSlash + 1,
          std::uint32_t{TOVSymbolTenuto}}) {
        SCOPED_TRACE(type);
        EXPECT_FALSE(TOVNoteViewLibrary::resourceNameFromType(type));
    }
}

// A PNG file of the size with every pixel in the colour.
std::string pngBytes(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

TEST_F(NoteGlyphFactoryTest, DragImagesAreTheHeadForNotesAndTheApplicationsPicturesOtherwise) {
    writeAllDefault();
    writeFile("resources/Kyuuhu8H.png", pngBytes(9, 21, Qt::red));
    writeFile("resources/HenkaNatural.png", pngBytes(7, 19, Qt::blue));
    writeFile("resources/Onpu4.png", pngBytes(30, 30, Qt::green));
    writeFile("data/Tovrin2/cache/Plug/Kyuuhu8H.png", pngBytes(40, 40, Qt::green));
    writePlugin("Plug", "HenkaSharpX1");
    TOVNoteViewFactory factory;
    factory.installPluginFontID("Default");
    factory.installPluginFontID("Plug");
    factory.installPluginFontID("NoHead");

    const platform::Size head(fileWidth("OnpuTamaKuro") * kScale, kGlyphHeight * kScale);
    for (std::uint32_t type :
         {TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter), TOVUnitTypeOf(TOVUnitGroupNote, TOVLength32nd),
          TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthWhole),
          TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthHalf), TOVNoteItemHarmonyTone}) {
        SCOPED_TRACE(type);
        const auto image = factory.imageForNotePaletteDraggingPreviewWithTypeFontID(type, "Default");
        ASSERT_TRUE(image);
        EXPECT_EQ(image->size(), head);
        // The head fills the middle in black; the corners of its rectangle glyph are covered too.
        const QImage& pixels = image->qImage();
        EXPECT_EQ(pixels.pixelColor(pixels.width() / 2, pixels.height() / 2), QColor(Qt::black));
    }
    // Rests, accidentals and the other symbols come from the application's own PNG files, for any font.
    for (const char* font : {"Default", "Plug", "NeverInstalled"}) {
        SCOPED_TRACE(font);
        const auto rest = factory.imageForNotePaletteDraggingPreviewWithTypeFontID(
            TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthDotted8th), font);
        ASSERT_TRUE(rest);
        EXPECT_EQ(rest->size(), platform::Size(9, 21));
        EXPECT_EQ(rest->qImage().pixelColor(4, 10), QColor(Qt::red));
        const auto natural =
            factory.imageForNotePaletteDraggingPreviewWithTypeFontID(TOVNoteItemNatural, font);
        ASSERT_TRUE(natural);
        EXPECT_EQ(natural->size(), platform::Size(7, 19));
    }
    // No picture, no image: a missing file, a code with no name.
    EXPECT_FALSE(factory.imageForNotePaletteDraggingPreviewWithTypeFontID(TOVNoteItemTie, "Default"));
    EXPECT_FALSE(factory.imageForNotePaletteDraggingPreviewWithTypeFontID(
        TOVUnitTypeOf(TOVUnitGroupNote, 9029), "Default"));
    // A font without the black head answers an empty image for note items, and that answer stands.
    const auto empty = factory.imageForNotePaletteDraggingPreviewWithTypeFontID(
        TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter), "NoHead");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->size(), platform::Size(0, 0));
}

} // namespace
