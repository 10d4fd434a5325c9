// Every page of the render corpus (the songs tests/fixtures/render/corpus.txt lists), printed by tovz-render
// at scale 2, against its reference image under tests/fixtures/render/references, within a tolerance that
// takes anti-aliasing noise but not a glyph moved by a point. A page that no longer matches is kept with a
// picture of the change under render-mismatches/ in the test's working folder.
// scripts/update-render-references rewrites the references on purpose (TOVRIN_UPDATE_RENDER_REFERENCES=1).
#include "RenderTool.h"
#include "SongWriter.h"

#include "glyphs/TOVChordObjectView.h"
#include "page_images/PageImages.h"
#include "support/TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kFixtures = TOVRIN_TEST_FIXTURES;
const std::filesystem::path kReferences = kFixtures / "render" / "references";
constexpr double kScale = 2.0;

// The songs of the corpus, as paths below tests/fixtures.
std::vector<std::filesystem::path> corpus() {
    std::vector<std::filesystem::path> songs;
    std::ifstream list(kFixtures / "render" / "corpus.txt");
    for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line.front() != '#') {
            songs.emplace_back(line);
        }
    }
    return songs;
}

// The page images in the folder, by name.
std::vector<std::string> pageNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".png") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

QString qPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

TEST(RenderReferencesTest, EveryPageOfTheCorpusMatchesItsReference) {
    const bool update = !qgetenv("TOVRIN_UPDATE_RENDER_REFERENCES").isEmpty();
    const std::vector<std::filesystem::path> songs = corpus();
    ASSERT_GE(songs.size(), 7u);
    TempDir dir;
    const std::filesystem::path mismatches = std::filesystem::current_path() / "render-mismatches";
    for (const std::filesystem::path& song : songs) {
        SCOPED_TRACE(song.string());
        // rhythm/tuplets.tovz -> rhythm/tuplets
        const std::filesystem::path name = std::filesystem::path(song).replace_extension();
        const std::filesystem::path rendered = dir / name;
        QString errors;
        ASSERT_EQ(layouttest::runRenderTool(
                      {qPath(kFixtures / song), "--png", qPath(rendered), "--scale", QString::number(kScale)},
                      &errors),
                  0)
            << errors.toStdString();
        const std::vector<std::string> pages = pageNames(rendered);
        ASSERT_FALSE(pages.empty());
        const std::filesystem::path references = kReferences / name;
        if (update) {
            std::filesystem::remove_all(references);
            std::filesystem::create_directories(references);
            for (const std::string& page : pages) {
                ASSERT_TRUE(
                    pageimages::saveGreyPng(QImage(qPath(rendered / page)), qPath(references / page)));
            }
            continue;
        }
        ASSERT_EQ(pages, pageNames(references)) << "pages drawn and pages kept differ";
        for (const std::string& page : pages) {
            SCOPED_TRACE(page);
            const QImage now(qPath(rendered / page));
            const QImage kept(qPath(references / page));
            ASSERT_FALSE(kept.isNull());
            const pageimages::Difference difference = pageimages::compare(kept, now);
            if (pageimages::matches(difference)) {
                continue;
            }
            const std::filesystem::path keep = mismatches / name;
            std::filesystem::create_directories(keep);
            const std::string stem = std::filesystem::path(page).stem().string();
            pageimages::saveGreyPng(now, qPath(keep / (stem + "-new.png")));
            pageimages::differenceImage(kept, now).save(qPath(keep / (stem + "-difference.png")));
            ADD_FAILURE() << difference.markedPixels << " pixels differ markedly ("
                          << difference.changedPixels << " at all"
                          << (difference.sizeDiffers ? ", and the page size" : "")
                          << "); the page and a picture of the change are in " << keep.string()
                          << "; scripts/update-render-references takes the drawing as it is now";
        }
    }
}

// The tolerance, tried on a kept page: noise of anti-aliasing strength on every edge pixel passes, while
// one chord symbol moved by a point, sideways or up, fails.
TEST(RenderReferencesTest, TheToleranceTakesEdgeNoiseButNotAGlyphMovedByAPoint) {
    const std::filesystem::path song = kFixtures / "render" / "chords-and-signatures.tovz";
    const QImage kept = pageimages::greyOnWhite(
        QImage(qPath(kReferences / "render" / "chords-and-signatures" / "page-001.png")));
    ASSERT_FALSE(kept.isNull());

    // Every pixel that is neither paper nor full ink moved by as much as noise may move it, alternately
    // lighter and darker.
    QImage noisy = kept.copy();
    int edges = 0;
    for (int y = 0; y < noisy.height(); ++y) {
        uchar* row = noisy.scanLine(y);
        for (int x = 0; x < noisy.width(); ++x) {
            if (row[x] != 0 && row[x] != 255) {
                const int moved = row[x] + ((x + y) % 2 == 0 ? 1 : -1) * pageimages::kMarkedLevel;
                row[x] = static_cast<uchar>(std::clamp(moved, 0, 255));
                ++edges;
            }
        }
    }
    EXPECT_GT(edges, 1000);
    EXPECT_TRUE(pageimages::matches(pageimages::compare(kept, noisy)));
    EXPECT_EQ(pageimages::compare(kept, kept).changedPixels, 0);

    // Where the editor puts the first chord symbol (the page is the first, at the top of the column).
    const layouttest::AllGlyphs glyphs;
    const layouttest::Loaded stored(song);
    ASSERT_TRUE(stored.ok);
    const layouttest::LaidOut laidOut(stored.document);
    const std::vector<TOVChordObjectView*> chords =
        layouttest::viewsInEditor<TOVChordObjectView>(*laidOut.editor);
    ASSERT_FALSE(chords.empty());
    const platform::Rect frame = chords.front()->frame();
    const QRect glyph(static_cast<int>(frame.x() * kScale), static_cast<int>(frame.y() * kScale),
                      static_cast<int>(frame.width() * kScale) + 1,
                      static_cast<int>(frame.height() * kScale) + 1);
    const int point = static_cast<int>(kScale);
    for (const QPoint& by : {QPoint(point, 0), QPoint(0, -point)}) {
        SCOPED_TRACE(::testing::Message() << "moved by " << by.x() << ", " << by.y());
        // The glyph's pixels taken out, paper in their place, and put back moved.
        QImage moved = kept.copy();
        const QImage cut = kept.copy(glyph);
        for (int y = glyph.top(); y <= glyph.bottom(); ++y) {
            std::fill_n(moved.scanLine(y) + glyph.left(), glyph.width(), uchar{255});
        }
        for (int y = 0; y < cut.height(); ++y) {
            for (int x = 0; x < cut.width(); ++x) {
                const QPoint to = glyph.topLeft() + QPoint(x, y) + by;
                moved.scanLine(to.y())[to.x()] =
                    std::min(moved.scanLine(to.y())[to.x()], cut.constScanLine(y)[x]);
            }
        }
        const pageimages::Difference difference = pageimages::compare(kept, moved);
        EXPECT_GT(difference.markedPixels, 20);
        EXPECT_FALSE(pageimages::matches(difference));
    }
}

} // namespace
