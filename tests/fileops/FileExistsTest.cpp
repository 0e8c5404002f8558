// FileExists answers for exactly the path it is given: no wildcards, letter case counts.
#include <gtest/gtest.h>

#include "TestPictures.h"
#include "core/Modulo1.h"
#include "platform/linux/LocalFileSystem.h"

TEST(LiteralFileExistsTest, NamesExactlyOneOrdinaryVisibleFile) {
    testing_support::PictureFolder folder;
    for (const char* name : {"photo[1].jpg", "b.jpg", "x1.jpg", ".hidden.jpg", "star*.jpg"})
        folder.addBytes(name, "data");
    folder.addFolder("album.jpg");
    platform::LocalFileSystem files;
    const Modulo1 m(files);
    struct Case {
        QString path;
        bool exists;
    };
    for (const Case& c :
         {Case{folder.file("photo[1].jpg"), true}, Case{folder.file("photo1.jpg"), false},
          Case{folder.file("b.jpg"), true}, Case{folder.file("B.JPG"), false},
          Case{folder.file("B.jpg"), false}, Case{folder.file("x?.jpg"), false},
          Case{folder.file("*.jpg"), false}, Case{folder.file("star*.jpg"), true},
          Case{folder.file("x[0-9].jpg"), false}, Case{folder.file("album.jpg"), false},
          Case{folder.file(".hidden.jpg"), false}, Case{folder.file("b.jpg") + "/", false},
          Case{folder.path(), false}, Case{"", false}, Case{folder.file("missing/b.jpg"), false}}) {
        EXPECT_EQ(m.FileExists(c.path), c.exists) << c.path.toStdString();
    }
}
