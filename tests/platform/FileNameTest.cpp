#include <gtest/gtest.h>

#include "platform/FileName.h"

using platform::decodeFileName;
using platform::displayFileName;
using platform::encodeFileName;

// Every file name, valid UTF-8 or not, comes back as exactly the bytes it was listed with.
TEST(FileName, BytesRoundTripThroughTheTextForm) {
    const QByteArray names[] = {
        "plain.jpg",
        "caf\xc3\xa9.jpg",       // UTF-8
        "caf\xe9.jpg",           // Latin-1
        "\xff\xfe.bmp",          // never UTF-8
        "\xed\xb2\x80.gif",      // an encoded surrogate is not valid UTF-8
        "\xc0\xaf.ico",          // overlong "/"
        "\xf0\x9f\x93\xb7.jpg",  // outside the basic plane
        "cut\xe2\x82",           // a sequence cut short at the end
    };
    for (const QByteArray& name : names) {
        EXPECT_EQ(encodeFileName(decodeFileName(name)), name) << name.toHex().constData();
    }
}

TEST(FileName, ForeignBytesShowAsReplacementCharacters) {
    EXPECT_EQ(displayFileName(decodeFileName("caf\xe9.jpg")),
              QString::fromUtf8("caf\xef\xbf\xbd.jpg"));
    EXPECT_EQ(displayFileName(decodeFileName("caf\xc3\xa9.jpg")),
              QString::fromUtf8("caf\xc3\xa9.jpg"));
    EXPECT_EQ(decodeFileName("caf\xe9.jpg").toUpper().right(4), QStringLiteral(".JPG"));
}
