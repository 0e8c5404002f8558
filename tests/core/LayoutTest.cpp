#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>

#include "MainWindowFixture.h"
#include "platform/Twips.h"

using LayoutTest = MainWindowTest;

static void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// With a typed text in the size box a resize only rearranges.
TEST_F(LayoutTest, AResizeRearrangesTheControlsAndAppliesTheSizeModeAgain) {
    folder.addPicture("p.bmp", 100, 50);
    frmVedra& w = start({}, true);
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
    const std::vector<double> maximized = {7196, 6884, 7196, 240, 3240, 5910, 6210, 6570, 6990};
    for (const Case& c : {Case{WindowState::Maximized, -1, maximized, 0, 0},
                          Case{WindowState::Normal,
                               2,
                               {5535, 5295, 5535, 240, 1650, 4320, 4620, 4980, 5400},
                               5475,
                               5235},
                          Case{WindowState::Maximized, 2, maximized, 7118, 6806}}) {
        SCOPED_TRACE(c.sizeMode);
        if (c.sizeMode < 0)
            w.Dimensioni.setText("typed");
        else
            w.Dimensioni.setListIndex(c.sizeMode);
        w.setWindowState(c.state);
        settle();
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

// Run again at device pixel ratios of 1.25, 1.5 and 2 (tests/core/CMakeLists.txt): the window
// keeps its layout in twips as logical pixels, the information line counts the picture in
// twips / 15, and every label's text fits inside the label.
TEST_F(LayoutTest, AtAnyScreenDensityTwipsAreLogicalPixelsAndLabelsHoldTheirTexts) {
    folder.addPicture("a rather long name for a picture.bmp", 1600, 1200);
    frmVedra& w = start({}, true);
    w.TipoImmagine.setListIndex(0);
    w.Dimensioni.setListIndex(1);
    w.File1.setListIndex(0);
    settle();

    const double ratio = qApp->primaryScreen()->devicePixelRatio();
    EXPECT_DOUBLE_EQ(w.Image1.devicePixelRatio(), ratio);
    for (const platform::Control* c :
         std::initializer_list<const platform::Control*>{&w.Picture1, &w.Image1, &w.lblDisplay}) {
        SCOPED_TRACE(c->name().toStdString());
        const int x = platform::twipsToPixels(c->Left());
        const int y = platform::twipsToPixels(c->Top());
        EXPECT_EQ(c->widget()->geometry(),
                  QRect(x, y, platform::twipsToPixels(c->Left() + c->Width()) - x,
                        platform::twipsToPixels(c->Top() + c->Height()) - y));
    }
    // The same words as at 100 %: the shown size in twips / 15.
    EXPECT_TRUE(w.lblDisplay.Caption().contains(" W365 x H349 "))
        << w.lblDisplay.Caption().toStdString();

    int measured = 0;
    for (const QLabel* label : w.clientArea()->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(w.clientArea()))
            continue;
        SCOPED_TRACE(label->text().toStdString());
        const QFontMetrics metrics = label->fontMetrics();
        const QRect room = label->contentsRect();
        const QRect needed = metrics.boundingRect(
            room, int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0),
            label->text());
        EXPECT_LE(needed.width(), room.width());
        EXPECT_LE(needed.height(), room.height());
        ++measured;
    }
    EXPECT_GE(measured, 2);
}
