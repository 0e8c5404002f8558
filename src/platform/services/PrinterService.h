#pragma once

#include "platform/Picture.h"

namespace platform {

class PrinterService {
  public:
    virtual ~PrinterService() = default;
    // Lets the user choose and set up the printer; false when cancelled.
    virtual bool ShowPrinter() = 0;
    // Prints the picture at the given size in twips at the top-left of the printable page of
    // the printer chosen by ShowPrinter; false on failure.
    virtual bool PrintPicture(const Picture& picture, double widthTwips, double heightTwips) = 0;
};

}  // namespace platform
