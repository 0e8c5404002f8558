#include "platform/linux/LinuxSystemInfo.h"

#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace platform {

bool LinuxSystemInfo::GetKeyValue(const QString& key, const QString& valueName, QString& value) {
    if (valueName.isEmpty())
        return false;
    if (key == QLatin1String("Environment")) {
        const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!environment.contains(valueName))
            return false;
        value = environment.value(valueName);
        return true;
    }
    if (key == QLatin1String("Programs")) {
        // A bare name only: a path would let the lookup leave the search path.
        if (valueName.contains(QLatin1Char('/')))
            return false;
        const QString found = QStandardPaths::findExecutable(valueName);
        if (found.isEmpty() || !QFileInfo(found).isFile())
            return false;
        value = found;
        return true;
    }
    return false;
}

}  // namespace platform
