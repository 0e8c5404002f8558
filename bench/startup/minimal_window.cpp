// The floor of the start-up benchmark: the least a Qt Widgets program does to show a window.
// It reports its first paint through the same probe as the viewer.
#include <QApplication>
#include <QWidget>

#include "platform/FirstPaintProbe.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(640, 480);
    platform::FirstPaintProbe::watch(&window);
    window.show();
    return QApplication::exec();
}
