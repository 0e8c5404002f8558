// The File menu's operations on the shown picture: copy, move, delete, rename, save as.
#include "platform/FilePaths.h"

#include "core/FileFailureReport.h"
#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/frmVedra.h"
#include "fileops/frmDirectoryCM.h"
#include "fileops/frmRename.h"
#include "platform/RuntimeError.h"
#include "platform/Twips.h"
#include "platform/services/ApplicationService.h"
#include "platform/services/DialogService.h"
#include "platform/services/FileSystemService.h"
#include "platform/services/MessageBoxService.h"

using platform::RuntimeError;
using platform::MsgBoxAnswer::Yes;

namespace {

// The target folder, a "/" unless it already ends in one (a drive root), and the name.
QString targetPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

}  // namespace

void frmVedra::wireFileOperations() {
    mnuCopyFile.onClick = [this] { mnuCopyFile_Click(); };
    mnuMoveFile.onClick = [this] { mnuMoveFile_Click(); };
    mnuDeleteFile.onClick = [this] { mnuDeleteFile_Click(); };
    mnuRenameFile.onClick = [this] { mnuRenameFile_Click(); };
    mnuSaveAs.onClick = [this] { mnuSaveAs_Click(); };
    mnuExit.onClick = [this] { mnuExit_Click(); };
    mnuConfirmDelete.onClick = [this] { mnuConfirmDelete_Click(); };
    mnuDirectorycm.onClick = [this] { mnuDirectorycm_Click(); };
}

int frmVedra::askOverwrite(bool targetExists) {
    if (!targetExists)
        return Yes;
    return program_.services().messageBox->MsgBox(
        QStringLiteral("This filename is in use.\rDo you want to overwrite the existing file?\r") +
            m_.PercorsoFile,
        platform::MsgBoxStyle::YesNoCriticalDefaultNo, project_identity::productName());
}

void frmVedra::mnuCopyFile_Click() {
    if (File1.ListIndex() == -1 || !m_.SceltaFatta)
        return;
    // No target folder was ever chosen, or the folder dialog was left with Cancel: the file
    // would land in the root folder, where the user never asked for it.
    if (m_.CartellaCM.isEmpty())
        return;
    const QString target = targetPath(m_.CartellaCM, m_.NomeFile);
    const bool targetExists = m_.FileExists(target);
    if (askOverwrite(targetExists) != Yes)
        return;
    try {
        // A target that appears after the question was asked is never replaced.
        program_.services().fileSystem->CopyFile(m_.PercorsoFile, target, targetExists);
    } catch (const RuntimeError& error) {
        reportFileFailure(*program_.services().messageBox,
                          QStringLiteral("Cannot copy ") + quoted(m_.PercorsoFile) +
                              QStringLiteral("\nto ") + quoted(target) + QLatin1Char('.'),
                          error);
    }
}

void frmVedra::mnuMoveFile_Click() {
    if (File1.ListIndex() == -1 || !m_.SceltaFatta)
        return;
    // As for copy; and a pasted or dropped picture is not the file PercorsoFile names, so
    // the file is moved only while the picture shown is the one loaded from the list.
    if (m_.CartellaCM.isEmpty() || ImmagineIncollata_)
        return;
    const QString target = targetPath(m_.CartellaCM, m_.NomeFile);
    const bool targetExists = m_.FileExists(target);
    if (askOverwrite(targetExists) == Yes) {
        try {
            // The existing target is replaced by the move itself rather than deleted first,
            // so a move that fails leaves it as it was.
            program_.services().fileSystem->MoveFile(m_.PercorsoFile, target, targetExists);
        } catch (const RuntimeError& error) {
            reportFileFailure(*program_.services().messageBox,
                              QStringLiteral("Cannot move ") + quoted(m_.PercorsoFile) +
                                  QStringLiteral("\nto ") + quoted(target) + QLatin1Char('.'),
                              error);
            return;  // the files and the list stay as they were
        }
    }
    selectAfterRemoval(File1.ListIndex());
}

void frmVedra::mnuDeleteFile_Click() {
    // Only the picture loaded from the list and still selected there is deleted: after a
    // folder change, or with a pasted or dropped picture shown, PercorsoFile names a file
    // the user no longer sees.
    if (File1.ListIndex() == -1 || ImmagineIncollata_)
        return;
    int answer = Yes;
    if (mnuConfirmDelete.Checked())
        answer = program_.services().messageBox->MsgBox(
            QStringLiteral("Continue?"), platform::MsgBoxStyle::YesNoCriticalDefaultNo,
            project_identity::productName());
    if (answer != Yes)
        return;
    const int idx = File1.ListIndex();
    Image1.setPicture(platform::LoadPicture());
    // From here every failure is passed over and the next step runs.
    try {
        program_.services().fileSystem->Kill(m_.PercorsoFile);
    } catch (const RuntimeError&) {
    }
    selectAfterRemoval(idx);
}

void frmVedra::selectAfterRemoval(int idx) {
    File1.Refresh();
    File1_Click();
    const int count = File1.ListCount();
    // The entry that moved up into the old place, or the new last one.
    int next = count == idx ? idx - 1 : idx;
    if (next >= count)
        next = count - 1;  // the folder lost more than one file meanwhile
    try {
        File1.setListIndex(next);
    } catch (const RuntimeError&) {
    }
}

void frmVedra::mnuConfirmDelete_Click() {
    mnuConfirmDelete.setChecked(!mnuConfirmDelete.Checked());
}

void frmVedra::mnuRenameFile_Click() {
    if (m_.NomeFile.trimmed().isEmpty())
        return;
    // Only the picture loaded from the list is renamed (see delete).
    if (File1.ListIndex() == -1 || ImmagineIncollata_)
        return;
    const QString oldName = m_.NomeFile;
    renamedPath_.clear();
    program_.frmRename().ShowModal(this);
    File1.Refresh();
    File1_Click();
    // The refreshed list selects nothing; the picture is selected again under its new name
    // (or its old one when nothing was renamed) as long as the filter lists it.
    selectEntryNamed(renamedPath_.isEmpty() ? oldName : platform::fileNameOf(renamedPath_));
}

void frmVedra::selectEntryNamed(const QString& name) {
    for (int i = 0; i < File1.ListCount(); ++i) {
        if (File1.List(i) == name) {
            File1.setListIndex(i);
            return;
        }
    }
}

platform::Picture frmVedra::pictureAsShown() const {
    const platform::Picture& shown = Image1.picture();
    if (shown.isEmpty() || shown.kind() == platform::Picture::Kind::Raster)
        return shown;
    // An icon or a metafile has no pixels of its own to write: it is saved as the viewing
    // area draws it, at the size it is shown.
    QSize size(platform::twipsToPixels(Image1.Width()), platform::twipsToPixels(Image1.Height()));
    if (size.isEmpty())
        size = shown.sizePixels();
    return platform::Picture::fromImage(shown.imageForSize(size));
}

void frmVedra::mnuSaveAs_Click() {
    platform::DialogService* dialogs = program_.services().dialogs;
    if (!dialogs)
        return;
    platform::SaveDialogOptions options;
    options.filter = QStringLiteral("Bitmap (*.bmp)|*.bmp");
    options.filterIndex = 0;
    options.confirmOverwrite = true;  // and no read-only check box
    QString fileName;
    try {
        fileName = dialogs->ShowSave(options);
    } catch (const RuntimeError&) {
        return;  // cancelled
    }
    ImmagineBitmap_ = true;
    PercorsoBitmap_ = fileName;
    try {
        platform::SavePicture(pictureAsShown(), fileName);
    } catch (const RuntimeError& error) {
        reportFileFailure(
            *program_.services().messageBox,
            QStringLiteral("Cannot save the picture as ") + quoted(fileName) + QLatin1Char('.'),
            error);
    }
}

void frmVedra::mnuExit_Click() {
    program_.services().application->End(0);
}

void frmVedra::mnuDirectorycm_Click() {
    program_.frmDirectoryCM().ShowModal(this);
}
