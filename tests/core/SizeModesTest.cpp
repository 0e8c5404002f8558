#include "MainWindowFixture.h"

namespace {
constexpr int OriginalSize = 0;
constexpr int ResizeMaintainAspect = 1;
constexpr int ResizeToWindow = 2;
constexpr int FullScreen = 4;
}  // namespace

class SizeModesTest : public MainWindowTest {
  protected:
    frmVedra& showPicture(int width, int height, int mode) {
        folder.addPicture("p.bmp", width, height);
        frmVedra& w = start();
        w.TipoImmagine.setListIndex(0);
        w.Dimensioni.setListIndex(mode);
        w.File1.setListIndex(0);
        return w;
    }
};

TEST_F(SizeModesTest, OriginalSizeCentresWithHalvesRoundedToEven) {
    frmVedra& w = showPicture(200, 100, OriginalSize);
    EXPECT_DOUBLE_EQ(w.Image1.Width(), 3000);
    EXPECT_DOUBLE_EQ(w.Image1.Height(), 1500);
    EXPECT_DOUBLE_EQ(w.Image1.Left(), 1268);
    EXPECT_DOUBLE_EQ(w.Image1.Top(), 1898);
    EXPECT_FALSE(w.Image1.Stretch());
}

TEST_F(SizeModesTest, OriginalSizeCropsALargerPictureEquallyOnBothSides) {
    frmVedra& w = showPicture(800, 700, OriginalSize);
    EXPECT_DOUBLE_EQ(w.Image1.Left(), (5535 - 12000) / 2.0 + 0.5);  // -3232.5 -> -3232
    EXPECT_LT(w.Image1.Top(), 0);
}

TEST_F(SizeModesTest, ResizeMaintainAspectFitsLandscapeToTheWidth) {
    frmVedra& w = showPicture(400, 300, ResizeMaintainAspect);
    EXPECT_DOUBLE_EQ(w.Image1.Width(), 5475);
    EXPECT_DOUBLE_EQ(w.Image1.Height(), 0.75 * 5475);
    EXPECT_DOUBLE_EQ(w.Image1.Left(), 30);
    EXPECT_TRUE(w.Image1.Stretch());
}

TEST_F(SizeModesTest, ResizeMaintainAspectFitsSquareAndPortraitToTheHeight) {
    frmVedra& w = showPicture(50, 50, ResizeMaintainAspect);
    EXPECT_DOUBLE_EQ(w.Image1.Width(), 5235);
    EXPECT_DOUBLE_EQ(w.Image1.Height(), 5235);
}

TEST_F(SizeModesTest, ResizeMaintainAspectLetsANearlySquareLandscapeOverflow) {
    frmVedra& w = showPicture(1000, 990, ResizeMaintainAspect);
    EXPECT_DOUBLE_EQ(w.Image1.Width(), 5475);
    EXPECT_NEAR(w.Image1.Height(), 5420.25, 0.01);
    EXPECT_LT(w.Image1.Top(), 0);
}

TEST_F(SizeModesTest, ResizeToWindowStretchesToTheArea) {
    frmVedra& w = showPicture(10, 300, ResizeToWindow);
    EXPECT_DOUBLE_EQ(w.Image1.Width(), 5475);
    EXPECT_DOUBLE_EQ(w.Image1.Height(), 5235);
    EXPECT_DOUBLE_EQ(w.Image1.Left(), 30);
    EXPECT_DOUBLE_EQ(w.Image1.Top(), 30);
}

TEST_F(SizeModesTest, FullScreenWithNothingSelectedDoesNothing) {
    frmVedra& w = start();
    w.Dimensioni.setListIndex(FullScreen);
    EXPECT_EQ(w.ModoDimensioni(), FullScreen);
    EXPECT_EQ(w.Dimensioni.Text(), "Full Screen");
    EXPECT_FALSE(program->modulo1().MantieniAspettoFS);
}

TEST_F(SizeModesTest, AFolderChangeKeepsStretchingAtTheNormalAreaSize) {
    frmVedra& w = showPicture(64, 32, ResizeToWindow);
    w.Dir1.setPath(folder.addFolder("next"));
    EXPECT_TRUE(w.Image1.picture().isEmpty());
    EXPECT_TRUE(w.Image1.Stretch());
    EXPECT_DOUBLE_EQ(w.Image1.Width(), 5475);
    EXPECT_DOUBLE_EQ(w.Image1.Height(), 5235);
}

TEST_F(SizeModesTest, TypingIntoTheSizeBoxAppliesNothing) {
    frmVedra& w = showPicture(200, 100, OriginalSize);
    w.Dimensioni.setText("Orig");
    EXPECT_EQ(w.ModoDimensioni(), -1);
    EXPECT_DOUBLE_EQ(w.Image1.Left(), 1268);
}
