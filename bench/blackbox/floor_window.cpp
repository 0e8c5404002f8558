// The floor of the black-box benchmark: the smallest Qt Widgets program that shows one window
// of the viewer's size. Its plain fill is what the benchmark waits for on the screen.
#include <QApplication>
#include <QPalette>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("floor"));
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(40, 160, 120));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.setFixedSize(566, 405);
    window.show();
    return app.exec();
}
