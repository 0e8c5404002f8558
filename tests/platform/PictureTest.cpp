#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>

#include <sys/stat.h>

#include "FileBytes.h"
#include "ResidentMemory.h"
#include "TestPictures.h"
#include "platform/JpegDecoder.h"
#include "platform/Picture.h"
#include "platform/PicturePrefetcher.h"
#include "platform/RuntimeError.h"

using platform::LoadPicture;
using platform::Picture;
using platform::RuntimeError;
using testing_support::PictureFolder;

static int errorOf(const QString& path, const platform::ShownViewFor& view = nullptr) {
    return testing_support::errorOf([&] { LoadPicture(path, view); });
}

static bool greenish(QRgb pixel) {
    return qGreen(pixel) > 180 && qRed(pixel) < 60;
}

TEST(LoadPicture, ReportsMissingFilesFoldersAndUndecodableContent) {
    PictureFolder folder;
    folder.addBytes("empty.jpg", "");
    folder.addBytes("text.gif", "GIF? no, just text");
    folder.addPicture("png-inside.bmp", 8, 8, Qt::red, "png");
    EXPECT_EQ(errorOf(folder.file("nothing.jpg")), 53);
    EXPECT_EQ(errorOf(folder.file("no-folder/x.jpg")), 76);
    EXPECT_EQ(errorOf(folder.path()), 53);
    EXPECT_EQ(errorOf(folder.file("empty.jpg")), 481);
    EXPECT_EQ(errorOf(folder.file("text.gif")), 481);
    EXPECT_EQ(errorOf(folder.file("png-inside.bmp")), 481);
    // Not ordinary files: refused at once, never read (reading would wait or never end).
    ASSERT_EQ(mkfifo(qPrintable(folder.file("fifo.jpg")), 0600), 0);
    EXPECT_EQ(errorOf(folder.file("fifo.jpg")), 481);
    EXPECT_EQ(errorOf(QStringLiteral("/dev/zero")), 481);
}

// The format is read from the content, not the name; an icon shows its largest image.
TEST(LoadPicture, RecognisesFormatsByContentNotByName) {
    PictureFolder folder;
    EXPECT_EQ(LoadPicture(folder.addCopy("a-gif.jpg", "gif/pillow/transparent.gif")).sizePixels(),
              QSize(200, 150));
    const Picture bmp = LoadPicture(folder.addPicture("x.BMP", 33, 21));
    EXPECT_EQ(bmp.kind(), Picture::Kind::Raster);
    EXPECT_EQ(bmp.sizeTwips(), QSizeF(33 * 15, 21 * 15));
    const Picture icon =
        LoadPicture(testing_support::testdataPath("ico/pillow/hopper_256x256.ico"));
    EXPECT_EQ(icon.kind(), Picture::Kind::Icon);
    EXPECT_EQ(icon.sizePixels(), QSize(256, 256));
}

// Every view a JPEG is loaded for costs one decode, and that decode reads all of the data:
// broken data fails the load (481) whatever part is shown; data cut short still shows.
TEST(LoadPicture, OneDecodeForTheViewShownReadsAllOfTheData) {
    PictureFolder folder;
    const QColor green(10, 200, 30);
    folder.addPicture("good.jpg", 640, 480, green);
    folder.addProgressiveJpeg("progressive.jpg", 640, 480, green);
    QFile source(folder.file("good.jpg"));
    source.open(QIODevice::ReadOnly);
    folder.addBytes("cut.jpg", source.readAll().left(source.size() / 3));
    folder.addCopy("broken-first-scan.jpg", "hostile/jpg/scan-names-undefined-huffman-tables.jpg");
    folder.addCopy("broken-end.jpg", "hostile/jpg/second-frame-header-after-the-data.jpg");
    folder.addCopy("broken-end-progressive.jpg",
                   "hostile/jpg/second-frame-header-after-progressive-data.jpg");

    struct View {
        const char* what;
        platform::ShownView view;  // an empty size: no view given
    };
    const View views[] = {
        {"no view", {}},
        {"scaled down", {QSize(213, 160), QRect()}},
        {"stretched up", {QSize(900, 500), QRect()}},
        {"natural size, all seen", {QSize(640, 480), QRect()}},
        {"natural size, the top left seen", {QSize(640, 480), QRect(0, 0, 200, 100)}},
        {"natural size, the middle seen", {QSize(640, 480), QRect(250, 200, 100, 60)}},
        // On high-density screens a scaled view is decoded for the device pixels, the
        // natural size keeps the picture's own pixels.
        {"scaled down, at 200 %", {QSize(213, 160), QRect(), 2}},
        {"scaled down, at 125 %", {QSize(213, 160), QRect(), 1.25}},
        {"natural size, the middle seen, at 150 %",
         {QSize(640, 480), QRect(250, 200, 100, 60), 1.5}},
    };
    struct File {
        const char* name;
        bool broken;
        bool cut;
    };
    const File files[] = {
        {"good.jpg", false, false},      {"progressive.jpg", false, false},
        {"cut.jpg", false, true},        {"broken-first-scan.jpg", true, false},
        {"broken-end.jpg", true, false}, {"broken-end-progressive.jpg", true, false}};
    for (const View& v : views) {
        const platform::ShownViewFor viewFor =
            v.view.size.isEmpty() ? platform::ShownViewFor() : [&v](QSize) { return v.view; };
        for (const File& f : files) {
            SCOPED_TRACE(testing::Message() << v.what << ", " << f.name);
            const quint64 before = platform::jpegDecodeCount();
            if (f.broken) {
                EXPECT_EQ(errorOf(folder.file(f.name), viewFor), 481);
                EXPECT_EQ(platform::jpegDecodeCount() - before, 1u);
                continue;
            }
            const Picture picture = LoadPicture(folder.file(f.name), viewFor);
            EXPECT_EQ(picture.sizePixels(), QSize(640, 480));
            // Drawn as the window draws it, on a screen of the view's density, clipped to
            // what is seen: no second decode.
            const double ratio = v.view.devicePixelRatio;
            const QSize size = v.view.size.isEmpty() ? QSize(80, 60) : v.view.size;
            const QRect seen =
                v.view.visible.isEmpty() ? QRect(QPoint(0, 0), size) : v.view.visible;
            QImage screen(platform::devicePixelSize(size, ratio), QImage::Format_RGB32);
            screen.setDevicePixelRatio(ratio);
            screen.fill(Qt::black);
            QPainter painter(&screen);
            painter.setClipRect(seen);
            picture.draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
            painter.end();
            EXPECT_EQ(platform::jpegDecodeCount() - before, 1u);
            // A scaled view's decode is the one at the device size.
            if (!v.view.size.isEmpty() && size != picture.sizePixels()) {
                EXPECT_EQ(picture.imageForSize(screen.size()).size(), screen.size());
                EXPECT_EQ(platform::jpegDecodeCount() - before, 1u);
            }
            auto shownAt = [&](int x, int y) {
                return screen.pixel(int(x * ratio), int(y * ratio));
            };
            if (!f.cut || seen.top() == 0) {
                EXPECT_TRUE(greenish(shownAt(seen.center().x(), seen.top() + 2)));
            }
            if (seen.bottom() >= size.height() - 1) {
                // The missing rows of a file cut short come out grey.
                EXPECT_EQ(greenish(shownAt(seen.center().x(), seen.bottom() - 2)), !f.cut);
            }
        }
    }
}

TEST(LoadPicture, AFileIsReadOnlyAsFarAsItsPictureGoes) {
    PictureFolder folder;
    const QString path = folder.addPicture("huge.jpg", 640, 480, QColor(10, 200, 30));
    QFile huge(path);
    ASSERT_TRUE(huge.open(QIODevice::ReadWrite));
    ASSERT_TRUE(huge.resize(qint64(2) << 30));  // 2 GiB, sparse: nothing after the picture
    huge.close();
    const long before = residentKiB();
    const Picture picture = LoadPicture(path, [](QSize) {
        return platform::ShownView{QSize(320, 240), QRect()};
    });
    EXPECT_EQ(picture.sizePixels(), QSize(640, 480));
    EXPECT_LT(residentKiB() - before, 50 * 1024);
}

TEST(LoadPicture, ABigProgressiveJpegShowsACoarsePictureBeforeTheFinalOne) {
    PictureFolder folder;
    folder.addProgressiveJpeg("big.jpg", 2000, 1200, QColor(10, 200, 30));
    folder.addPicture("baseline.jpg", 2000, 1200, QColor(10, 200, 30));
    folder.addCopy("broken.jpg",
                   "hostile/jpg/second-frame-header-after-progressive-data-2000x1200.jpg");
    const platform::ShownViewFor view = [](QSize) {
        return platform::ShownView{QSize(500, 300), QRect()};
    };
    struct Case {
        const char* name;
        int previews;
        bool fails;
        int green;
    };
    for (const Case& c : {Case{"big.jpg", 1, false, 200}, Case{"baseline.jpg", 0, false, 200},
                          Case{"broken.jpg", 1, true, 80}}) {
        SCOPED_TRACE(c.name);
        std::vector<QImage> coarse;
        platform::LoadProgress progress;
        progress.preview = [&coarse](const QImage& image, QSize natural) {
            EXPECT_EQ(natural, QSize(2000, 1200));
            coarse.push_back(image);
        };
        Picture picture;
        try {
            picture = LoadPicture(folder.file(c.name), view, progress);
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), 481);
        }
        EXPECT_EQ(picture.isEmpty(), c.fails);
        ASSERT_EQ(int(coarse.size()), c.previews);
        if (!coarse.empty()) {
            EXPECT_EQ(coarse.front().size(), QSize(500, 300));
            EXPECT_NEAR(qGreen(coarse.front().pixel(250, 20)), c.green, 40);
        }
    }
}

TEST(PicturePrefetcher, ServesAPreparedOrRecentPictureOnlyWhileItsFileIsUnchanged) {
    PictureFolder folder;
    const QString path = folder.addPicture("next.jpg", 640, 480);
    platform::PicturePrefetcher prefetcher;
    const platform::ShownViewFor quarter = [](QSize natural) {
        return platform::ShownView{natural / 4, QRect()};
    };
    prefetcher.prefetch(path, quarter);
    const Picture first = prefetcher.lookup(path);
    EXPECT_EQ(first.sizePixels(), QSize(640, 480));
    EXPECT_TRUE(prefetcher.lookup(path).sameAs(first));  // the step's second load is served too

    folder.addPicture("next.jpg", 320, 200);  // the file changes after the decode
    EXPECT_TRUE(prefetcher.lookup(path).isEmpty());

    // A read-ahead replaced by another is given up, never served; the new one is.
    folder.addProgressiveJpeg("big.jpg", 3000, 2000);
    prefetcher.prefetch(folder.file("big.jpg"), quarter);
    prefetcher.prefetch(path, quarter);
    EXPECT_TRUE(prefetcher.lookup(folder.file("big.jpg")).isEmpty());
    EXPECT_EQ(prefetcher.lookup(path).sizePixels(), QSize(320, 200));
    // Destroyed while it works: the work is given up and the worker ends.
    prefetcher.prefetch(folder.file("big.jpg"), quarter);

    prefetcher.prefetch(folder.file("missing.jpg"), quarter);
    EXPECT_TRUE(prefetcher.lookup(folder.file("missing.jpg")).isEmpty());

    // The pictures shown lately are served again on the same terms.
    platform::RecentPictures recent;
    recent.add(path, first);
    EXPECT_TRUE(recent.find(path).sameAs(first));
    folder.addPicture("next.jpg", 32, 24);
    EXPECT_TRUE(recent.find(path).isEmpty());
}
