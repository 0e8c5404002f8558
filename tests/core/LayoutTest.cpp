#include <QCoreApplication>

#include "MainWindowFixture.h"

class LayoutTest : public MainWindowTest {
  protected:
    static void settle() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
};

TEST_F(LayoutTest, MaximisingGrowsTheViewAndRestoringReturnsEveryControl) {
    folder.addPicture("p.bmp", 100, 50);
    frmVedra& w = start();
    program->start();
    w.TipoImmagine.setListIndex(0);
    w.Dimensioni.setListIndex(2);
    w.File1.setListIndex(0);

    w.setWindowState(platform::WindowState::Maximized);
    settle();
    EXPECT_DOUBLE_EQ(w.Picture1.Width(), 7196);
    EXPECT_DOUBLE_EQ(w.Picture1.Height(), 6884);
    EXPECT_DOUBLE_EQ(w.lblDisplay.Width(), 7196);
    EXPECT_DOUBLE_EQ(w.lblDisplay.Top(), 240);
    EXPECT_DOUBLE_EQ(w.File1.Height(), 3240);
    EXPECT_DOUBLE_EQ(w.lblContatore.Top(), 5910);
    EXPECT_DOUBLE_EQ(w.TipoImmagine.Top(), 6210);
    EXPECT_DOUBLE_EQ(w.Dimensioni.Top(), 6570);
    EXPECT_DOUBLE_EQ(w.imgLogo.Top(), 6990);
    EXPECT_DOUBLE_EQ(w.Dir1.Height(), 1665);
    EXPECT_DOUBLE_EQ(w.Image1.Width(), 7118);  // the size mode was applied again
    EXPECT_DOUBLE_EQ(w.Image1.Height(), 6806);

    w.setWindowState(platform::WindowState::Normal);
    settle();
    EXPECT_DOUBLE_EQ(w.Picture1.Width(), 5535);
    EXPECT_DOUBLE_EQ(w.Picture1.Height(), 5295);
    EXPECT_DOUBLE_EQ(w.lblDisplay.Width(), 5535);
    EXPECT_DOUBLE_EQ(w.File1.Height(), 1650);
    EXPECT_DOUBLE_EQ(w.lblContatore.Top(), 4320);
    EXPECT_DOUBLE_EQ(w.imgLogo.Top(), 5400);
    EXPECT_DOUBLE_EQ(w.Image1.Width(), 5475);
}

TEST_F(LayoutTest, WithNoSizeModeAResizeOnlyRearranges) {
    folder.addPicture("p.bmp", 100, 50);
    frmVedra& w = start();
    program->start();
    w.TipoImmagine.setListIndex(0);
    w.File1.setListIndex(0);
    w.Dimensioni.setText("typed");
    const double left = w.Image1.Left();
    w.setWindowState(platform::WindowState::Maximized);
    settle();
    EXPECT_DOUBLE_EQ(w.Picture1.Width(), 7196);
    EXPECT_DOUBLE_EQ(w.Image1.Left(), left);
}
