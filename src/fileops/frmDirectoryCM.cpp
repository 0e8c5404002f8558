#include "fileops/frmDirectoryCM.h"

#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "platform/NumberText.h"
#include "platform/RuntimeError.h"
#include "platform/Volumes.h"
#include "platform/services/MessageBoxService.h"

using platform::RuntimeError;
using platform::ErrorNumber::PathNotFound;

frmDirectoryCM::frmDirectoryCM(Program& program)
    : Form(QStringLiteral("frmDirectoryCM"), 4830, 4035, platform::BorderStyle::FixedDialog),
      Label3(*this, "Label3", 120, 165, 555, 255),
      cmbDirectoryCM(*this, "cmbDirectoryCM", 720, 120, 3990, 315),
      Drive1(*this, "Drive1", 120, 570, 4590, 315, program.volumes()),
      Dir1(*this, "Dir1", 120, 960, 4590, 2415, program.volumes()),
      cmdOK(*this, "cmdOK", 1980, 3510, 1275, 375, QStringLiteral("OK")),
      cmdCancel(*this, "cmdCancel", 3435, 3510, 1275, 375, QStringLiteral("&Cancel")),
      program_(program) {
    setCaption(project_identity::productTitle(QStringLiteral("Folder Copy/Move")));
    Label3.setCaption(QStringLiteral("Path:"));
    cmbDirectoryCM.setText(QStringLiteral("Combo1"));
    // OK is both the default and the cancel button: Enter and Esc press it.
    cmdOK.setDefault(true);
    cmdOK.setCancel(true);
    platform::applyTabOrder({&cmbDirectoryCM, &Drive1, &Dir1, &cmdOK, &cmdCancel});
    Drive1.onChange = [this] { Drive1_Change(); };
    Dir1.onChange = [this] { Dir1_Change(); };
    cmbDirectoryCM.onChange = [this] { cmbDirectoryCM_Change(); };
    cmbDirectoryCM.onLostFocus = [this] { cmbDirectoryCM_LostFocus(); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
}

void frmDirectoryCM::Form_Unload(int& /*cancel*/) {
    // The window is destroyed after the current event; parted from the main window now, it
    // cannot be taken along if the main window goes first.
    DetachFromOwner();
}

void frmDirectoryCM::Form_Load() {
    Modulo1& m = program_.modulo1();
    for (int i = 0; i < 10; ++i) {
        if (!m.CartelleRecenti[i].isEmpty())
            cmbDirectoryCM.setList(i, m.CartelleRecenti[i]);
    }
    cmbDirectoryCM.setText(m.CartelleRecenti[0]);
    m.CartellaCM = cmbDirectoryCM.Text();
    // The box opens with its text selected, so that typing a path replaces the last one.
    cmbDirectoryCM.selectAllText();
    setFocusTo(cmbDirectoryCM.widget());
}

void frmDirectoryCM::showError(int number) {
    program_.services().messageBox->MsgBox(
        QStringLiteral("Error ") + platform::withSignPosition(number),
        platform::MsgBoxStyle::OkOnly, project_identity::productName());
}

void frmDirectoryCM::followPathText() {
    Modulo1& m = program_.modulo1();
    try {
        // An empty box names no folder (the folder list would take it for the current one).
        if (cmbDirectoryCM.Text().isEmpty())
            throw RuntimeError(PathNotFound);
        Dir1.setPath(cmbDirectoryCM.Text());
        m.CartellaCM = cmbDirectoryCM.Text();
        m.SceltaFatta = true;
    } catch (const RuntimeError& error) {
        // A partial or mistyped path only withdraws the choice; anything else is shown.
        if (error.number() != PathNotFound)
            showError(error.number());
        m.SceltaFatta = false;
    }
}

void frmDirectoryCM::cmbDirectoryCM_Change() {
    followPathText();
}

void frmDirectoryCM::cmbDirectoryCM_LostFocus() {
    followPathText();
}

void frmDirectoryCM::Drive1_Change() {
    if (followingFolder_)
        return;
    try {
        Dir1.setPath(Drive1.Drive());
    } catch (const RuntimeError& error) {
        // A drive that cannot be opened: say so and stay where the folder list is.
        if (error.number() != PathNotFound)
            showError(error.number());
        else
            showError(platform::ErrorNumber::DiskNotReady);
        followingFolder_ = true;
        Drive1.setDrive(Dir1.Path());
        followingFolder_ = false;
    }
}

void frmDirectoryCM::Dir1_Change() {
    // The drive list always names the volume the folder list is on.
    followingFolder_ = true;
    Drive1.setDrive(Dir1.Path());
    followingFolder_ = false;
    cmbDirectoryCM.setText(Dir1.Path());
}

void frmDirectoryCM::cmdOK_Click() {
    Modulo1& m = program_.modulo1();
    const QString text = cmbDirectoryCM.Text();
    m.CartellaCM = text;
    bool isNew = true;
    for (int i = 0; i <= 8; ++i) {
        if (m.CartelleRecenti[i] == text)
            isNew = false;
    }
    if (isNew) {
        for (int i = 8; i >= 0; --i) {
            if (!m.CartelleRecenti[i].isEmpty())
                m.CartelleRecenti[i + 1] = m.CartelleRecenti[i];
        }
        m.CartelleRecenti[0] = text;
    }
    Unload();
}

void frmDirectoryCM::cmdCancel_Click() {
    program_.modulo1().CartellaCM.clear();
    Unload();
}
