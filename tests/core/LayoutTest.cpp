#include <QCoreApplication>

#include "MainWindowFixture.h"

// Maximising and restoring moves the controls and applies the size mode again; with a typed
// text in the size box a resize only rearranges.
TEST_F(MainWindowTest, AResizeRearrangesTheControlsAndAppliesTheSizeModeAgain) {
    folder.addPicture("p.bmp", 100, 50);
    frmVedra& w = start();
    program->start();
    w.TipoImmagine.setListIndex(0);
    w.File1.setListIndex(0);
    const double typedLeft = w.Image1.Left();
    using platform::WindowState;
    struct Case {
        WindowState state;
        int sizeMode;  // -1: a typed text
        std::vector<double> geometry;
        double imageWidth, imageHeight;  // the picture stretched to the area
    };
    for (const Case& c : {
             Case{WindowState::Maximized,
                  -1,
                  {7196, 6884, 7196, 240, 3240, 5910, 6210, 6570, 6990},
                  0,
                  0},
             Case{WindowState::Normal,
                  2,
                  {5535, 5295, 5535, 240, 1650, 4320, 4620, 4980, 5400},
                  5475,
                  5235},
             Case{WindowState::Maximized,
                  2,
                  {7196, 6884, 7196, 240, 3240, 5910, 6210, 6570, 6990},
                  7118,
                  6806},
         }) {
        SCOPED_TRACE(c.sizeMode);
        if (c.sizeMode < 0)
            w.Dimensioni.setText("typed");
        else
            w.Dimensioni.setListIndex(c.sizeMode);
        w.setWindowState(c.state);
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        EXPECT_EQ(
            std::vector<double>({w.Picture1.Width(), w.Picture1.Height(), w.lblDisplay.Width(),
                                 w.lblDisplay.Top(), w.File1.Height(), w.lblContatore.Top(),
                                 w.TipoImmagine.Top(), w.Dimensioni.Top(), w.imgLogo.Top()}),
            c.geometry);
        if (c.sizeMode < 0) {
            EXPECT_EQ(w.Image1.Left(), typedLeft);
        } else {
            EXPECT_EQ(w.Image1.Width(), c.imageWidth);
            EXPECT_EQ(w.Image1.Height(), c.imageHeight);
        }
    }
}
