#include "platform/linux/DetachedShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace platform {

bool DetachedShell::OpenDocument(const QString& target) {
    if (target.isEmpty())
        return false;
    // A path names a local document; anything else is taken as an address.
    const QUrl url =
        QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool DetachedShell::Start(const QString& program, const QStringList& arguments) {
    if (program.isEmpty())
        return false;
    // The started program outlives the viewer and is not waited for.
    return QProcess::startDetached(program, arguments);
}

int DetachedShell::RunAndWait(const QString& program, const QStringList& arguments) {
    if (program.isEmpty())
        return -1;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return -1;
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace platform
