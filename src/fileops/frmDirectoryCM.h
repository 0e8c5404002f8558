#pragma once

#include "platform/Form.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/CommandButton.h"
#include "platform/controls/DirListBox.h"
#include "platform/controls/DriveListBox.h"
#include "platform/controls/Label.h"

class Program;

// The target folder of copy and move: a drive list, a folder list and a path box that drops
// down the last ten folders chosen with OK.
class frmDirectoryCM : public platform::Form {
  public:
    explicit frmDirectoryCM(Program& program);

    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void Drive1_Change();
    void Dir1_Change();
    void cmbDirectoryCM_Change();
    void cmbDirectoryCM_LostFocus();
    void cmdOK_Click();
    void cmdCancel_Click();

    platform::Label Label3;
    platform::ComboBox cmbDirectoryCM;
    platform::DriveListBox Drive1;
    platform::DirListBox Dir1;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdCancel;

  private:
    void followPathText();
    void showError(int number);

    Program& program_;
    bool followingFolder_ = false;  // the drive list is being set to the folder list's volume
};
