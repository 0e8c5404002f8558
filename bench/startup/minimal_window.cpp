// The floor of the start-up benchmark: the least a Qt Widgets program does to show a window.
// It reports its first paint through the same probe as the viewer. With --text the window
// also shows one line of text, which costs the font set-up every window with words pays.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

#include "platform/FirstPaintProbe.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(640, 480);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        new QLabel(QStringLiteral("All Picture Files"), &window);
    platform::reportFirstPaint(&window);
    window.show();
    return QApplication::exec();
}
