
#include "DesktopFixture.h"

using platform::WallpaperResult;

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
        {"c.BMP.JPG", WallpaperResult::Done, false,
         ""},  // the type is the text after the first dot
        {"pasted", WallpaperResult::Done, false, ""},
    };
    folder.addPicture("a.bmp", 20, 10);
    folder.addPicture("b.jpg", 20, 10);
    folder.addPicture("c.BMP.JPG", 20, 10);
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
        EXPECT_EQ(prompts(), c.message.isEmpty() ? Prompts{} : Prompts{report(c.message)});
    }
}

TEST_F(DesktopTest, PrintingTakesTheShownSizeAndCancelPrintsNothing) {
    folder.addPicture("wide.jpg", 200, 100);
    frmVedra& w = start();
    select(w, "wide.jpg");
    for (int mode : {0, 2}) {  // original size, then stretched to the viewing area
        w.Dimensioni.setListIndex(mode);
        QCoreApplication::processEvents();
        w.mnuPrint_Click();
        ASSERT_EQ(scripted.printer.printed.size(), mode ? 2u : 1u);
        const auto& printed = scripted.printer.printed.back();
        EXPECT_EQ(QSizeF(printed.widthTwips, printed.heightTwips),
                  mode ? QSizeF(w.Image1.Width(), w.Image1.Height()) : QSizeF(3000, 1500));
        EXPECT_TRUE(printed.picture.sameAs(w.Image1.picture()));
    }
    EXPECT_NE(w.Image1.Width(), 3000);

    scripted.printer.choosePrinter = false;
    const QString caption = w.Caption(), line = w.lblDisplay.Caption();
    QCoreApplication::processEvents();
    w.mnuPrint_Click();
    EXPECT_EQ(scripted.printer.dialogsShown, 3);
    EXPECT_EQ(scripted.printer.printed.size(), 2u);
    EXPECT_EQ(w.Caption(), caption);
    EXPECT_EQ(w.lblDisplay.Caption(), line);
    EXPECT_EQ(prompts(), Prompts{});
}
