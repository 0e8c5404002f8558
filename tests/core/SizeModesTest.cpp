#include <cmath>

#include "MainWindowFixture.h"
#include "core/SizeMode.h"

class SizeModesTest : public MainWindowTest {
  protected:
    frmVedra& showPicture(int width, int height, int mode) {
        folder.addPicture("p.bmp", width, height);
        frmVedra& w = startListing();
        w.Dimensioni.setListIndex(mode);
        w.File1.setListIndex(0);
        return w;
    }
};

// Where each size mode puts a picture in the 5475 x 5235 twip area (30 twips inside the
// frame): centred with halves rounded to even, cropped equally on both sides when larger.
TEST_F(SizeModesTest, EachModePlacesThePictureInTheViewingArea) {
    struct Case {
        int width, height, mode;
        double w, h, left, top;
        bool stretched;
    };
    for (const Case& c : {Case{200, 100, 0, 3000, 1500, 1268, 1898, false},
                          Case{800, 700, 0, 12000, 10500, -3232, -2602, false},
                          Case{400, 300, 1, 5475, 0.75 * 5475, 30, 594, true},
                          Case{10, 300, 2, 5475, 5235, 30, 30, true}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " mode " << c.mode);
        frmVedra& w = showPicture(c.width, c.height, c.mode);
        EXPECT_NEAR(w.Image1.Width(), c.w, 0.01);
        EXPECT_NEAR(w.Image1.Height(), c.h, 0.01);
        EXPECT_DOUBLE_EQ(w.Image1.Left(), c.left);
        EXPECT_DOUBLE_EQ(w.Image1.Top(), c.top);
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
             Case{"no item selected: natural", -1, 3000, 1500, 3000, 1500, false},
             Case{"an index past the items: natural", 5, 3000, 1500, 3000, 1500, false},
             Case{"square takes the area's height", 1, 750, 750, 5235, 5235, true},
             Case{"nearly square landscape overflows", 1, 15000, 14850, 5475, 5420.25, true},
             Case{"portrait takes the area's height", 1, 4995, 15000, 4995.0 / 15000 * 5235, 5235,
                  true},
             Case{"no picture: only the height", 1, 0, 0, none, 5235, true},
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
