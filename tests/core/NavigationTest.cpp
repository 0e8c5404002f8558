#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <functional>

#include "platform/RuntimeError.h"
#include "platform/Volumes.h"

#include "MainWindowFixture.h"

class NavigationTest : public MainWindowTest {};

TEST_F(NavigationTest, TheFilterListsMatchingFilesIgnoringCaseSortedWithoutFoldersOrHiddenFiles) {
    for (const char* name : {"photo.jpg", "PHOTO2.JPG", "Alpha.Jpg", ".secret.jpg"})
        folder.addPicture(name, 20, 10);
    for (const char* name : {"g0.GIF", "g1.gif"})
        folder.addCopy(name, "gif/pillow/transparent.gif");
    folder.addFolder("album.jpg");
    folder.addBytes("notes.txt", "text");
    frmVedra& w = start();
    w.TipoImmagine.setListIndex(2);
    EXPECT_EQ(itemsOf(w.File1), (QStringList{"Alpha.Jpg", "photo.jpg", "PHOTO2.JPG"}));
    // The counter runs over the filtered list.
    w.File1.setListIndex(2);
    EXPECT_EQ(w.lblContatore.Caption(), "3/3");
    EXPECT_EQ(program->modulo1().IndiceFile, 2);

    // Another filter keeps the shown picture and its line.
    const QString caption = w.Caption(), line = w.lblDisplay.Caption();
    const platform::Picture shown = w.Image1.picture();
    w.TipoImmagine.setListIndex(3);  // GIF
    EXPECT_EQ(w.File1.Pattern(), "*.GIF");
    EXPECT_EQ(w.NumeroFile(), 2);
    EXPECT_EQ(w.Caption(), caption);
    EXPECT_EQ(w.lblDisplay.Caption(), line);
    EXPECT_TRUE(w.Image1.picture().sameAs(shown));
    w.File1.setListIndex(1);
    EXPECT_EQ(w.lblContatore.Caption(), "2/2");
    EXPECT_EQ(w.Caption(), "Vedra Viewer - " + folder.file("g1.gif"));

    // A typed filter is the empty pattern, which lists every ordinary file.
    w.TipoImmagine.setText("JP");
    EXPECT_EQ(w.TipoImmagine.ListIndex(), -1);
    EXPECT_EQ(w.File1.Pattern(), "");
    EXPECT_EQ(w.NumeroFile(), 6);
}

TEST_F(NavigationTest, AFolderChangeBlanksTheViewAndAnEmptyOneCountsZero) {
    folder.addPicture("a.jpg", 30, 20);
    const QString sub = folder.addFolder("sub");
    folder.addPicture("sub/x.jpg", 10, 10);
    folder.addPicture("sub/y.jpg", 10, 10);
    folder.addFolder("b");
    folder.addFolder(".hidden");
    frmVedra& w = startListing();
    // Subfolders are listed sorted, hidden ones left out.
    EXPECT_EQ(itemsOf(w.Dir1).mid(w.Dir1.ListCount() - 2), (QStringList{folder.file("b"), sub}));
    w.File1.setListIndex(0);

    w.Dir1.setPath(sub);
    EXPECT_EQ(w.File1.Path(), sub);
    EXPECT_EQ(w.Caption(), "Vedra Viewer");
    EXPECT_EQ(w.lblDisplay.Caption(), "");
    EXPECT_EQ(w.lblContatore.Caption(), "");
    EXPECT_TRUE(w.Image1.picture().isEmpty());
    EXPECT_EQ(w.NumeroFile(), 2);
    EXPECT_EQ(w.File1.ListIndex(), -1);

    w.Dir1.setPath(folder.addFolder("empty"));
    EXPECT_EQ(w.NumeroFile(), 0);
    EXPECT_THROW(w.Dir1.setPath(folder.file("missing")), platform::RuntimeError);
    EXPECT_EQ(w.Dir1.Path(), folder.file("empty"));

    // At the drive root the HTML document's name has no doubled separator.
    w.Dir1.setPath("/");
    EXPECT_EQ(w.File1.Path(), "/");
    EXPECT_EQ(program->modulo1().NomeHtml, "/PicList.htm");
}

// A volume mounted below "/": its folder in the folder list, its root in the drive box.
class MountPointTest : public NavigationTest {
  protected:
    void SetUp() override {
        NavigationTest::SetUp();
        mount = folder.addFolder("mnt");
        folder.addFolder("mnt/inner");
        folder.addPicture("top.jpg", 20, 10);
        folder.addPicture("mnt/m1.jpg", 20, 10);
        folder.addPicture("mnt/m2.jpg", 20, 10);
    }
    void beforeMainWindow(Program& p) override { p.volumes().setRootsForTesting({mount + "/"}); }
    // Opens the folder list's entry for `path` with Enter, as the user does.
    static void openInFolderList(frmVedra& w, const QString& path) {
        auto* list = static_cast<QListWidget*>(w.Dir1.widget());
        for (int i = 0; i < w.Dir1.ListCount(); ++i)
            if (QDir::cleanPath(w.Dir1.List(i)) == QDir::cleanPath(path))
                list->setCurrentRow(i);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(list, &enter);
    }
    void pickDrive(frmVedra& w, const QString& root) {
        static_cast<QComboBox*>(w.Drive1.widget())
            ->setCurrentIndex(int(program->volumes().roots().indexOf(root)));
    }
    QString mount;
};

TEST_F(MountPointTest, DriveBoxAndFolderListStayInStepBothWays) {
    frmVedra& w = startListing();
    int driveChanges = 0;
    int folderChanges = 0;
    auto driveChange = w.Drive1.onChange;
    auto folderChange = w.Dir1.onChange;
    w.Drive1.onChange = [&] { ++driveChanges, driveChange(); };
    w.Dir1.onChange = [&] { ++folderChanges, folderChange(); };
    ASSERT_EQ(w.Drive1.Drive(), "/");
    const QString mountRoot = mount + "/";

    struct Step {
        std::function<void()> act;
        QString folder, drive;
        int driveChanges, folderChanges;
    };
    const Step steps[] = {
        // Opening the mount point moves the drive box along; only the folder change runs.
        {[&] { openInFolderList(w, mount); }, mountRoot, mountRoot, 0, 1},
        {[&] { openInFolderList(w, mount + "/inner"); }, mount + "/inner", mountRoot, 0, 2},
        // Picking "/" goes back up to the folder last left on "/".
        {[&] { pickDrive(w, "/"); }, folder.path(), "/", 1, 3},
        // Picking the mounted volume returns to its own last folder.
        {[&] { pickDrive(w, mountRoot); }, mount + "/inner", mountRoot, 2, 4},
        // Code that names a folder above the mount point takes the drive box back to "/".
        {[&] { w.Dir1.setPath(folder.path()); }, folder.path(), "/", 2, 5},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(w.Dir1.Path(), step.folder);
        EXPECT_EQ(w.File1.Path(), step.folder);
        EXPECT_EQ(w.Drive1.Drive(), step.drive);
        EXPECT_EQ(w.Dir1.List(0), step.drive);
        EXPECT_EQ(driveChanges, step.driveChanges) << step.folder.toStdString();
        EXPECT_EQ(folderChanges, step.folderChanges) << step.folder.toStdString();
        EXPECT_EQ(w.Caption(), "Vedra Viewer");
    }
    w.File1.setListIndex(0);
    EXPECT_EQ(w.lblContatore.Caption(), "1/1");
    openInFolderList(w, mount);
    EXPECT_EQ(w.File1.ListCount(), 2);
    EXPECT_EQ(program->modulo1().NomeHtml, mountRoot + "PicList.htm");
}
