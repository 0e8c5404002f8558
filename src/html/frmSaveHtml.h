#pragma once

#include "platform/Form.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/CommandButton.h"
#include "platform/controls/Label.h"

class Program;
struct Modulo1;

// The dialog that names the HTML list document, with the ten names last confirmed.
class frmSaveHtml : public platform::Form {
  public:
    explicit frmSaveHtml(Program& program);

    void Form_Load() override;
    void Form_Unload(int& cancel) override;

    platform::Label Label3;
    platform::ComboBox cmbSaveHtml;
    platform::CommandButton cmdSaveHtml;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdCancel;

    void cmbSaveHtml_Change();
    void cmbSaveHtml_LostFocus();
    void cmdSaveHtml_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

  private:
    Program& program_;
    Modulo1& m_;
    // Set by OK, so the unload it causes is not taken for the close box.
    bool closingWithOk_ = false;
};
