#pragma once

#include "platform/foundation/Geometry.h"

#include <QString>

#include <functional>

class QImage;
class QPainter;
class QPrinter;

namespace platform {

class View;

// Prints a view: asks it for its page range (one page of its bounds when it does not divide itself into
// pages) and draws its tree once per page, from the page's rectangle (rectForPage) placed where the view
// says (locationOfPrintRect), at one point per unit of the view whatever the zoom on screen, with drawing
// to the screen off. The paper is A4 portrait without margins; a page range chosen on the printer (from
// and to page) narrows the view's range.
class PrintRunner {
public:
    explicit PrintRunner(View& view) : view_(view) {}

    // A4 portrait, margins 0, the paper's full page; for a printer the runner prints on.
    static void preparePrinter(QPrinter& printer);

    // Prints on a printer prepared by the caller (after the print dialog); false when nothing could be
    // printed.
    bool print(QPrinter& printer);
    // Prints into a PDF file, A4 portrait without margins.
    bool printToPdfFile(const QString& path);

    // Draws the pages as printing does, each into an image of its own at `scale` pixels per point,
    // transparent wherever the view draws nothing, and hands it to the sink with its page number (from 1);
    // a page without a rectangle is left out, and a sink that answers false ends the run. False when no
    // page was drawn or the scale is not positive.
    using ImageSink = std::function<bool(long page, const QImage& image)>;
    bool printToImages(double scale, const ImageSink& sink);

    // The pages printed by the last run.
    long pagesPrinted() const { return pagesPrinted_; }

private:
    void drawPage(QPainter& painter, const Rect& rect, double devicePixelsPerPoint);

    View& view_;
    long pagesPrinted_ = 0;
};

} // namespace platform
