#include "platform/linux/DetachedShell.h"

#include <QProcess>

namespace platform {

bool DetachedShell::OpenDocument(const QString& target) {
    (void)target;
    return false;
}

bool DetachedShell::Start(const QString& program, const QStringList& arguments) {
    if (program.isEmpty())
        return false;
    // The started program outlives the viewer and is not waited for.
    return QProcess::startDetached(program, arguments);
}

int DetachedShell::RunAndWait(const QString& program, const QStringList& arguments) {
    (void)program;
    (void)arguments;
    return -1;
}

}  // namespace platform
