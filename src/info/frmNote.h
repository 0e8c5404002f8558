#pragma once

#include "platform/Form.h"
#include "platform/controls/CommandButton.h"
#include "platform/controls/Image.h"
#include "platform/controls/Label.h"
#include "platform/controls/ListBox.h"

class Program;

// The built-in help: the program's features and keys in a list, beside three small
// examples of the size modes.
class frmNote : public platform::Form {
  public:
    explicit frmNote(Program& program);
    ~frmNote() override;

    void Form_Load() override;
    void cmdOK_Click();

    platform::ListBox List1;
    platform::Image Image1;
    platform::Image Image2;
    platform::Image Image3;
    platform::Label Label1;
    platform::Label Label2;
    platform::Label Label3;
    platform::CommandButton cmdOK;
};
