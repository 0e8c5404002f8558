#include "info/frmAbout.h"

#include <QStringList>
#include <vector>

#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/StoredPictures.h"
#include "info/Uovo.h"
#include "platform/services/MessageBoxService.h"
#include "platform/services/ShellService.h"
#include "platform/services/SystemInfoService.h"

namespace {

// System-information tools, each with the desktops it belongs to (as XDG_CURRENT_DESKTOP
// names them). The running desktop's own tool is preferred; any other installed one of the
// list serves when the desktop has none.
struct SysInfoTool {
    const char* program;
    QStringList arguments;
    QStringList desktops;
};

const std::vector<SysInfoTool>& sysInfoTools() {
    static const std::vector<SysInfoTool> tools = {
        {"kinfocenter", {}, {QStringLiteral("KDE")}},
        {"gnome-control-center",
         {QStringLiteral("info-overview")},
         {QStringLiteral("GNOME"), QStringLiteral("UNITY"), QStringLiteral("BUDGIE")}},
        {"xfce4-about", {}, {QStringLiteral("XFCE")}},
        {"mate-system-monitor", {}, {QStringLiteral("MATE")}},
        {"hardinfo", {}, {}},
        {"gnome-system-monitor", {}, {}},
    };
    return tools;
}

const QString Bold = QStringLiteral("Sans Serif");

}  // namespace

frmAbout::frmAbout(Program& program)
    : Form(QStringLiteral("frmAbout"), 7455, 4545, platform::BorderStyle::FixedDialog),
      picIcon(*this, "picIcon", 240, 240, 540, 540),
      lblTitle(*this, "lblTitle", 1050, 240, 6165, 375),
      lblVersion(*this, "lblVersion", 1050, 660, 6165, 255),
      lblDescription(*this, "lblDescription", 1050, 960, 6165, 255),
      Label2(*this, "Label2", 1050, 1260, 6165, 255),
      Label1(*this, "Label1", 1050, 1620, 6165, 255),
      Label7(*this, "Label7", 1050, 1890, 6165, 255),
      Label8(*this, "Label8", 1050, 2160, 6165, 255),
      Label9(*this, "Label9", 1050, 2430, 6165, 255),
      Frame1(*this, "Frame1", 240, 2790, 6975, 1035, QString()),
      Label4(*this, "Label4", 360, 2910, 6735, 255),
      Label5(*this, "Label5", 360, 3180, 6735, 255),
      Label6(*this, "Label6", 360, 3450, 6735, 255),
      cmdOK(*this, "cmdOK", 4560, 3990, 1215, 375, QStringLiteral("OK")),
      cmdSysInfo(*this, "cmdSysInfo", 5880, 3990, 1335, 375, QStringLiteral("&System Info...")),
      program_(program) {
    using namespace project_identity;
    setCaption(project_identity::productTitle(QStringLiteral("About")));
    setIcon(storedPicture("app-icon"));
    picIcon.setPicture(storedPicture("about-icon"));
    picIcon.setBorder(false);
    picIcon.setToolTipText(project_identity::productName());
    // The icon opens the credits: a button to screen readers and the keyboard, reached
    // after the two real buttons so that OK keeps the first focus.
    picIcon.setActsAsButton(true);
    platform::applyTabOrder({&cmdOK, &cmdSysInfo, &picIcon});
    lblTitle.setCaption(project_identity::productName());
    lblTitle.setFont(Bold, 14, true);
    lblVersion.setCaption(QStringLiteral("V1.0.1"));
    lblDescription.setCaption(QStringLiteral("Picture Viewer for Linux"));
    Label2.setCaption(QStringLiteral("Formats: BMP, JPG, GIF, WMF, EMF, ICO"));
    Label1.setCaption(QString::fromUtf8(kMakerName));
    Label7.setCaption(QString::fromUtf8(kMakerAddress));
    Label8.setCaption(QStringLiteral("E-mail: ") + QString::fromUtf8(kEmail));
    Label9.setCaption(QStringLiteral("Web: ") + QString::fromUtf8(kWebPage));
    Label4.setCaption(QString::fromUtf8(kMakerName) +
                      QStringLiteral(" offer this program as freeware."));
    Label5.setCaption(QStringLiteral("It comes without any warranty: the authors are not liable"));
    Label6.setCaption(QStringLiteral("for any damage or loss of data arising from its use."));
    cmdOK.setDefault(true);
    cmdOK.setCancel(true);

    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdSysInfo.onClick = [this] { cmdSysInfo_Click(); };
    picIcon.onClick = [this] { picIcon_Click(); };
}

frmAbout::~frmAbout() = default;

void frmAbout::cmdOK_Click() {
    Unload();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::picIcon_Click() {
    program_.Uovo().ShowModal(this);
}

bool frmAbout::GetKeyValue(long KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                           QString& text) {
    platform::SystemInfoService* info = program_.services().systemInfo;
    QString value;
    if (KeyRoot != HKEY_LOCAL_MACHINE || !info || !info->GetKeyValue(KeyName, SubKeyRef, value)) {
        text.clear();
        return false;
    }
    text = value;
    return true;
}

void frmAbout::StartSysInfo() {
    QString desktop;
    GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("Environment"),
                QStringLiteral("XDG_CURRENT_DESKTOP"), desktop);
    const QStringList running = desktop.toUpper().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const auto belongsToDesktop = [&running](const SysInfoTool& tool) {
        for (const QString& name : tool.desktops) {
            if (running.contains(name))
                return true;
        }
        return false;
    };

    const SysInfoTool* chosen = nullptr;
    QString path;
    for (const bool ownOnly : {true, false}) {
        for (const SysInfoTool& tool : sysInfoTools()) {
            if (ownOnly && !belongsToDesktop(tool))
                continue;
            if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("Programs"),
                            QString::fromLatin1(tool.program), path)) {
                chosen = &tool;
                break;
            }
        }
        if (chosen)
            break;
    }
    platform::ShellService* shell = program_.services().shell;
    if (chosen && shell && shell->Start(path, chosen->arguments))
        return;
    program_.services().messageBox->MsgBox(QStringLiteral("System Info not available"),
                                           platform::MsgBoxStyle::OkOnly, QString());
}
