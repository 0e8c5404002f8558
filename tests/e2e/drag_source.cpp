// A small program that other programs' pictures are dragged from in the end-to-end tests.
//
//   vedra_drag_source image FILE   drags the file's bytes as image/<its type>
//   vedra_drag_source file FILE    drags the file as a text/uri-list, as a file manager does
//
// It shows one window titled "Drag source"; pressing the mouse in it and moving starts the
// drag. It prints "dropped" or "not dropped" when a drag ends.
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class Source : public QWidget {
  public:
    Source(QString kind, QString file) : kind_(std::move(kind)), file_(std::move(file)) {
        setWindowTitle(QStringLiteral("Drag source"));
        resize(200, 200);
        setStyleSheet(QStringLiteral("background: #ffcc00"));
    }

  protected:
    void mousePressEvent(QMouseEvent* event) override { pressedAt_ = event->position(); }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton) ||
            (event->position() - pressedAt_).manhattanLength() < 4)
            return;
        auto* data = new QMimeData;
        if (kind_ == QLatin1String("file")) {
            data->setUrls({QUrl::fromLocalFile(QFileInfo(file_).absoluteFilePath())});
        } else {
            QFile file(file_);
            if (!file.open(QIODevice::ReadOnly))
                return;
            data->setData(QStringLiteral("image/") + QFileInfo(file_).suffix().toLower(),
                          file.readAll());
        }
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction done = drag->exec(Qt::CopyAction);
        std::printf("%s\n", done == Qt::IgnoreAction ? "not dropped" : "dropped");
        std::fflush(stdout);
    }

  private:
    QString kind_, file_;
    QPointF pressedAt_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s image|file FILE\n", argv[0]);
        return 64;
    }
    Source source(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    source.move(20, 20);
    source.show();
    return app.exec();
}
