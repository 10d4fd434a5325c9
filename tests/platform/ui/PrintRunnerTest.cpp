#include "RecordingView.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/PrintRunner.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cmath>

using platform::Color;
using platform::GraphicsContext;
using platform::Point;
using platform::Rect;
using platform::Size;
using platform::View;

namespace {

// Three pages of 595 x 842, 852 apart from top to top. Each page is filled with its own grey and carries
// a square whose place tells the pages apart; off screen an overlay darkens nothing.
class ThreePageView : public View {
public:
    ThreePageView() : View(Rect(0, 0, 595, 3 * 852)) {}
    std::vector<Rect> drawn;
    std::vector<bool> toScreen;

    static Color greyOf(long page) { return Color{0.2 * page, 0.2 * page, 0.2 * page, 1}; }
    static Rect squareOf(long page) { return Rect(100 * page, (page - 1) * 852 + 200, 50, 50); }

    bool knowsPageRange(long& first, long& count) override {
        first = 1;
        count = 3;
        return true;
    }
    Rect rectForPage(long page) override {
        return page >= 1 && page <= 3 ? Rect(0, (page - 1) * 852, 595, 842) : Rect();
    }
    Point locationOfPrintRect(const Rect&) override { return Point{0, 0}; }
    void drawRect(const Rect& dirty, GraphicsContext& ctx) override {
        drawn.push_back(dirty);
        toScreen.push_back(ctx.isDrawingToScreen());
        for (long page = 1; page <= 3; ++page) {
            if (!dirty.intersects(rectForPage(page))) {
                continue;
            }
            ctx.setFillColor(greyOf(page));
            ctx.fillRect(rectForPage(page));
            ctx.setFillColor(Color{1, 0, 0, 1});
            ctx.fillRect(squareOf(page));
        }
    }
};

// What a test reads back from a PDF: the media box of each page object, and the content streams (inflated
// where they are compressed) in file order.
struct PdfPages {
    std::vector<Rect> mediaBoxes;
    std::vector<QByteArray> contents;
};

QByteArray inflate(const QByteArray& in) {
    QByteArray out(in.size() * 50 + 4096, Qt::Uninitialized);
    uLongf length = static_cast<uLongf>(out.size());
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                   reinterpret_cast<const Bytef*>(in.constData()), static_cast<uLong>(in.size())) != Z_OK) {
        return in;
    }
    out.resize(static_cast<qsizetype>(length));
    return out;
}

PdfPages readPdf(const QByteArray& pdf) {
    PdfPages pages;
    const QString text = QString::fromLatin1(pdf);
    static const QRegularExpression page(R"(/Type\s*/Page\b(?!s)[^>]*?/MediaBox\s*\[([^\]]*)\])",
                                         QRegularExpression::DotMatchesEverythingOption);
    for (auto it = page.globalMatch(text); it.hasNext();) {
        const QStringList n = it.next().captured(1).simplified().split(' ');
        pages.mediaBoxes.push_back(n.size() == 4 ? Rect(n[0].toDouble(), n[1].toDouble(),
                                                        n[2].toDouble() - n[0].toDouble(),
                                                        n[3].toDouble() - n[1].toDouble())
                                                 : Rect());
    }
    qsizetype at = 0;
    while ((at = pdf.indexOf("stream\n", at)) >= 0) {
        const qsizetype begin = at + 7;
        const qsizetype end = pdf.indexOf("endstream", begin);
        if (end < 0) {
            break;
        }
        const QByteArray content = inflate(pdf.mid(begin, end - begin));
        if (content.contains(" re\n")) {
            pages.contents.push_back(content);
        }
        at = end + 9; // past "endstream"
    }
    return pages;
}

// Where a page's content puts the 50 x 50 square on the sheet, in PDF points (y up): the page's first
// matrix (device to PDF) after the matrix the square is drawn with.
Rect squareOnSheet(const QByteArray& content) {
    const QString text = QString::fromLatin1(content);
    static const QRegularExpression firstMatrix(R"((\S+) 0 0 (\S+) (\S+) (\S+) cm\n)");
    // The square is drawn with a scale and a move.
    static const QRegularExpression square(R"((\S+) 0 0 (\S+) (\S+) (\S+) cm\n(\S+) (\S+) 50 50 re)");
    const auto outer = firstMatrix.match(text);
    const auto inner = square.match(text);
    if (!outer.hasMatch() || !inner.hasMatch()) {
        return Rect();
    }
    const auto n = [](const QRegularExpressionMatch& m, int i) { return m.captured(i).toDouble(); };
    const auto onSheet = [&](double x, double y) {
        const double dx = x * n(inner, 1) + n(inner, 3);
        const double dy = y * n(inner, 2) + n(inner, 4);
        return Point{dx * n(outer, 1) + n(outer, 3), dy * n(outer, 2) + n(outer, 4)};
    };
    const Point p1 = onSheet(n(inner, 5), n(inner, 6));
    const Point p2 = onSheet(n(inner, 5) + 50, n(inner, 6) + 50);
    return Rect(std::min(p1.x, p2.x), std::min(p1.y, p2.y), std::abs(p2.x - p1.x), std::abs(p2.y - p1.y));
}

TEST(PrintRunner, PrintsEachPageRectangleOnItsOwnA4Sheet) {
    auto root = std::make_shared<View>(Rect(0, 0, 900, 4000));
    auto view = uitest::addTo<ThreePageView>(*root);
    // Zoomed on screen: printing does not care.
    root->scaleUnitSquareToSize(Size{1.5, 1.5});
    platform::ViewHost host;
    host.setRootView(root);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("three.pdf");
    platform::PrintRunner runner(*view);
    ASSERT_TRUE(runner.printToPdfFile(path));
    EXPECT_EQ(runner.pagesPrinted(), 3);

    // Each page drawn from its own rectangle, on paper.
    EXPECT_EQ(view->drawn,
              (std::vector<Rect>{view->rectForPage(1), view->rectForPage(2), view->rectForPage(3)}));
    EXPECT_EQ(view->toScreen, (std::vector<bool>{false, false, false}));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    const PdfPages pages = readPdf(pdf);
    ASSERT_EQ(pages.mediaBoxes.size(), 3u);
    for (const Rect& box : pages.mediaBoxes) {
        EXPECT_EQ(box, Rect(0, 0, 595, 842));
    }
    // Each sheet shows its own page: its square 200 below the top of the sheet, 100 across per page.
    ASSERT_EQ(pages.contents.size(), 3u);
    for (long page = 1; page <= 3; ++page) {
        const Rect square = squareOnSheet(pages.contents[page - 1]);
        EXPECT_NEAR(square.x(), 100 * page, 0.01) << page;
        EXPECT_NEAR(square.y(), 842 - 250, 0.01) << page;
        EXPECT_NEAR(square.width(), 50, 0.01) << page;
        EXPECT_NEAR(square.height(), 50, 0.01) << page;
    }
}

} // namespace
