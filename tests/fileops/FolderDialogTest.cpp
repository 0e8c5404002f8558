// The target-folder dialog: the path box following the folder list, the history of ten,
// OK as the default and the cancel button.
#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QTest>

#include "FileOpsFixture.h"
#include "fileops/frmDirectoryCM.h"
#include "platform/Volumes.h"

class FolderDialogTest : public FileOpsTest {
  protected:
    void SetUp() override {
        FileOpsTest::SetUp();
        startListing();
    }
    Modulo1& m() { return program->modulo1(); }
    // Opens the dialog, lets `act` work in it while it shows, and waits until it closes.
    void inDialog(const std::function<void(frmDirectoryCM&)>& act) {
        QTimer::singleShot(0, [&] {
            frmDirectoryCM* dialog = program->frmDirectoryCM.peek();
            ASSERT_NE(dialog, nullptr);
            act(*dialog);
            if (program->frmDirectoryCM.exists())
                dialog->cmdCancel.click();
        });
        program->frmVedra().mnuDirectorycm.click();
    }
    void confirm(const QString& text) {
        inDialog([&](frmDirectoryCM& d) {
            d.cmbDirectoryCM.setText(text);
            d.cmdOK.click();
        });
    }
    QStringList history() {
        QStringList used;
        for (const QString& entry : m().CartelleRecenti)
            used << entry;
        while (!used.isEmpty() && used.last().isEmpty())
            used.removeLast();
        return used;
    }
    QString sub(int i) { return target.addFolder(QString("f%1").arg(i)); }
};

TEST_F(FolderDialogTest, TheHistoryKeepsTenFoldersMostRecentFirstWithoutRepeats) {
    for (int i = 0; i < 11; ++i)
        confirm(sub(i));
    QStringList expected;
    for (int i = 10; i >= 1; --i)
        expected << target.file(QString("f%1").arg(i));
    EXPECT_EQ(history(), expected);  // the eleventh choice dropped the oldest
    EXPECT_EQ(m().CartellaCM, target.file("f10"));
    EXPECT_TRUE(m().SceltaFatta);

    confirm(target.file("f7"));  // already at index 3: stays there
    EXPECT_EQ(history(), expected);
    confirm(target.file("f10"));  // the most recent again
    EXPECT_EQ(history(), expected);

    inDialog([&](frmDirectoryCM& d) { EXPECT_EQ(itemsOf(d.cmbDirectoryCM), expected); });
}

TEST_F(FolderDialogTest, ThePathBoxFollowsTypingAndTheFolderList) {
    const QString folder1 = sub(1);
    inDialog([&](frmDirectoryCM& d) {
        d.cmbDirectoryCM.setText(folder1);
        EXPECT_TRUE(m().SceltaFatta);
        EXPECT_EQ(d.Dir1.Path(), folder1);
        // A partial path only withdraws the choice; the last good folder stays the target.
        d.cmbDirectoryCM.setText(target.file("f"));
        EXPECT_FALSE(m().SceltaFatta);
        EXPECT_EQ(m().CartellaCM, folder1);
        EXPECT_EQ(d.Dir1.Path(), folder1);
        EXPECT_TRUE(prompts().empty());
        d.Dir1.setPath(target.path());
        EXPECT_EQ(d.cmbDirectoryCM.Text(), target.path());
        EXPECT_EQ(m().CartellaCM, target.path());
        EXPECT_TRUE(m().SceltaFatta);
        EXPECT_EQ(d.Drive1.Drive(), program->volumes().rootOf(target.path()));
        d.cmdOK.click();
    });
    EXPECT_EQ(m().CartellaCM, target.path());
}

TEST_F(FolderDialogTest, EnterAndEscBothPressOkAndCancelClearsTheTarget) {
    const QString folder1 = sub(1), folder2 = sub(2);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        inDialog([&](frmDirectoryCM& d) {
            d.cmbDirectoryCM.setText(key == Qt::Key_Return ? folder1 : folder2);
            QApplication::setActiveWindow(d.window());  // typed into the folder box
            d.cmbDirectoryCM.SetFocus();
            QTest::keyClick(QApplication::focusWidget(), key);
            EXPECT_FALSE(program->frmDirectoryCM.exists());
        });
    }
    EXPECT_EQ(history(), (QStringList{folder2, folder1}));

    // Reopening takes up the most recent folder; Cancel then empties the target again.
    m().SceltaFatta = false;
    m().CartellaCM.clear();
    inDialog([&](frmDirectoryCM& d) {
        EXPECT_EQ(d.Dir1.Path(), folder2);
        EXPECT_TRUE(m().SceltaFatta);
        EXPECT_EQ(m().CartellaCM, folder2);
        d.cmdCancel.click();
    });
    EXPECT_EQ(m().CartellaCM, "");
    EXPECT_TRUE(m().SceltaFatta);
    EXPECT_EQ(history(), (QStringList{folder2, folder1}));
}

// A drive whose root has gone: a card pulled out.
TEST_F(FolderDialogTest, ADriveThatIsGoneReportsErrorSeventyOneAndStaysWhereItWas) {
    const QString card = target.addFolder("card") + "/", folder1 = sub(1);
    program->volumes().setRootsForTesting({card});
    inDialog([&](frmDirectoryCM& d) {
        d.Dir1.setPath(folder1);
        QDir(card).removeRecursively();
        static_cast<QComboBox*>(d.Drive1.widget())
            ->setCurrentIndex(int(program->volumes().roots().indexOf(card)));
        EXPECT_EQ(prompts(), Prompts{report("Error  71")});
        EXPECT_EQ(d.Dir1.Path(), folder1);
        EXPECT_EQ(d.cmbDirectoryCM.Text(), folder1);
        EXPECT_EQ(d.Drive1.Drive(), "/");
    });
}
