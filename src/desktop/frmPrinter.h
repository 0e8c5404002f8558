#pragma once

#include "platform/Form.h"
#include "platform/controls/Image.h"

class Program;

// The print window: it exists for one print run, which its Form_Load performs. The printer
// dialog of the printer service stands for the window's common dialog.
class frmPrinter : public platform::Form {
  public:
    explicit frmPrinter(Program& program);

    void Form_Load() override;

    // A copy of the main window's picture at its shown size.
    platform::Image Image1;

  private:
    Program& program_;
};
