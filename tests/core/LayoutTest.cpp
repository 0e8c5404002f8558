#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>

#include "MainWindowFixture.h"
#include "platform/Twips.h"

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

// Run again at device pixel ratios of 1.25, 1.5 and 2 (tests/core/CMakeLists.txt): the window
// keeps its layout in twips as logical pixels, the information line counts the picture in
// twips / 15, and every label's text fits inside the label.
TEST_F(LayoutTest, AtAnyScreenDensityTwipsAreLogicalPixelsAndLabelsHoldTheirTexts) {
    folder.addPicture("a rather long name for a picture.bmp", 1600, 1200);
    frmVedra& w = start();
    program->start();
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
