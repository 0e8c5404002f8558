#pragma once

#include "platform/Form.h"
#include "platform/controls/CommandButton.h"
#include "platform/controls/InputControls.h"
#include "platform/controls/Label.h"

class Program;

// The rename dialog: shows the picture's name and renames the file in its folder.
class frmRename : public platform::Form {
  public:
    explicit frmRename(Program& program);

    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void cmdOK_Click();
    void cmdCancel_Click();

    platform::Label Label1;
    platform::Label lblOldName;
    platform::Label Label3;
    platform::TextBox txtNewName;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdCancel;

  private:
    Program& program_;
    QString newPath_;  // the new full path, while OK runs
};
