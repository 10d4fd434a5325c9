#include "platform/ui/PrintRunner.h"

#include "platform/graphics/QPainterGraphicsContext.h"
#include "platform/ui/View.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace platform {

void PrintRunner::preparePrinter(QPrinter& printer) {
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                      QPageLayout::Point));
}

bool PrintRunner::printToPdfFile(const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    preparePrinter(printer);
    return print(printer);
}

bool PrintRunner::print(QPrinter& printer) {
    pagesPrinted_ = 0;
    long first = 1;
    long count = 1;
    // A view that does not divide itself into pages prints its bounds on one.
    const bool paged = view_.knowsPageRange(first, count);
    if (!paged) {
        first = 1;
        count = 1;
    }
    long last = first + count - 1;
    if (printer.fromPage() > 0 && printer.toPage() >= printer.fromPage()) {
        first = std::max<long>(first, printer.fromPage());
        last = std::min<long>(last, printer.toPage());
    }
    if (count <= 0 || last < first) {
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const double devicePixelsPerPoint = printer.resolution() / 72.0;
    for (long page = first; page <= last; ++page) {
        if (page != first && !printer.newPage()) {
            break;
        }
        drawPage(painter, paged ? view_.rectForPage(page) : view_.bounds(), devicePixelsPerPoint);
        ++pagesPrinted_;
    }
    return painter.end() && pagesPrinted_ > 0;
}

bool PrintRunner::printToImages(double scale, const ImageSink& sink) {
    pagesPrinted_ = 0;
    if (!(scale > 0) || !sink) {
        return false;
    }
    long first = 1;
    long count = 1;
    const bool paged = view_.knowsPageRange(first, count);
    if (!paged) {
        first = 1;
        count = 1;
    }
    for (long page = first; page < first + count; ++page) {
        const Rect rect = paged ? view_.rectForPage(page) : view_.bounds();
        if (rect.isEmpty()) {
            continue;
        }
        // Whole pixels inside the page: a pixel the page covers only in part would be half transparent.
        QImage image(static_cast<int>(std::floor(rect.width() * scale + 1e-9)),
                     static_cast<int>(std::floor(rect.height() * scale + 1e-9)),
                     QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            break;
        }
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            drawPage(painter, rect, scale);
        }
        ++pagesPrinted_;
        if (!sink(page, image)) {
            break;
        }
    }
    return pagesPrinted_ > 0;
}

void PrintRunner::drawPage(QPainter& painter, const Rect& rect, double devicePixelsPerPoint) {
    if (rect.isEmpty()) {
        return;
    }
    const Point at = view_.locationOfPrintRect(rect);
    painter.save();
    painter.resetTransform();
    painter.scale(devicePixelsPerPoint, devicePixelsPerPoint);
    {
        QPainterGraphicsContext ctx(painter, /*drawingToScreen=*/false);
        ctx.concatTransform(AffineTransform::translation(at.x - rect.x(), at.y - rect.y()));
        ctx.clipToRect(rect);
        view_.drawTree(rect, ctx);
    }
    painter.restore();
}

} // namespace platform
