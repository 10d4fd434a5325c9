#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace platform {

class View;

// Prints a view through the print runner: to a printer chosen in the platform's print dialog, or straight
// into a PDF file.
class PrintOperation {
public:
    explicit PrintOperation(View& view) : view_(view) {}

    bool showsPrintPanel() const { return showsPrintPanel_; }
    void setShowsPrintPanel(bool shows) { showsPrintPanel_ = shows; }
    const QString& jobTitle() const { return jobTitle_; }
    void setJobTitle(const QString& title) { jobTitle_ = title; }
    // Prints into this PDF file instead of on a printer (no dialog).
    void setPdfPath(const QString& path) { pdfPath_ = path; }

    // Runs the operation; false when it was cancelled or nothing could be printed.
    bool runOperation(QWidget* parent = nullptr);
    long pagesPrinted() const { return pagesPrinted_; }

    // Answers the print dialog instead of showing it: true prints on the printer as the hook left it
    // (a test may make it a PDF printer), false cancels.
    using PrintPanelAnswer = std::function<bool(QPrinter&)>;
    static void setPrintPanelAnswer(PrintPanelAnswer answer);

private:
    View& view_;
    bool showsPrintPanel_ = true;
    QString jobTitle_;
    QString pdfPath_;
    long pagesPrinted_ = 0;
};

} // namespace platform
