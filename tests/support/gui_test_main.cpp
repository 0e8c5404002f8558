// Runs GoogleTest inside a QApplication on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/PictureLimits.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::applyPictureDecodeLimits();  // as the program does at start-up
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
