#include <gtest/gtest.h>

#include <QMimeData>

#include "platform/FileName.h"
#include "platform/FilePaths.h"
#include "platform/MimePictures.h"

using platform::decodeFileName;
using platform::displayFileName;
using platform::encodeFileName;

// Every file name, valid UTF-8 or not, comes back as exactly the bytes it was listed with.
TEST(FileName, BytesRoundTripThroughTheTextForm) {
    const QByteArray names[] = {
        "plain.jpg",
        "caf\xc3\xa9.jpg",       // UTF-8
        "\xe2\x82\xac.jpg",      // UTF-8 in three bytes
        "caf\xe9.jpg",           // Latin-1
        "\xff\xfe.bmp",          // never UTF-8
        "\xed\xb2\x80.gif",      // an encoded surrogate is not valid UTF-8
        "\xc0\xaf.ico",          // overlong "/"
        "\xe0\x80\xaf.ico",      // overlong "/" in three bytes
        "\xf4\x90\x80\x80.jpg",  // past the last code point, U+10FFFF
        "\xf0\x9f\x93\xb7.jpg",  // outside the basic plane
        "cut\xe2\x82",           // a sequence cut short at the end
    };
    for (const QByteArray& name : names) {
        EXPECT_EQ(encodeFileName(decodeFileName(name)), name) << name.toHex().constData();
    }
    // Shown to the user, a foreign byte is a replacement character and valid UTF-8 itself.
    EXPECT_EQ(displayFileName(decodeFileName("caf\xe9 caf\xc3\xa9")),
              QString::fromUtf8("caf\xef\xbf\xbd caf\xc3\xa9"));
}

// A file URI carries the path's bytes percent-encoded, both ways: what the browser gets, and
// what a file manager's drop (text/uri-list) hands over.
TEST(FileName, FileUrisCarryThePathsBytes) {
    const std::pair<QByteArray, const char*> cases[] = {
        {"/tmp/caf\xe9.jpg", "file:///tmp/caf%E9.jpg"},
        {"/tmp/\xff x#1?.htm", "file:///tmp/%FF%20x%231%3F.htm"},
        {"/tmp/caf\xc3\xa9 & 100%.htm", "file:///tmp/caf%C3%A9%20&%20100%25.htm"},
        {"/-list.htm", "file:///-list.htm"},
    };
    for (const auto& [bytes, uri] : cases) {
        SCOPED_TRACE(uri);
        EXPECT_EQ(platform::fileUri(decodeFileName(bytes)), QString::fromLatin1(uri));
        EXPECT_EQ(encodeFileName(platform::pathOfFileUri(QString::fromLatin1(uri))), bytes);
    }
    EXPECT_EQ(encodeFileName(platform::pathOfFileUri("file://localhost/a%e9b")),
              "/a\xe9"
              "b");
    EXPECT_EQ(platform::pathOfFileUri("file://elsewhere/a.jpg"), QString());
    EXPECT_EQ(platform::pathOfFileUri("https://example.org/a.jpg"), QString());

    QMimeData drop;
    drop.setData("text/uri-list",
                 "# a comment\r\nfile:///tmp/caf%E9.jpg\r\n"
                 "https://example.org/b.jpg\r\nfile:///tmp/%FF.bmp\r\n");
    QStringList bytes;
    for (const QString& file : platform::mimeLocalFiles(drop))
        bytes << QString::fromLatin1(encodeFileName(file).toHex());
    EXPECT_EQ(bytes, (QStringList{QString::fromLatin1(QByteArray("/tmp/caf\xe9.jpg").toHex()),
                                  QString::fromLatin1(QByteArray("/tmp/\xff.bmp").toHex())}));
}
