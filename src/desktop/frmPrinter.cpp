#include "desktop/frmPrinter.h"

#include <new>
#include <stdexcept>

#include "core/Program.h"
#include "core/frmVedra.h"
#include "platform/services/PrinterService.h"

namespace {
// Room below the picture in the print window.
constexpr double CaptionRoom = 500;
}  // namespace

frmPrinter::frmPrinter(Program& program)
    : Form(QStringLiteral("frmPrinter"), 4800, 3600),
      Image1(*this, "Image1", 0, 0, 4800, 3600),
      program_(program) {
    setCaption(QStringLiteral("frmPrinter"));
}

void frmPrinter::Form_Load() {
    platform::PrinterService* printer = program_.services().printer;
    if (!printer)
        return;
    // Cancel in the printer dialog, or any failure from here, ends the run: nothing is
    // printed and nothing is said.
    try {
        if (!printer->ShowPrinter())
            return;
        const platform::Image& shown = program_.frmVedra().Image1;
        Image1.setStretch(true);
        Image1.setPicture(shown.picture());
        setClientSize(shown.Width(), shown.Height() + CaptionRoom);
        Image1.Move(0, 0, shown.Width(), shown.Height());
        // The window's client area holds only the picture at its top-left, so printing the
        // area prints the picture at its shown size at the page's top-left.
        printer->PrintPicture(Image1.picture(), Image1.Width(), Image1.Height());
    } catch (const std::exception&) {
    }
}
