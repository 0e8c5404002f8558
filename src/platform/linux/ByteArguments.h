#pragma once

#include <QString>
#include <QStringList>

class QProcess;

namespace platform {

// Makes `process` start `program` (found on PATH unless it holds a "/") with `arguments`
// handed over as the file system's bytes (see FileName.h): QProcess itself would encode
// them as text and lose the bytes of a file name that is not UTF-8. False, with nothing
// set, when the program cannot be found.
bool startWithByteArguments(QProcess& process, const QString& program,
                            const QStringList& arguments);

}  // namespace platform
