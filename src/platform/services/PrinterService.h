#pragma once

#include <QImage>

namespace platform {

class PrinterService {
  public:
    virtual ~PrinterService() = default;
    // Lets the user choose and set up the printer; false when cancelled.
    virtual bool ShowPrinter() = 0;
    // Prints the picture at the given size in twips at the page's top-left; false on failure.
    virtual bool PrintPicture(const QImage& picture, double widthTwips, double heightTwips) = 0;
};

}  // namespace platform
