#include <cmath>

#include "MainWindowFixture.h"
#include "core/SizeMode.h"

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

// The one rule for the shown size, used by the size modes, the full-screen window and the
// read-ahead, in twips: the normal area 5475 x 5235, a 12000 x 9000 screen.
TEST(ShownSize, OneRuleForEveryModeAndWindow) {
    const QSizeF area(5475, 5235), screen(12000, 9000);
    const double none = -1;  // no width: the control keeps the one it had
    struct Case {
        const char* what;
        long index;
        double naturalWidth, naturalHeight;
        double width, height;
        bool stretched;
    };
    for (const Case& c : {
             Case{"original size", 0, 3000, 1500, 3000, 1500, false},
             Case{"no item selected: natural", -1, 3000, 1500, 3000, 1500, false},
             Case{"an index past the items: natural", 5, 3000, 1500, 3000, 1500, false},
             Case{"landscape takes the area's width", 1, 6000, 4500, 5475, 4106.25, true},
             Case{"square takes the area's height", 1, 750, 750, 5235, 5235, true},
             Case{"nearly square landscape overflows", 1, 15000, 14850, 5475, 5420.25, true},
             Case{"portrait takes the area's height", 1, 4995, 15000, 4995.0 / 15000 * 5235, 5235,
                  true},
             Case{"no picture: only the height", 1, 0, 0, none, 5235, true},
             Case{"stretched to the area", 2, 150, 4500, 5475, 5235, true},
             Case{"full screen, square", 3, 750, 750, 9000, 9000, true},
             Case{"full screen, upright", 3, 4995, 15000, 2997, 9000, true},
             Case{"full screen, wide overflows", 3, 7500, 6750, 12000, 10800, true},
             Case{"full screen, no height", 3, 0, 0, none, 9000, true},
             Case{"full screen stretched", 4, 4995, 15000, 12000, 9000, true},
         }) {
        SCOPED_TRACE(c.what);
        const ShownSize shown =
            shownSize(sizeModeOf(c.index), QSizeF(c.naturalWidth, c.naturalHeight), area, screen);
        EXPECT_EQ(shown.width.has_value(), c.width != none);
        if (shown.width && c.width != none) {
            EXPECT_NEAR(*shown.width, c.width, 1e-9);
        }
        EXPECT_NEAR(shown.height, c.height, 1e-9);
        EXPECT_EQ(shown.stretched, c.stretched);
        EXPECT_EQ(isFullScreen(sizeModeOf(c.index)), c.index == 3 || c.index == 4);
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
