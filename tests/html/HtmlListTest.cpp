// The HTML list as the user gets it: Ctrl+H in a folder, the name dialog, the document on
// disk byte for byte, the follow-up questions and the state the main window is left in.
#include <signal.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <functional>

#include "FileBytes.h"
#include "MainWindowFixture.h"
#include "html/frmSaveHtml.h"
#include "platform/services/MessageBoxService.h"

constexpr int Yes = platform::MsgBoxAnswer::Yes;
constexpr int No = platform::MsgBoxAnswer::No;
using testing_support::bytesOf;
const QString AllPictures = "*.JPG;*.GIF;*.BMP;*.WMF;*.EMF;*.ICO";

// The document as written by hand from its line table: header naming the folder, one line
// per picture, the footer with this project's credit and addresses. CR LF after each line.
static QByteArray expectedDocument(const QString& folder, const QStringList& entries) {
    QString text = QStringLiteral(
                       "<HTML>\r\n<HEAD>\r\n<TITLE>Images: %1</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
                       "<CENTER>\r\n<H1><FONT COLOR=\"#0000FF\">IMAGES</FONT></H1>\r\n"
                       "<H2><EM>%1</EM></H2>\r\n<HR>\r\n</CENTER>\r\n")
                       .arg(folder);
    for (const QString& entry : entries)
        text += entry + QStringLiteral("\r\n");
    text += QStringLiteral(
        "<P>\r\n<HR>\r\n<CENTER><I>This HTML document was produced with <BR>\r\n"
        "<B>Vedra Viewer</B><BR>\r\nby The Vedra Viewer developers<P>\r\n"
        "You can download this program and others by visiting the\r\n"
        "web page at</I><BR>\r\n"
        "<A HREF=\"https://vedra-viewer.org/\">https://vedra-viewer.org/</A><BR>\r\n"
        "<I>e-mail:</I>\r\n"
        "<A href = \"mailto:info@vedra-viewer.org\">info@vedra-viewer.org</A></CENTER>\r\n"
        "<HR>\r\n</BODY>\r\n</HTML>\r\n");
    return text.toUtf8();
}

class HtmlListTest : public MainWindowTest {
  protected:
    // Presses Ctrl+H's menu item; `inDialog` acts in the name dialog once it is shown (the
    // default: Enter). Records whether the dialog was shown and the name it proposed.
    void generate(frmVedra& w, std::function<void(frmSaveHtml&)> inDialog = {}) {
        dialogShown = false;
        // The action dies with `context` when no dialog was shown.
        QObject context;
        QTimer::singleShot(0, &context, [&] {
            frmSaveHtml* dialog = program->frmSaveHtml.peek();
            if (!dialog || !dialog->isModalShowing())
                return;
            dialogShown = true;
            proposed = dialog->cmbSaveHtml.Text();
            if (inDialog)
                inDialog(*dialog);
            else
                dialog->cmdOK.click();
        });
        w.mnuHtml.click();
    }

    // The document's entry for a file of the test folder, its size read from the disk.
    QString entry(const QString& name) const {
        return QStringLiteral("<IMG SRC=\"%1\"><BR>%2 (%3 byte)<P>")
            .arg(name, name.toLower())
            .arg(QFileInfo(folder.file(name)).size());
    }

    bool dialogShown = false;
    QString proposed;
};

TEST_F(HtmlListTest, ListsTheFolderPicturesInListOrderWithNamesWrittenAsTheyAre) {
    folder.addPicture("Holiday.JPG", 40, 30);
    folder.addCopy("b & <c>.gif", "gif/pillow/transparent.gif");
    folder.addPicture("my photo.bmp", 10, 5);
    folder.addPicture("a.b.jpg", 6, 6);              // extension "b.jpg": shown, not listed
    folder.addBytes("broken.jpg", "not a picture");  // cannot be decoded: left out, no message
    folder.addPicture("icon.ico", 16, 16);           // icons are never listed
    folder.addCopy("d.emf", "emf/pillow/drawing.emf");
    folder.addCopy("e.WMF", "wmf/libwmf/ant.wmf");
    folder.addBytes("PicList.htm", QByteArray(5000, 'x'));  // an older list: overwritten
    frmVedra& w = startListing();
    w.File1.setListIndex(1);
    const QString selected = w.File1.FileName();
    scripted.messageBox.answers = {No, No};

    generate(w);

    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(proposed, folder.file("PicList.htm"));
    EXPECT_EQ(bytesOf(folder.file("PicList.htm")),
              expectedDocument(folder.path(), {entry("b & <c>.gif"), entry("d.emf"), entry("e.WMF"),
                                               entry("Holiday.JPG"), entry("my photo.bmp")}));
    EXPECT_EQ(prompts(),
              (Prompts{question("Open source with NotePad?"), question("Open with Web Browser?")}));
    EXPECT_TRUE(scripted.shell.calls.empty());
    EXPECT_TRUE(QDir(folder.path()).entryList({"*.tmp", "*.new", "PicList.htm.*"}).isEmpty());
    // The window is left as it was: the filter, the selection, the picture shown.
    EXPECT_EQ(w.File1.Pattern(), AllPictures);
    EXPECT_EQ(w.File1.FileName(), selected);
    EXPECT_EQ(w.Caption(), "Vedra Viewer - " + folder.file(selected));
    EXPECT_EQ(w.lblContatore.Caption(), QString("2/%1").arg(w.File1.ListCount()));
    EXPECT_TRUE(w.Image1.Visible());
    EXPECT_FALSE(w.Image1.picture().isEmpty());
}

// A folder without listed pictures shows no dialog; a cancelled dialog leaves the view blank.
TEST_F(HtmlListTest, NoListedPictureOrACancelledDialogWritesNothingAndAsksNothing) {
    folder.addPicture("one.ico", 16, 16);
    folder.addBytes("notes.txt", "text");
    frmVedra& w = start();
    w.TipoImmagine.setListIndex(7);  // icons
    w.File1.setListIndex(0);
    generate(w);
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(w.File1.Pattern(), "*.ICO");
    EXPECT_EQ(w.File1.FileName(), "one.ico");
    EXPECT_FALSE(w.Image1.picture().isEmpty());

    folder.addPicture("a.jpg", 20, 20);
    w.TipoImmagine.setListIndex(0);
    w.File1.setListIndex(0);
    generate(w, [](frmSaveHtml& dialog) { dialog.cmdCancel.click(); });
    EXPECT_TRUE(dialogShown);
    EXPECT_FALSE(program->modulo1().HtmlConfermato);
    EXPECT_EQ(w.File1.Pattern(), AllPictures);
    EXPECT_EQ(w.File1.ListIndex(), -1);
    EXPECT_TRUE(w.Image1.picture().isEmpty());
    EXPECT_EQ(w.lblDisplay.Caption(), "");
    EXPECT_EQ(w.lblContatore.Caption(), "");
    EXPECT_FALSE(QFile::exists(folder.file("PicList.htm")));
    EXPECT_EQ(prompts(), Prompts{});
}

TEST_F(HtmlListTest, YesOpensTheSourceInTheEditorAndThePageInTheBrowser) {
    folder.addPicture("a.jpg", 20, 20);
    const QString spaced = folder.addFolder("my pages") + "/list of pics.htm";
    frmVedra& w = startListing();
    scripted.messageBox.answers = {Yes, Yes};

    generate(w, [&](frmSaveHtml& dialog) {
        dialog.cmbSaveHtml.setText(spaced);
        dialog.cmdOK.click();
    });

    EXPECT_EQ(bytesOf(spaced), expectedDocument(folder.path(), {entry("a.jpg")}));
    ASSERT_EQ(scripted.shell.calls.size(), 2u);
    EXPECT_EQ(scripted.shell.calls[0].kind, "edit");
    EXPECT_EQ(scripted.shell.calls[0].arguments, QStringList{spaced});
    EXPECT_EQ(scripted.shell.calls[1].kind, "open");
    EXPECT_EQ(scripted.shell.calls[1].program, spaced);

    w.mnuRunWebBrowser.click();  // the makers' page
    ASSERT_EQ(scripted.shell.calls.size(), 3u);
    EXPECT_EQ(scripted.shell.calls[2].kind, "open");
    EXPECT_EQ(scripted.shell.calls[2].program, "https://vedra-viewer.org/");
}

TEST_F(HtmlListTest, ADocumentThatCannotBeOpenedIsReportedInWordsAndTheWindowIsLeftInOrder) {
    folder.addPicture("a.jpg", 20, 20);
    folder.addPicture("b.jpg", 20, 20);
    const QString locked = folder.addFolder("locked");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) | QFileDevice::ExeOther |
                                             QFileDevice::ReadOther);
    struct Case {
        QString name;
        QString reason;  // the second line of the message
    } cases[] = {
        {locked + "/PicList.htm", "Permission denied."},
        {folder.file("no such folder/PicList.htm"), "The folder does not exist."},
        {"", "The name cannot be used for a file."},
    };
    frmVedra& w = startListing();
    // Files are opened as a user without special rights, even when the tests run as root.
    const gid_t previousGroup = setfsgid(geteuid() == 0 ? 65534 : getegid());
    const uid_t previousUser = setfsuid(geteuid() == 0 ? 65534 : geteuid());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        w.File1.setListIndex(1);
        scripted.messageBox.prompts.clear();
        generate(w, [&](frmSaveHtml& dialog) {
            dialog.cmbSaveHtml.setText(c.name);
            dialog.cmdOK.click();
        });
        EXPECT_EQ(prompts(),
                  Prompts{report("Cannot write the HTML list \"" + c.name + "\".\n" + c.reason)});
        EXPECT_TRUE(QDir(locked).isEmpty());
        EXPECT_EQ(w.File1.Pattern(), AllPictures);
        EXPECT_EQ(w.File1.FileName(), "b.jpg");
        EXPECT_FALSE(w.Image1.picture().isEmpty());
        EXPECT_TRUE(w.Image1.Visible());
    }
    setfsuid(previousUser);
    setfsgid(previousGroup);
}

TEST_F(HtmlListTest, AFullDiskEndsTheRunAfterOneReportAndLeavesNoPartialDocument) {
    for (int i = 0; i < 40; ++i)
        folder.addPicture(QString("picture number %1.jpg").arg(i, 2, 10, QChar('0')), 4, 4);
    folder.addBytes("PicList.htm", "the old list");
    frmVedra& w = startListing();
    // Files may not grow past 1 KB: every write beyond fails as on a full disk.
    signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &small);

    generate(w);

    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(prompts(),
              Prompts{report("Cannot write the HTML list \"" + folder.file("PicList.htm") +
                             "\".\nThere is not enough free space on the disk.")});
    EXPECT_EQ(bytesOf(folder.file("PicList.htm")), "the old list");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 41);
    EXPECT_EQ(w.File1.Pattern(), AllPictures);
}
