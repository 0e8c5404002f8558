// The document-name dialog: its history of ten names, its keys, its close box and the
// Browse button's Save dialog.
#include <QApplication>
#include <QMainWindow>
#include <QTest>

#include "MainWindowFixture.h"
#include "html/frmSaveHtml.h"

class SaveHtmlDialogTest : public MainWindowTest {
  protected:
    // Opens the dialog afresh (as the next generation would), types `name` and presses OK.
    void confirm(const QString& name) {
        frmSaveHtml& dialog = program->frmSaveHtml();
        dialog.cmbSaveHtml.setText(name);
        dialog.cmdOK.click();
        program->frmSaveHtml.release();
    }
};

TEST_F(SaveHtmlDialogTest, RemembersTheLastTenNewNamesMostRecentFirst) {
    start();
    struct Case {
        const char* what;
        QStringList confirmed;
        QStringList expected;
    } cases[] = {
        {"eleven names: the oldest drops out",
         {"n1", "n2", "n3", "n4", "n5", "n6", "n7", "n8", "n9", "n10", "n11"},
         {"n11", "n10", "n9", "n8", "n7", "n6", "n5", "n4", "n3", "n2"}},
        {"a name confirmed again keeps its place", {"a", "b", "c", "a"}, {"c", "b", "a"}},
        {"names differing in case are separate", {"x.htm", "X.HTM", "x.htm"}, {"X.HTM", "x.htm"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        program->modulo1().DocumentiRecenti = {};
        for (const QString& name : c.confirmed)
            confirm(name);
        EXPECT_EQ(itemsOf(program->frmSaveHtml().cmbSaveHtml), c.expected);
        // The dialog opens with the most recent name, until a folder sets the default.
        EXPECT_EQ(program->frmSaveHtml().cmbSaveHtml.Text(), c.expected.first());
        EXPECT_EQ(program->modulo1().FileHtml, c.confirmed.last());
        EXPECT_TRUE(program->modulo1().HtmlConfermato);
        program->frmSaveHtml.release();
    }
}

TEST_F(SaveHtmlDialogTest, EnterAndEscConfirmAndTheCloseBoxCancels) {
    start();
    Modulo1& m = program->modulo1();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        frmSaveHtml& dialog = program->frmSaveHtml();
        dialog.cmbSaveHtml.setText(QStringLiteral("typed %1.htm").arg(int(key)));
        m.HtmlConfermato = false;
        dialog.Show();
        QApplication::setActiveWindow(dialog.window());
        dialog.cmbSaveHtml.SetFocus();
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_TRUE(m.HtmlConfermato) << key;
        EXPECT_EQ(m.FileHtml, QStringLiteral("typed %1.htm").arg(int(key)));
        EXPECT_FALSE(dialog.Visible());
        program->frmSaveHtml.release();
    }
    frmSaveHtml& dialog = program->frmSaveHtml();
    dialog.Show();
    dialog.cmbSaveHtml.setText("other.htm");
    dialog.window()->close();
    EXPECT_FALSE(m.HtmlConfermato);
    EXPECT_EQ(m.FileHtml, QStringLiteral("typed %1.htm").arg(int(Qt::Key_Escape)));
    EXPECT_EQ(m.DocumentiRecenti[2], "");
}

TEST_F(SaveHtmlDialogTest, BrowseAsksForAnHtmlNameAndACancelChangesNothing) {
    start();
    frmSaveHtml& dialog = program->frmSaveHtml();
    dialog.cmbSaveHtml.setText("/before/PicList.htm");
    scripted.dialogs.answers = {"/chosen/list.html"};
    dialog.cmdSaveHtml.click();
    ASSERT_EQ(scripted.dialogs.shown.size(), 1u);
    const platform::SaveDialogOptions& options = scripted.dialogs.shown[0];
    EXPECT_EQ(options.filter,
              "HTML (*.htm;*.html)|*.htm;*.html|Text files (*.txt)|*.txt|All files (*.*)|*.*");
    EXPECT_TRUE(options.confirmOverwrite);
    EXPECT_EQ(dialog.cmbSaveHtml.Text(), "/chosen/list.html");
    EXPECT_EQ(program->modulo1().NomeHtml, "/chosen/list.html");

    dialog.cmdSaveHtml.click();  // cancelled
    EXPECT_EQ(dialog.cmbSaveHtml.Text(), "/chosen/list.html");
    EXPECT_EQ(prompts(), Prompts{});
}
