#pragma once

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

  private:
    QPrinter& printer();

    std::unique_ptr<QPrinter> printer_;
};

}  // namespace platform
