#pragma once

#include <QString>
#include <memory>

#include "platform/services/PrinterService.h"

class QPrinter;

namespace platform {

// Printing through Qt: the print dialog chooses the printer (with no printer installed it
// still offers printing to a PDF file), and the picture is painted at the top-left of the
// printable area at its size in twips converted to the printer's resolution.
class QtPrinter : public PrinterService {
  public:
    QtPrinter();
    ~QtPrinter() override;

    bool ShowPrinter() override;
    bool PrintPicture(const Picture& picture, double widthTwips, double heightTwips) override;

    // Prints into this PDF file without asking (ShowPrinter accepts at once); for callers
    // that print without a user, such as tests.
    void printToPdfWithoutDialog(const QString& pdfPath);

  private:
    QPrinter& printer();

    std::unique_ptr<QPrinter> printer_;
    bool askUser_ = true;
};

}  // namespace platform
