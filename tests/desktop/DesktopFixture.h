#pragma once

#include <QBuffer>
#include <QClipboard>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QWidget>
#include <QWindow>

#include "../core/MainWindowFixture.h"

// The main window's fixture with the desktop's ways of handing over pictures.
class DesktopTest : public MainWindowTest {
  protected:
    // Drops `data` onto a control's widget as the desktop does: a drag enters the window
    // over the control, then the data is dropped there.
    static void dropOnto(QWidget* target, const QMimeData& data) {
        QWidget* top = target->window();
        top->winId();  // gives the window its platform window
        QWindow* window = top->windowHandle();
        ASSERT_NE(window, nullptr);
        const QPointF at = target->mapTo(top, QPoint(5, 5));
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &drop);
    }

    static QByteArray encoded(const QImage& image, const char* format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }
    static QImage filled(int width, int height, QColor color) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(color);
        return image;
    }
};
