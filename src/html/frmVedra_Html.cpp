// The HTML list of the shown folder's pictures, and opening it in an editor and a browser.
#include <new>

#include "core/FileFailureReport.h"
#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/frmVedra.h"
#include "html/HtmlListDocument.h"
#include "html/frmSaveHtml.h"
#include "platform/NumberText.h"
#include "platform/RuntimeError.h"
#include "platform/TextOutputFile.h"
#include "platform/Volumes.h"
#include "platform/services/FileSystemService.h"
#include "platform/services/MessageBoxService.h"
#include "platform/services/ShellService.h"

using platform::RuntimeError;
using platform::ErrorNumber::OutOfMemory;

namespace {

int indexOfEntry(const platform::FileListBox& list, const QString& name) {
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.List(i) == name)
            return i;
    }
    return -1;
}
}  // namespace

void frmVedra::setDefaultHtmlName() {
    // A drive root already ends in the separator. Setting the name dialog's box creates that
    // window hidden the first time; its change handling records the name.
    program_.frmSaveHtml().cmbSaveHtml.setText(
        platform::joinPath(Dir1.Path(), QStringLiteral("PicList.htm")));
}

void frmVedra::mnuHtml_Click() {
    GeneraHtml();
}

void frmVedra::mnuRunWebBrowser_Click() {
    QString sito = QString::fromUtf8(project_identity::kWebPage);
    Navigatore(sito);
}

void frmVedra::GeneraHtml() {
    // The user's own selection, taken back when the run leaves the window in order.
    const QString selectedName = File1.ListIndex() >= 0 ? File1.FileName() : QString();
    const QString userPattern = File1.Pattern();
    File1.setPattern(QString::fromLatin1(html_list::kListingPattern));
    bool reselect = true;
    if (File1.ListCount() > 0)
        reselect = writeHtmlList(selectedName);
    File1.setPattern(userPattern);
    if (reselect && !selectedName.isEmpty()) {
        const int row = indexOfEntry(File1, selectedName);
        if (row >= 0)
            File1.setListIndex(row);
    }
}

bool frmVedra::writeHtmlList(const QString& selectedName) {
    Image1.setPicture(platform::LoadPicture());
    lblDisplay.setCaption(QString());
    lblContatore.setCaption(QString());
    Image1.Refresh();
    lblDisplay.Refresh();
    lblContatore.Refresh();
    Image1.setVisible(false);

    // The position of the user's entry in the listing; none when it is not listed.
    const int rememberedIndex = selectedName.isEmpty() ? -1 : indexOfEntry(File1, selectedName);
    File1.setListIndex(0);
    const QString folderText = File1.Path();
    File1.setListIndex(-1);
    lblDisplay.setCaption(QString());
    lblContatore.setCaption(QString());
    Image1.setPicture(platform::LoadPicture());
    File1.Refresh();

    Program& program = program_;
    program.frmSaveHtml().ShowModal(this);
    if (!m_.HtmlConfermato)
        return false;
    BringToFront();

    bool written = false;
    try {
        platform::TextOutputFile document(m_.FileHtml);
        for (const QString& line : html_list::headerLines(folderText))
            document.PrintLine(line);
        walkAndListPictures(document);
        for (const QString& line : html_list::footerLines())
            document.PrintLine(line);
        document.Close();
        written = true;
    } catch (const RuntimeError& error) {
        // The document could not be opened or written: reported once in words, like the
        // file operations, and nothing is left of it.
        reportFileFailure(
            *program_.services().messageBox,
            QStringLiteral("Cannot write the HTML list ") + quoted(m_.FileHtml) + QLatin1Char('.'),
            error);
    } catch (const std::bad_alloc&) {
        showError(OutOfMemory);
    }

    if (rememberedIndex >= 0 && rememberedIndex < File1.ListCount()) {
        File1.setListIndex(rememberedIndex);
    } else {
        File1.setListIndex(0);
        File1.setListIndex(-1);
        lblContatore.setCaption(QString());
        lblDisplay.setCaption(QString());
        lblContatore.Refresh();
        lblDisplay.Refresh();
        Image1.setPicture(platform::LoadPicture());
    }
    Image1.setVisible(true);
    if (!written)
        return true;

    platform::MessageBoxService& messages = *program_.services().messageBox;
    if (messages.MsgBox(QStringLiteral("Open source with NotePad?"),
                        platform::MsgBoxStyle::YesNoCriticalDefaultNo,
                        project_identity::productName()) == platform::MsgBoxAnswer::Yes) {
        QString cmdline = QStringLiteral("notepad ") + m_.FileHtml;
        ExecCmd(cmdline);
    }
    if (messages.MsgBox(QStringLiteral("Open with Web Browser?"),
                        platform::MsgBoxStyle::YesNoCriticalDefaultNo,
                        project_identity::productName()) == platform::MsgBoxAnswer::Yes) {
        QString sito = m_.FileHtml;
        Navigatore(sito);
    }
    return true;
}

void frmVedra::walkAndListPictures(platform::TextOutputFile& document) {
    platform::FileSystemService& files = *program_.services().fileSystem;
    const int count = File1.ListCount();
    for (m_.IndiceFile = 0; m_.IndiceFile < count; ++m_.IndiceFile) {
        // Each entry goes through the file-click handling, so the user sees it in turn.
        File1.setListIndex(int(m_.IndiceFile));
        Image1.Refresh();
        lblDisplay.Refresh();
        lblContatore.Refresh();
        const QString name = File1.FileName();
        const QString fullPath = platform::joinPath(File1.Path(), name);
        if (!html_list::isListedName(name))
            continue;
        QString line;
        try {
            Image1.setPicture(loadShownPicture(fullPath));
            line = html_list::entryLine(name, files.FileLen(fullPath));
        } catch (const RuntimeError& error) {
            // A vanished file is left out in silence, a picture that cannot be decoded
            // blanks the viewing area; either way the walk goes on with the next entry.
            if (error.number() == platform::ErrorNumber::InvalidPicture)
                Image1.setPicture(Image2.picture());
            else if (error.number() != platform::ErrorNumber::FileNotFound)
                showError(error.number());
            continue;
        } catch (const std::bad_alloc&) {
            showError(OutOfMemory);
            continue;
        }
        // A failing write ends the run: the caller reports it once.
        document.PrintLine(line);
    }
}

void frmVedra::ExecCmd(QString& cmdline) {
    // The first word names the program; the rest of the line is its one argument, taken
    // as it stands, blanks included.
    const int blank = int(cmdline.indexOf(QLatin1Char(' ')));
    const QString program = blank < 0 ? cmdline : cmdline.left(blank);
    const QStringList arguments = blank < 0 || blank + 1 >= cmdline.size()
                                      ? QStringList()
                                      : QStringList{cmdline.mid(blank + 1)};
    platform::ShellService* shell = program_.services().shell;
    if (!shell)
        return;
    if (program == QLatin1String("notepad"))
        shell->EditAndWait(arguments.value(0));
    else
        shell->RunAndWait(program, arguments);
}

void frmVedra::Navigatore(QString& Sito) {
    if (platform::ShellService* shell = program_.services().shell)
        shell->OpenDocument(Sito);
}
