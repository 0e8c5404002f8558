#include "fileops/frmRename.h"

#include "core/FileFailureReport.h"
#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/frmVedra.h"
#include "platform/RuntimeError.h"
#include "platform/services/FileSystemService.h"

frmRename::frmRename(Program& program)
    : Form(QStringLiteral("frmRename"), 4710, 1650, platform::BorderStyle::FixedDialog),
      Label1(*this, "Label1", 120, 180, 1095, 255),
      lblOldName(*this, "lblOldName", 1260, 180, 3330, 255),
      Label3(*this, "Label3", 120, 630, 1095, 255),
      txtNewName(*this, "txtNewName", 1260, 585, 3330, 315),
      cmdOK(*this, "cmdOK", 1860, 1110, 1275, 375, QStringLiteral("OK")),
      cmdCancel(*this, "cmdCancel", 3315, 1110, 1275, 375, QStringLiteral("&Cancel")),
      program_(program) {
    setCaption(project_identity::productTitle(QStringLiteral("Rename")));
    Label1.setCaption(QStringLiteral("Old name:"));
    lblOldName.setCaption(QStringLiteral("oldname"));
    Label3.setCaption(QStringLiteral("New name:"));
    txtNewName.setText(QStringLiteral("Text1"));
    // OK is both the default and the cancel button: Enter and Esc press it.
    cmdOK.setDefault(true);
    cmdOK.setCancel(true);
    platform::applyTabOrder({&txtNewName, &cmdOK, &cmdCancel});
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
}

void frmRename::Form_Unload(int& /*cancel*/) {
    // The window is destroyed after the current event; parted from the main window now, it
    // cannot be taken along if the main window goes first.
    DetachFromOwner();
}

void frmRename::Form_Load() {
    const QString& name = program_.modulo1().NomeFile;
    lblOldName.setCaption(name);
    txtNewName.setText(name);
    // Selected, so that typing a name replaces the old one.
    txtNewName.selectAllText();
    setFocusTo(txtNewName.widget());
}

void frmRename::cmdOK_Click() {
    Modulo1& m = program_.modulo1();
    const QString newName = txtNewName.Text();
    newPath_ = m.CartellaImmagine + QLatin1Char('/') + newName;
    if (m.CartellaImmagine.endsWith(QLatin1Char('/')))
        newPath_ = m.CartellaImmagine + newName;  // a drive root already ends in "/"
    const QString what = QStringLiteral("Cannot rename ") + quoted(m.PercorsoFile) +
                         QStringLiteral("\nto ") + quoted(newName) + QLatin1Char('.');
    platform::MessageBoxService& messages = *program_.services().messageBox;

    // The name is taken as typed, but it must name a file of this folder: the dialog stays
    // open so that the user can correct it.
    if (newName.isEmpty()) {
        reportFileRefusal(messages, what, QStringLiteral("the new name is empty"));
        return;
    }
    if (newName.contains(QLatin1Char('/')) || newName == QLatin1String(".") ||
        newName == QLatin1String("..")) {
        reportFileRefusal(messages, what,
                          QStringLiteral("a file name cannot contain \"/\" or be \".\" or \"..\""));
        return;
    }
    if (newName == m.NomeFile) {
        Unload();  // nothing to rename
        return;
    }
    try {
        // Never replaces: a name in use is reported.
        program_.services().fileSystem->MoveFile(m.PercorsoFile, newPath_, false);
    } catch (const platform::RuntimeError& error) {
        reportFileFailure(messages, what, error);
        return;
    }
    program_.frmVedra().setRenamedPath(newPath_);
    Unload();
}

void frmRename::cmdCancel_Click() {
    Unload();
}
