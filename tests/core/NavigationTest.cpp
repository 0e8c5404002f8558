#include <QFile>

#include "platform/RuntimeError.h"

#include "MainWindowFixture.h"

namespace {
constexpr int FilterGif = 3;
constexpr int FilterAll = 0;
}  // namespace

class NavigationTest : public MainWindowTest {};

TEST_F(NavigationTest, CounterRunsFromFirstToLastOfTheFolder) {
    for (int i = 0; i < 25; ++i)
        folder.addPicture(QString("p%1.jpg").arg(i, 2, 10, QChar('0')), 20, 10);
    frmVedra& w = start();
    w.TipoImmagine.setListIndex(FilterAll);
    w.File1.setListIndex(0);
    EXPECT_EQ(w.lblContatore.Caption(), "1/25");
    w.File1.setListIndex(24);
    EXPECT_EQ(w.lblContatore.Caption(), "25/25");
    EXPECT_EQ(program->modulo1().IndiceFile, 24);
}

TEST_F(NavigationTest, GifFilterListsOnlyGifFilesAndCountsThem) {
    for (int i = 0; i < 10; ++i)
        folder.addPicture(QString("j%1.jpg").arg(i), 20, 10);
    for (int i = 0; i < 5; ++i)
        folder.addPicture(QString("g%1.GIF").arg(i), 20, 10);
    frmVedra& w = start();
    w.TipoImmagine.setListIndex(FilterGif);
    EXPECT_EQ(w.File1.Pattern(), "*.GIF");
    ASSERT_EQ(w.File1.ListCount(), 5);
    EXPECT_EQ(w.NumeroFile(), 5);
    w.File1.setListIndex(4);
    EXPECT_EQ(w.lblContatore.Caption(), "5/5");
    EXPECT_EQ(w.Caption(), "Vedra Viewer - " + folder.file("g4.GIF"));
}

TEST_F(NavigationTest, ListsMatchingFilesIgnoringCaseSortedWithoutFoldersOrHiddenFiles) {
    folder.addPicture("photo.jpg", 10, 10);
    folder.addPicture("PHOTO2.JPG", 10, 10);
    folder.addPicture("Alpha.Jpg", 10, 10);
    folder.addPicture(".secret.jpg", 10, 10);
    folder.addFolder("album.jpg");
    folder.addBytes("notes.txt", "text");
    frmVedra& w = start();
    w.TipoImmagine.setListIndex(FilterAll);
    ASSERT_EQ(w.File1.ListCount(), 3);
    EXPECT_EQ(w.File1.List(0), "Alpha.Jpg");
    EXPECT_EQ(w.File1.List(1), "photo.jpg");
    EXPECT_EQ(w.File1.List(2), "PHOTO2.JPG");
}

TEST_F(NavigationTest, TypingIntoTheFilterBoxSetsTheEmptyPattern) {
    folder.addPicture("a.jpg", 10, 10);
    folder.addBytes("notes.txt", "text");
    frmVedra& w = start();
    w.TipoImmagine.setListIndex(2);
    EXPECT_EQ(w.File1.ListCount(), 1);
    w.TipoImmagine.setText("JP");
    EXPECT_EQ(w.TipoImmagine.ListIndex(), -1);
    EXPECT_EQ(w.File1.Pattern(), "");
    EXPECT_EQ(w.NumeroFile(), 2);  // the empty pattern lists every ordinary file
}

TEST_F(NavigationTest, ChangingTheFilterKeepsTheShownPictureAndItsLine) {
    folder.addPicture("a.jpg", 30, 20);
    folder.addPicture("b.gif", 10, 10);
    frmVedra& w = start();
    w.TipoImmagine.setListIndex(FilterAll);
    w.File1.setListIndex(0);
    const QString caption = w.Caption();
    const QString line = w.lblDisplay.Caption();
    const platform::Picture shown = w.Image1.picture();
    w.TipoImmagine.setListIndex(FilterGif);
    EXPECT_EQ(w.Caption(), caption);
    EXPECT_EQ(w.lblDisplay.Caption(), line);
    EXPECT_TRUE(w.Image1.picture().sameAs(shown));
    EXPECT_EQ(w.NumeroFile(), 1);
}

TEST_F(NavigationTest, AFolderChangeBlanksTheViewAndFollowsWithTheHtmlName) {
    folder.addPicture("a.jpg", 30, 20);
    const QString sub = folder.addFolder("sub");
    folder.addPicture("sub/x.jpg", 10, 10);
    folder.addPicture("sub/y.jpg", 10, 10);
    frmVedra& w = start();
    w.TipoImmagine.setListIndex(FilterAll);
    w.File1.setListIndex(0);
    program->modulo1().SceltaFatta = false;

    w.Dir1.setPath(sub);
    EXPECT_EQ(w.File1.Path(), sub);
    EXPECT_EQ(w.Caption(), "Vedra Viewer");
    EXPECT_EQ(w.lblDisplay.Caption(), "");
    EXPECT_EQ(w.lblContatore.Caption(), "");
    EXPECT_TRUE(w.Image1.picture().isEmpty());
    EXPECT_EQ(w.NumeroFile(), 2);
    EXPECT_EQ(program->modulo1().NomeHtml, sub + "/PicList.htm");
    EXPECT_TRUE(program->modulo1().SceltaFatta);
    EXPECT_EQ(w.File1.ListIndex(), -1);
}

TEST_F(NavigationTest, TheDriveRootNamesTheHtmlDocumentWithoutADoubledSeparator) {
    frmVedra& w = start();
    w.Dir1.setPath("/");
    EXPECT_EQ(w.Dir1.Path(), "/");
    EXPECT_EQ(program->modulo1().NomeHtml, "/PicList.htm");
    EXPECT_EQ(w.File1.Path(), "/");
}

TEST_F(NavigationTest, AnEmptyFolderShowsNothingAndCountsZero) {
    const QString empty = folder.addFolder("empty");
    frmVedra& w = start();
    w.Dir1.setPath(empty);
    EXPECT_EQ(w.NumeroFile(), 0);
    EXPECT_EQ(w.File1.ListCount(), 0);
    EXPECT_EQ(w.Caption(), "Vedra Viewer");
}

TEST_F(NavigationTest, TheFolderListOpensSubfoldersAndRejectsMissingOnes) {
    folder.addFolder("b");
    folder.addFolder("A");
    folder.addFolder(".hidden");
    frmVedra& w = start();
    const int first = w.Dir1.ListCount() - 2;
    EXPECT_EQ(w.Dir1.List(first), folder.file("A"));
    EXPECT_EQ(w.Dir1.List(first + 1), folder.file("b"));
    EXPECT_THROW(w.Dir1.setPath(folder.file("missing")), platform::RuntimeError);
    EXPECT_EQ(w.Dir1.Path(), folder.path());
}
