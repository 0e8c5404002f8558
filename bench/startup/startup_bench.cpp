// Start-up time seen by a user: from exec to the main window's first frame on a private Xvfb,
// against a minimal Qt Widgets program that shows one empty window, run interleaved on the
// same display. The same minimal program showing one line of text is timed too: a window
// with words pays for the font set-up, which the empty window never does. Both programs report
// their first paint through platform/FirstPaintProbe.h.
//
//   startup_bench [--runs N] [--viewer PATH] [--baseline PATH]
//
// --viewer times another build of the viewer; --baseline adds a second build (an older one,
// say) to the same interleaved rounds, so a change is measured under the same load.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "ReferenceTool.h"

namespace {

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "startup_bench: %s\n", qPrintable(what));
    std::exit(2);
}

// A display is free when neither its lock file nor its socket (a file or an abstract one,
// which other servers may hold without a lock file) exists.
bool displayFree(int n) {
    if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) ||
        QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
        return false;
    QFile sockets(QStringLiteral("/proc/net/unix"));
    if (!sockets.open(QIODevice::ReadOnly))
        return true;
    const QByteArray wanted = QStringLiteral("/tmp/.X11-unix/X%1").arg(n).toLatin1();
    for (const QByteArray& line : sockets.readAll().split('\n')) {
        if (line.endsWith(wanted) && (line.endsWith(" " + wanted) || line.endsWith("@" + wanted)))
            return false;
    }
    return true;
}

// A private X server that announces its display when it is ready to take clients.
class PrivateXvfb {
  public:
    explicit PrivateXvfb(const QString& program) {
        const int start = 100 + int(QRandomGenerator::global()->bounded(800));
        for (int i = 0; i < 200 && display_.isEmpty(); ++i) {
            const int n = 100 + (start - 100 + i) % 800;
            if (!displayFree(n))
                continue;
            server_.start(program, {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"),
                                    QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                    QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
                                    QStringLiteral("tcp"), QStringLiteral("-displayfd"),
                                    QStringLiteral("1")});
            if (server_.waitForReadyRead(30000) &&
                server_.readLine().trimmed() == QByteArray::number(n))
                display_ = QStringLiteral(":%1").arg(n);
            else
                stop();  // lost a race for the display, or the server never answered
        }
        if (display_.isEmpty())
            fail(QStringLiteral("could not start Xvfb on any display"));
    }
    ~PrivateXvfb() { stop(); }
    const QString& display() const { return display_; }

  private:
    void stop() {
        if (server_.state() != QProcess::NotRunning) {
            server_.terminate();
            if (!server_.waitForFinished(5000))
                server_.kill();
            server_.waitForFinished(5000);
        }
    }
    QProcess server_;
    QString display_;
};

// A private session bus, as a desktop session has one.
class PrivateSessionBus {
  public:
    explicit PrivateSessionBus(const QString& program) {
        daemon_.start(program, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                QStringLiteral("--print-address=1")});
        if (!daemon_.waitForReadyRead(30000))
            fail(QStringLiteral("dbus-daemon gave no address"));
        address_ = QString::fromLocal8Bit(daemon_.readLine().trimmed());
    }
    ~PrivateSessionBus() {
        daemon_.terminate();
        if (!daemon_.waitForFinished(5000))
            daemon_.kill();
        daemon_.waitForFinished(5000);
    }
    const QString& address() const { return address_; }

  private:
    QProcess daemon_;
    QString address_;
};

// Starts `program` in `folder` and returns the milliseconds from just before exec to the
// moment its window reported the first frame; then ends it.
double timeToFirstPaint(const QString& program, const QStringList& arguments, const QString& folder,
                        const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.setStandardOutputFile(QProcess::nullDevice());
    const long long started = monotonicNs();
    process.setReadChannel(QProcess::StandardError);
    process.start(program, arguments);
    long long painted = -1;
    QByteArray pending;
    while (painted < 0) {
        if (!process.waitForReadyRead(30000))
            fail(QStringLiteral("%1 reported no first paint within 30 s (%2)")
                     .arg(program, QString::fromLocal8Bit(pending + process.readAll())));
        pending += process.readAll();
        for (const QByteArray& line : pending.split('\n')) {
            if (line.startsWith("first-paint "))
                painted = line.mid(12).trimmed().toLongLong();
        }
    }
    process.kill();
    process.waitForFinished(5000);
    return (painted - started) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int runs = 21;
    QString viewer = QStringLiteral(VEDRA_VIEWER_PATH);
    QString baseline;
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--runs") && i + 1 < arguments.size())
            runs = std::max(1, arguments[++i].toInt());
        else if (arguments[i] == QLatin1String("--viewer") && i + 1 < arguments.size())
            viewer = arguments[++i];
        else if (arguments[i] == QLatin1String("--baseline") && i + 1 < arguments.size())
            baseline = arguments[++i];
        else
            fail(QStringLiteral(
                "usage: startup_bench [--runs N] [--viewer PATH] [--baseline PATH]"));
    }
    const QString minimal = QStringLiteral(VEDRA_MINIMAL_WINDOW_PATH);
    QStringList programs{viewer, minimal, minimal};
    const std::vector<QStringList> programArguments{{}, {}, {QStringLiteral("--text")}, {}};
    if (!baseline.isEmpty())
        programs << baseline;
    for (const QString& program : programs) {
        if (!QFileInfo(program).isExecutable())
            fail(QStringLiteral("%1 is not built").arg(program));
    }

    const ReferenceTool xvfb(QStringLiteral("Xvfb"), "xvfb");
    const ReferenceTool dbus(QStringLiteral("dbus-daemon"), "dbus");

    QTemporaryDir work;
    if (!work.isValid())
        fail(QStringLiteral("no temporary folder"));
    for (const char* sub : {"home", "config", "data", "cache", "runtime", "pictures"}) {
        QDir(work.path()).mkdir(QString::fromLatin1(sub));
        QFile::setPermissions(work.filePath(QString::fromLatin1(sub)),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // The folder both programs start in: the viewer lists it before its first paint.
    const QString folder = work.filePath(QStringLiteral("pictures"));
    for (int i = 0; i < 40; ++i) {
        QFile file(QStringLiteral("%1/picture%2.jpg").arg(folder).arg(i, 3, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly))
            fail(QStringLiteral("cannot write %1").arg(file.fileName()));
    }

    PrivateXvfb server(xvfb.path());
    PrivateSessionBus bus(dbus.path());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "XDG_SESSION_TYPE", "WAYLAND_DISPLAY",
          "AT_SPI_BUS_ADDRESS", "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("DISPLAY"), server.display());
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("HOME"), work.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), work.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), work.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), work.filePath(QStringLiteral("cache")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), work.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("VEDRA_REPORT_FIRST_PAINT"), QStringLiteral("1"));

    // One round of each first warms the file cache for all.
    for (int k = 0; k < programs.size(); ++k)
        timeToFirstPaint(programs[k], programArguments[k], folder, environment);
    std::vector<std::vector<double>> times(programs.size());
    for (int round = 0; round < runs; ++round) {
        // The order turns every round, so none always runs right after another.
        for (int k = 0; k < programs.size(); ++k) {
            const int which = (round + k) % int(programs.size());
            times[which].push_back(
                timeToFirstPaint(programs[which], programArguments[which], folder, environment));
        }
    }

    const double minimalMedian = median(times[1]);
    const double textMedian = median(times[2]);
    std::printf("exec to first paint, median of %d interleaved runs on Xvfb %s\n", runs,
                qPrintable(server.display()));
    std::printf("  minimal Qt      %8.1f ms\n", minimalMedian);
    std::printf("  minimal + text  %8.1f ms  ratio %.2f\n", textMedian, textMedian / minimalMedian);
    for (int k : {0, 3}) {
        if (k >= programs.size())
            continue;
        const double viewerMedian = median(times[k]);
        std::printf(
            "  %-15s %8.1f ms  ratio %.2f (target: at most 1.20), %.2f to the text one  %s\n",
            k == 0 ? "viewer" : "baseline", viewerMedian, viewerMedian / minimalMedian,
            viewerMedian / textMedian, qPrintable(programs[k]));
    }
    return 0;
}
