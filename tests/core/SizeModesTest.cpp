#include <cmath>

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

// Where each size mode puts a picture in the 5475 x 5235 twip area (30 twips inside the
// frame). NaN: not checked; a negative top means the picture overflows upwards.
TEST_F(SizeModesTest, EachModePlacesThePictureInTheViewingArea) {
    const double any = std::nan("");
    struct Case {
        const char* what;
        int width, height, mode;
        double w, h, left, top;
        bool stretched;
    };
    for (const Case& c :
         {Case{"original size, centred, halves rounded to even", 200, 100, OriginalSize, 3000, 1500,
               1268, 1898, false},
          // (5535 - 12000) / 2 + 0.5 = -3232: cropped equally on both sides.
          Case{"original size, larger than the area", 800, 700, OriginalSize, any, any, -3232, -1,
               false},
          Case{"landscape fits the width", 400, 300, ResizeMaintainAspect, 5475, 0.75 * 5475, 30,
               any, true},
          Case{"square fits the height", 50, 50, ResizeMaintainAspect, 5235, 5235, any, any, true},
          Case{"nearly square landscape overflows", 1000, 990, ResizeMaintainAspect, 5475, 5420.25,
               any, -1, true},
          Case{"stretched to the area", 10, 300, ResizeToWindow, 5475, 5235, 30, 30, true}}) {
        SCOPED_TRACE(c.what);
        frmVedra& w = showPicture(c.width, c.height, c.mode);
        const std::pair<double, double> checks[] = {
            {w.Image1.Width(), c.w}, {w.Image1.Height(), c.h}, {w.Image1.Left(), c.left}};
        for (const auto& [actual, expected] : checks) {
            if (!std::isnan(expected)) {
                EXPECT_NEAR(actual, expected, 0.01);
            }
        }
        if (c.top < 0) {
            EXPECT_LT(w.Image1.Top(), 0);
        } else if (!std::isnan(c.top)) {
            EXPECT_DOUBLE_EQ(w.Image1.Top(), c.top);
        }
        EXPECT_EQ(w.Image1.Stretch(), c.stretched);
        program.reset();
    }
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
