// Every symbol view the factory makes from the real "Default" glyphs, in its three states, painted by a
// window. Set TOVRIN_SHEET_OUT to a file name to keep the picture.

#include "FakeLayout.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "glyphs/TOVObjectViewLibrary.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ViewHost.h"
#include "support/ImageInk.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using platform::Rect;

namespace {

class Label : public platform::View {
public:
    Label(const Rect& frame, QString text) : platform::View(frame), text_(std::move(text)) {}
    void drawRect(const Rect&, platform::GraphicsContext& ctx) override {
        ctx.drawText(text_, platform::Font::userFont(6), {0, 0});
    }

private:
    QString text_;
};

class Page : public glyphtest::FakeEditorView {
public:
    using FakeEditorView::FakeEditorView;
    void drawRect(const Rect& dirty, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{1, 1, 1, 1});
        ctx.fillRect(dirty);
    }
};

// The pixels of an area of the image that are not (nearly) white.
int inkIn(const QImage& image, const QRect& area) {
    return tovtest::inkIn(image, area, 235);
}

TEST(SymbolViewSheet, EverySymbolKindShowsInItsThreeStates) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVObjectViewFactory factory;
    factory.installPluginFontID("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);

    constexpr double kZoom = 2.0;
    constexpr double kPageWidth = 760;
    auto page = std::make_shared<Page>(Rect(0, 0, kPageWidth, 100));
    struct Shown {
        int type;
        int state;
        std::shared_ptr<TOVObjectView> view;
    };
    std::vector<Shown> shown;
    double x = 4, y = 4, rowHeight = 0;
    for (int category = TOVSymbolCategoryClef; category <= TOVSymbolCategoryDrawingTool;
         category += TOVSymbolCategoryClef) {
        const auto& keys = TOVObjectViewLibrary::resourceKeysOfCategory(category);
        for (int low = 0; low < static_cast<int>(keys.size()); ++low) {
            const int type = category | low;
            auto prototype = factory.symbolObjectViewWithSymbolTypeFontID(type, "Default");
            if (!prototype) {
                continue;
            }
            const platform::Size size = prototype->frame().size;
            const double blockWidth = 62 + 3 * (std::max(size.width, 4.0) + 8);
            if (x + blockWidth > kPageWidth) {
                x = 4;
                y += rowHeight + 6;
                rowHeight = 0;
            }
            char code[16];
            std::snprintf(code, sizeof code, "%X ", type);
            page->addSubview(std::make_shared<Label>(
                Rect(x, y, 60, 10), QString::fromLatin1(code) + QString::fromStdString(keys[low])));
            double vx = x + 62;
            for (int state = 0; state <= 2; ++state) {
                auto view = prototype->clone();
                view->setFrameOrigin({vx, y + 2});
                page->addSubview(view);
                view->setState(state);
                shown.push_back({type, state, view});
                vx += std::max(size.width, 4.0) + 8;
            }
            x += blockWidth + 6;
            rowHeight = std::max(rowHeight, std::max(size.height + 4, 12.0));
        }
    }
    const double pageHeight = y + rowHeight + 6;
    page->setFrame(Rect(0, 0, kPageWidth * kZoom, pageHeight * kZoom));
    page->setBoundsSize({kPageWidth, pageHeight});

    platform::ViewHost host;
    host.setRootView(page);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage image = host.grab().toImage();
    if (const char* out = std::getenv("TOVRIN_SHEET_OUT")) {
        image.save(QString::fromLocal8Bit(out));
    }

    // Every glyph shows ink in every state, and the selected and target states are drawn differently
    // from the normal one.
    for (std::size_t i = 0; i < shown.size(); i += 3) {
        const auto& normal = shown[i];
        if (!normal.view->bezierPath() || normal.view->bezierPath()->isEmpty()) {
            continue;
        }
        SCOPED_TRACE(testing::Message() << std::hex << normal.type);
        QImage states[3];
        for (int s = 0; s < 3; ++s) {
            const Rect f = shown[i + s].view->frame();
            const QRect area(int(f.x() * kZoom), int(f.y() * kZoom), int(f.width() * kZoom) + 1,
                             int(f.height() * kZoom) + 1);
            EXPECT_GT(inkIn(image, area), 0) << "state " << s;
            states[s] = image.copy(area);
        }
        EXPECT_NE(states[0], states[1]);
        EXPECT_NE(states[0], states[2]);
    }
}

} // namespace
