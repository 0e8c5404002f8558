#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>

#include "TestPictures.h"
#include "platform/Picture.h"
#include "platform/PicturePrefetcher.h"
#include "platform/RuntimeError.h"

using platform::LoadPicture;
using platform::Picture;
using platform::RuntimeError;
using testing_support::PictureFolder;

namespace {
int errorOf(const QString& path) {
    try {
        LoadPicture(path);
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}
}  // namespace

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
}

TEST(LoadPicture, RecognisesFormatsByContentNotByName) {
    PictureFolder folder;
    const QString gifNamedJpg = folder.addPicture("really-a-gif.jpg", 12, 7, Qt::blue, "gif");
    const QString bmp = folder.addPicture("x.BMP", 33, 21);
    EXPECT_EQ(LoadPicture(gifNamedJpg).sizePixels(), QSize(12, 7));
    const Picture picture = LoadPicture(bmp);
    EXPECT_EQ(picture.kind(), Picture::Kind::Raster);
    EXPECT_EQ(picture.sizeTwips(), QSizeF(33 * 15, 21 * 15));
}

TEST(LoadPicture, IconsShowTheirLargestImage) {
    const Picture icon =
        LoadPicture(testing_support::testdataPath("ico/pillow/hopper_256x256.ico"));
    EXPECT_EQ(icon.kind(), Picture::Kind::Icon);
    EXPECT_EQ(icon.sizePixels(), QSize(256, 256));
}

TEST(LoadPicture, BigJpegsAreDecodedAtTheSizeShown) {
    PictureFolder folder;
    const QString path = folder.addPicture("big.jpg", 1600, 1200, QColor(10, 200, 30));
    const Picture picture = LoadPicture(path);
    EXPECT_EQ(picture.sizePixels(), QSize(1600, 1200));
    const QImage small = picture.imageForSize(QSize(200, 150));
    EXPECT_EQ(small.size(), QSize(200, 150));
    EXPECT_NEAR(qGreen(small.pixel(150, 20)), 200, 12);
    EXPECT_EQ(picture.toImage().size(), QSize(1600, 1200));
}

TEST(LoadPicture, AJpegFailsAtLoadOnlyWhenItsDataCannotBeDecoded) {
    PictureFolder folder;
    QFile source(folder.addPicture("good.jpg", 640, 480, QColor(10, 200, 30)));
    source.open(QIODevice::ReadOnly);
    QByteArray bytes = source.readAll();
    bytes.truncate(bytes.size() / 3);
    // Cut short: the decoder shows what is there and fills the rest, so it is a picture.
    const Picture cut = LoadPicture(folder.addBytes("cut.jpg", bytes));
    EXPECT_EQ(cut.sizePixels(), QSize(640, 480));
    for (const QSize& size : {QSize(80, 60), QSize(320, 240), QSize(640, 480)}) {
        const QImage shown = cut.imageForSize(size);
        ASSERT_EQ(shown.size(), size);
        EXPECT_NEAR(qGreen(shown.pixel(size.width() / 2, 2)), 200, 16) << size.width();
        EXPECT_NE(qGreen(shown.pixel(size.width() / 2, size.height() - 2)), 200) << size.width();
    }

    // A valid header over data no decoder can read fails at load, never later at paint.
    EXPECT_EQ(errorOf(folder.addUndecodableJpeg("broken.jpg", 640, 480)), 481);
    EXPECT_EQ(errorOf(folder.addUndecodableJpeg("broken-big.jpg", 4000, 3000)), 481);
    // Checked by the decode at the size it will be shown, as the slide show's look-ahead does.
    EXPECT_THROW(platform::loadPictureFile(folder.file("broken-big.jpg"),
                                           [](QSize natural) { return natural / 3; }),
                 RuntimeError);
    const Picture ahead = platform::loadPictureFile(folder.file("cut.jpg"),
                                                    [](QSize natural) { return natural / 3; });
    EXPECT_EQ(ahead.sizePixels(), QSize(640, 480));
}

TEST(SavePicture, WritesAWindowsBitmapAndNeverLeavesHalfAFile) {
    PictureFolder folder;
    const Picture picture = LoadPicture(folder.addPicture("a.gif", 40, 30, Qt::red, "gif"));
    const QString target = folder.file("copy.bmp");
    platform::SavePicture(picture, target);
    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.read(2), QByteArray("BM"));
    EXPECT_EQ(QImage(target).size(), QSize(40, 30));

    EXPECT_THROW(platform::SavePicture(picture, folder.file("missing/x.bmp")), RuntimeError);
    EXPECT_THROW(platform::SavePicture(Picture(), folder.file("empty.bmp")), RuntimeError);
    EXPECT_FALSE(QFile::exists(folder.file("empty.bmp")));
}

TEST(PicturePrefetcher, ServesThePreparedPictureOnlyWhileItsFileIsUnchanged) {
    PictureFolder folder;
    const QString path = folder.addPicture("next.jpg", 640, 480);
    auto& prefetcher = platform::PicturePrefetcher::instance();
    prefetcher.prefetch(path, [](QSize natural) { return natural / 4; });
    const Picture first = LoadPicture(path);
    EXPECT_EQ(first.sizePixels(), QSize(640, 480));
    EXPECT_TRUE(LoadPicture(path).sameAs(first));  // the step's second load is served too

    folder.addPicture("next.jpg", 320, 200);  // the file changes after the decode
    const Picture changed = LoadPicture(path);
    EXPECT_FALSE(changed.sameAs(first));
    EXPECT_EQ(changed.sizePixels(), QSize(320, 200));

    prefetcher.prefetch(folder.file("missing.jpg"), {});
    EXPECT_THROW(LoadPicture(folder.file("missing.jpg")), RuntimeError);
}
