#include "platform/linux/DesktopBasics.h"

#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTime>
#include <QTimer>
#include <cstdio>

#include "platform/Twips.h"

namespace platform {

double QtScreen::Width() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? pixelsToTwips(screen->geometry().width()) : 0.0;
}

double QtScreen::Height() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? pixelsToTwips(screen->geometry().height()) : 0.0;
}

int QtScreen::TwipsPerPixelX() const {
    return TwipsPerPixel;
}

float QtClock::Timer() const {
    return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0f;
}

qint64 QtClock::monotonicMilliseconds() const {
    static QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return started.elapsed();
}

void QtClock::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtClock::waitForEvents(int maxMilliseconds) {
    // The event loop sleeps until an event arrives or the wake-up timer fires, so waiting
    // costs no processor time.
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
    wake.start(std::max(0, maxMilliseconds));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (wake.isActive())
        wake.stop();
}

QString ProcessApplication::Command() const {
    return arguments_.mid(1).join(QLatin1Char(' '));
}

QString ProcessApplication::Path() const {
    return QCoreApplication::applicationDirPath();
}

void ProcessApplication::End(int status) {
    // Ends at once: no window's unload handling runs and nothing is saved.
    std::fflush(nullptr);
    ::_exit(status);
}

}  // namespace platform
