#pragma once

#include <QString>

#include "platform/Form.h"
#include "platform/controls/CommandButton.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"

class Program;

// The About box: title, version, description, formats, the maker's contact lines and the
// freeware notice; a button that starts the desktop's system-information tool, and an icon
// that opens the credits.
class frmAbout : public platform::Form {
  public:
    explicit frmAbout(Program& program);
    ~frmAbout() override;

    void cmdOK_Click();
    void cmdSysInfo_Click();
    void picIcon_Click();
    void StartSysInfo();
    // Reads one value of the local machine's configuration into `text`; false (and an empty
    // text) when the key cannot be opened.
    bool GetKeyValue(long KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& text);

    platform::PictureBox picIcon;
    platform::Label lblTitle;
    platform::Label lblVersion;
    platform::Label lblDescription;
    platform::Label Label2;
    platform::Label Label1;
    platform::Label Label7;
    platform::Label Label8;
    platform::Label Label9;
    platform::Frame Frame1;
    platform::Label Label4;
    platform::Label Label5;
    platform::Label Label6;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdSysInfo;

  private:
    Program& program_;
};

// The root key of the local machine's configuration.
constexpr long HKEY_LOCAL_MACHINE = 0x80000002L;
