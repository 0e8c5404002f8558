#include "html/frmSaveHtml.h"

#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/StoredPictures.h"
#include "platform/RuntimeError.h"
#include "platform/services/DialogService.h"

namespace {
constexpr int HistorySize = 10;
}

frmSaveHtml::frmSaveHtml(Program& program)
    : Form(QStringLiteral("frmSaveHtml"), 6120, 1500, platform::BorderStyle::FixedDialog),
      Label3(*this, "Label3", 120, 120, 4500, 255),
      cmbSaveHtml(*this, "cmbSaveHtml", 120, 420, 5415, 315),
      cmdSaveHtml(*this, "cmdSaveHtml", 5625, 390, 375, 375),
      cmdOK(*this, "cmdOK", 1680, 960, 1215, 375, QStringLiteral("OK")),
      cmdCancel(*this, "cmdCancel", 3120, 960, 1215, 375, QStringLiteral("&Annulla")),
      program_(program),
      m_(program.modulo1()) {
    setCaption(project_identity::productTitle(QStringLiteral("Genera lista HTML")));
    Label3.setCaption(QStringLiteral("Nome del documento HTML:"));
    cmbSaveHtml.setText(QStringLiteral("Combo1"));
    cmdSaveHtml.setPicture(storedPicture("browse"));
    cmdSaveHtml.setToolTipText(QStringLiteral("Browse"));
    // OK is both the default and the cancel button: Enter and Esc confirm.
    cmdOK.setDefault(true);
    cmdOK.setCancel(true);
    cmbSaveHtml.setTabIndex(0);
    cmdSaveHtml.setTabIndex(1);
    cmdOK.setTabIndex(2);
    cmdCancel.setTabIndex(3);
    platform::applyTabOrder({&cmbSaveHtml, &cmdSaveHtml, &cmdOK, &cmdCancel});

    cmbSaveHtml.onChange = [this] { cmbSaveHtml_Change(); };
    cmbSaveHtml.onLostFocus = [this] { cmbSaveHtml_LostFocus(); };
    cmdSaveHtml.onClick = [this] { cmdSaveHtml_Click(); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
}

void frmSaveHtml::Form_Load() {
    for (int i = 0; i < HistorySize; ++i) {
        if (!m_.DocumentiRecenti[i].isEmpty())
            cmbSaveHtml.setList(i, m_.DocumentiRecenti[i]);
    }
    cmbSaveHtml.setText(m_.DocumentiRecenti[0]);
    m_.NomeHtml = cmbSaveHtml.Text();
}

void frmSaveHtml::Form_Unload(int& cancel) {
    (void)cancel;
    // Closing by the window's close box counts as Annulla.
    if (!closingWithOk_)
        m_.HtmlConfermato = false;
    // The window is destroyed after this event: until then it runs no handler (its box
    // may still lose the focus), and the main window must not take it along if it goes
    // first.
    cmbSaveHtml.onChange = nullptr;
    cmbSaveHtml.onLostFocus = nullptr;
    DetachFromOwner();
}

void frmSaveHtml::cmbSaveHtml_Change() {
    m_.NomeHtml = cmbSaveHtml.Text();
    m_.SceltaFatta = true;
}

void frmSaveHtml::cmbSaveHtml_LostFocus() {
    m_.NomeHtml = cmbSaveHtml.Text();
    m_.SceltaFatta = true;
}

void frmSaveHtml::cmdSaveHtml_Click() {
    platform::DialogService* dialogs = program_.services().dialogs;
    if (!dialogs)
        return;
    platform::SaveDialogOptions options;
    options.filter = QStringLiteral(
        "HTML (*.htm;*.html)|*.htm;*.html|Text files (*.txt)|*.txt|All files (*.*)|*.*");
    options.filterIndex = 0;
    options.confirmOverwrite = true;
    try {
        const QString chosen = dialogs->ShowSave(options);
        cmbSaveHtml.setText(chosen);
    } catch (const platform::RuntimeError&) {
        // Cancelled, or the dialog failed: nothing changes.
    }
}

void frmSaveHtml::cmdOK_Click() {
    m_.HtmlConfermato = true;
    m_.NomeHtml = cmbSaveHtml.Text();
    bool known = false;
    for (int i = 0; i < HistorySize - 1; ++i)
        known = known || m_.NomeHtml == m_.DocumentiRecenti[i];
    if (!known) {
        for (int i = HistorySize - 2; i >= 0; --i) {
            if (!m_.DocumentiRecenti[i].isEmpty())
                m_.DocumentiRecenti[i + 1] = m_.DocumentiRecenti[i];
        }
        m_.DocumentiRecenti[0] = m_.NomeHtml;
    }
    m_.FileHtml = m_.NomeHtml;
    closingWithOk_ = true;
    Unload();
}

void frmSaveHtml::cmdCancel_Click() {
    m_.HtmlConfermato = false;
    Unload();
}
