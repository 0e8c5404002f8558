#include "platform/linux/DesktopWallpaper.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>

#include "platform/FileName.h"
#include "platform/FilePaths.h"
#include "platform/linux/ByteArguments.h"
#include "platform/linux/X11RootBackground.h"

namespace platform {

namespace {

// A desktop tool that has not answered in this time is taken as refusing.
constexpr int ToolTimeoutMs = 20000;

const QString XfceChannel = QStringLiteral("xfce4-desktop");
const QString XfceDefaultProperty =
    QStringLiteral("/backdrop/screen0/monitor0/workspace0/last-image");

// The picture of a file, opened by its bytes.
QImage imageFromFile(const QString& path) {
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    return QImageReader(&file).read();
}

// sway joins its arguments into one command line and splits it again at blanks, so the path
// travels as one double-quoted word with its quotes and backslashes escaped.
QString swayWord(const QString& path) {
    QString escaped = path;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

}  // namespace

DesktopWallpaper::Desktop DesktopWallpaper::runningDesktop() {
    const QString value = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    for (const QString& entry : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString name = entry.trimmed().toLower();
        if (name == "gnome" || name == "unity" || name == "ubuntu" || name == "gnome-classic" ||
            name == "gnome-flashback" || name == "budgie")
            return Desktop::Gnome;
        if (name == "x-cinnamon" || name == "cinnamon")
            return Desktop::Cinnamon;
        if (name == "mate")
            return Desktop::Mate;
        if (name == "xfce")
            return Desktop::Xfce;
        if (name == "kde")
            return Desktop::Kde;
        if (name == "lxqt")
            return Desktop::Lxqt;
        if (name == "lxde")
            return Desktop::Lxde;
        if (name == "sway")
            return Desktop::Sway;
    }
    return Desktop::Other;
}

DesktopWallpaper::Run DesktopWallpaper::run(const QString& program, const QStringList& arguments,
                                            QByteArray* output) {
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    if (!output)
        process.setStandardOutputFile(QProcess::nullDevice());
    // The picture's path reaches the tool as the file system's bytes.
    if (!startWithByteArguments(process, program, arguments) || !process.waitForStarted())
        return Run::Missing;
    if (!process.waitForFinished(ToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return Run::Failed;
    }
    if (output)
        *output = process.readAllStandardOutput();
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return ok ? Run::Succeeded : Run::Failed;
}

WallpaperResult DesktopWallpaper::resultOf(Run result) {
    switch (result) {
        case Run::Succeeded:
            return WallpaperResult::Done;
        case Run::Missing:
            return WallpaperResult::NoWay;
        case Run::Failed:
            break;
    }
    return WallpaperResult::Refused;
}

WallpaperResult DesktopWallpaper::SetWallpaper(const QString& bitmapPath) {
    const QString path = absoluteFilePath(bitmapPath);
    if (!fileStatus(path).isFile)
        return WallpaperResult::Refused;
    const QString gsettings = QStringLiteral("gsettings");
    switch (runningDesktop()) {
        case Desktop::Gnome:
            return setGnome(path);
        case Desktop::Cinnamon:
            return resultOf(run(gsettings, {"set", "org.cinnamon.desktop.background", "picture-uri",
                                            fileUri(path)}));
        case Desktop::Mate:
            return resultOf(
                run(gsettings, {"set", "org.mate.background", "picture-filename", path}));
        case Desktop::Xfce:
            return setXfce(path);
        case Desktop::Kde:
            return resultOf(run(QStringLiteral("plasma-apply-wallpaperimage"), {path}));
        case Desktop::Lxqt:
            return resultOf(run(QStringLiteral("pcmanfm-qt"), {"--set-wallpaper", path}));
        case Desktop::Lxde:
            return resultOf(run(QStringLiteral("pcmanfm"), {"--set-wallpaper", path}));
        case Desktop::Sway:
            return setSway(path);
        case Desktop::Other:
            break;
    }
    return setPlainX11(path);
}

WallpaperResult DesktopWallpaper::setGnome(const QString& path) {
    const QString gsettings = QStringLiteral("gsettings");
    const QString schema = QStringLiteral("org.gnome.desktop.background");
    const Run light = run(gsettings, {"set", schema, "picture-uri", fileUri(path)});
    if (light != Run::Succeeded)
        return resultOf(light);
    // Desktops before the dark style have no such key; the light one was enough there.
    run(gsettings, {"set", schema, "picture-uri-dark", fileUri(path)});
    return WallpaperResult::Done;
}

WallpaperResult DesktopWallpaper::setXfce(const QString& path) {
    const QString tool = QStringLiteral("xfconf-query");
    QByteArray listing;
    const Run listed = run(tool, {"-c", XfceChannel, "-l"}, &listing);
    if (listed != Run::Succeeded)
        return resultOf(listed);
    // Every monitor and workspace has a background of its own. A workspace is known by any
    // of its settings, not only by an image set before.
    static const QRegularExpression workspace(
        QStringLiteral("^(/backdrop/screen\\d+/monitor[^/]+/workspace\\d+)/"));
    QStringList properties;
    for (const QByteArray& line : listing.split('\n')) {
        const QRegularExpressionMatch match = workspace.match(QString::fromUtf8(line).trimmed());
        const QString property = match.captured(1) + QStringLiteral("/last-image");
        if (match.hasMatch() && !properties.contains(property))
            properties << property;
    }
    if (properties.isEmpty()) {
        // Nothing set yet: the monitors as Xfce names them, by connector (current versions)
        // and by number (older ones).
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (!screen->name().isEmpty())
                properties << QStringLiteral("/backdrop/screen0/monitor%1/workspace0/last-image")
                                  .arg(screen->name());
        }
        properties << XfceDefaultProperty;
    }
    for (const QString& property : properties) {
        const Run set =
            run(tool, {"-c", XfceChannel, "-p", property, "-n", "-t", "string", "-s", path});
        if (set != Run::Succeeded)
            return resultOf(set);
    }
    return WallpaperResult::Done;
}

WallpaperResult DesktopWallpaper::setSway(const QString& path) {
    return resultOf(run(QStringLiteral("swaymsg"), {"output", "*", "bg", swayWord(path), "fill"}));
}

WallpaperResult DesktopWallpaper::setPlainX11(const QString& path) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return WallpaperResult::NoWay;
    const QImage picture = imageFromFile(path);
    if (picture.isNull())
        return WallpaperResult::Refused;
    switch (setX11RootBackground(picture)) {
        case RootBackgroundResult::Set:
            return WallpaperResult::Done;
        case RootBackgroundResult::NoDisplay:
            return WallpaperResult::NoWay;
        case RootBackgroundResult::Failed:
            break;
    }
    return WallpaperResult::Refused;
}

}  // namespace platform
