#include "platform/ui/PrintOperation.h"

#include "platform/ui/PrintRunner.h"

#include <QPrintDialog>
#include <QPrinter>

namespace platform {

namespace {
PrintOperation::PrintPanelAnswer printPanelAnswer;
} // namespace

void PrintOperation::setPrintPanelAnswer(PrintPanelAnswer answer) {
    printPanelAnswer = std::move(answer);
}

bool PrintOperation::runOperation(QWidget* parent) {
    pagesPrinted_ = 0;
    PrintRunner runner(view_);
    bool printed = false;
    if (!pdfPath_.isEmpty()) {
        printed = runner.printToPdfFile(pdfPath_);
    } else {
        QPrinter printer(QPrinter::HighResolution);
        PrintRunner::preparePrinter(printer);
        printer.setDocName(jobTitle_);
        if (showsPrintPanel_) {
            bool accepted = false;
            if (printPanelAnswer) {
                accepted = printPanelAnswer(printer);
            } else {
                QPrintDialog dialog(&printer, parent);
                dialog.setOption(QAbstractPrintDialog::PrintPageRange);
                accepted = dialog.exec() == QDialog::Accepted;
            }
            if (!accepted) {
                return false;
            }
        }
        printed = runner.print(printer);
    }
    pagesPrinted_ = runner.pagesPrinted();
    return printed;
}

} // namespace platform
