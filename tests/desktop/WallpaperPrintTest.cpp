#include <QMimeData>

#include "DesktopFixture.h"

using platform::WallpaperResult;

// Only a bitmap file shown from the list becomes the wallpaper; the report follows what
// the desktop did with it.
TEST_F(DesktopTest, TheWallpaperCommandTakesOnlyABitmapFileAndReportsTheOutcome) {
    struct Case {
        const char* shown;  // a list entry, or "pasted"
        WallpaperResult answer;
        bool handedOver;
        QString message;  // empty: no message at all
    };
    const Case cases[] = {
        {"a.bmp", WallpaperResult::Done, true, "Done!"},
        {"a.bmp", WallpaperResult::Refused, true,
         "The desktop did not accept the picture as its wallpaper."},
        {"a.bmp", WallpaperResult::NoWay, true, "This desktop offers no way to set the wallpaper."},
        {"b.jpg", WallpaperResult::Done, false, ""},
        {"pasted", WallpaperResult::Done, false, ""},
    };
    folder.addPicture("a.bmp", 20, 10);
    folder.addPicture("b.jpg", 20, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.shown) + " " + std::to_string(int(c.answer)));
        scripted.wallpaper.requests.clear();
        scripted.wallpaper.result = c.answer;
        scripted.messageBox.prompts.clear();
        frmVedra& w = start();
        select(w, "a.bmp");
        if (QString(c.shown) == "pasted") {
            QGuiApplication::clipboard()->setImage(filled(8, 8, Qt::red));
            w.mnuPaste_Click();
        } else {
            select(w, c.shown);
        }
        w.mnuWallPaper_Click();
        if (c.handedOver)
            EXPECT_EQ(scripted.wallpaper.requests, std::vector<QString>{folder.file(c.shown)});
        else
            EXPECT_TRUE(scripted.wallpaper.requests.empty());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(scripted.messageBox.prompts.empty());
        } else {
            ASSERT_EQ(scripted.messageBox.prompts.size(), 1u);
            EXPECT_EQ(scripted.messageBox.prompts[0].text, c.message);
            EXPECT_EQ(scripted.messageBox.prompts[0].style, 0);
            EXPECT_EQ(scripted.messageBox.prompts[0].title, "Vedra Viewer");
        }
    }
}

// The picture prints at the size the current size mode shows it; Cancel prints nothing.
TEST_F(DesktopTest, PrintingTakesTheShownSizeAndCancelPrintsNothing) {
    folder.addPicture("wide.jpg", 200, 100);
    frmVedra& w = start();
    select(w, "wide.jpg");

    w.mnuPrint_Click();
    ASSERT_EQ(scripted.printer.printed.size(), 1u);
    EXPECT_EQ(scripted.printer.printed[0].widthTwips, 3000);
    EXPECT_EQ(scripted.printer.printed[0].heightTwips, 1500);
    EXPECT_TRUE(scripted.printer.printed[0].picture.sameAs(w.Image1.picture()));

    w.Dimensioni.setListIndex(2);  // Resize to Window: the picture fills the viewing area
    const double shownWidth = w.Image1.Width(), shownHeight = w.Image1.Height();
    ASSERT_NE(shownWidth, 3000);
    QCoreApplication::processEvents();
    w.mnuPrint_Click();
    ASSERT_EQ(scripted.printer.printed.size(), 2u);
    EXPECT_EQ(scripted.printer.printed[1].widthTwips, shownWidth);
    EXPECT_EQ(scripted.printer.printed[1].heightTwips, shownHeight);

    scripted.printer.choosePrinter = false;
    const QString caption = w.Caption(), line = w.lblDisplay.Caption();
    QCoreApplication::processEvents();
    w.mnuPrint_Click();
    EXPECT_EQ(scripted.printer.dialogsShown, 3);
    EXPECT_EQ(scripted.printer.printed.size(), 2u);
    EXPECT_EQ(w.Caption(), caption);
    EXPECT_EQ(w.lblDisplay.Caption(), line);
    EXPECT_EQ(w.Image1.Width(), shownWidth);
    EXPECT_TRUE(scripted.messageBox.prompts.empty());
}
