#pragma once

#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

#include "ScopedEnv.h"
#include "platform/FileName.h"

namespace testing_support {

// A folder of fake programs, the only folder on PATH while the object lives. Each program
// logs its name and its arguments byte for byte, prints `output`, waits `seconds`, marks
// that it finished and exits with `status`.
class FakePrograms {
  public:
    QString folder() const { return dir_.path(); }
    QString add(const QString& name, int status = 0, const QByteArray& output = {},
                double seconds = 0) {
        QFile script(dir_.filePath(name));
        script.open(QIODevice::WriteOnly);
        script.write(
            "#!/bin/sh\n{ printf '%s' \"${0##*/}\"; for a; do printf '\\037%s' \"$a\"; "
            "done; printf '\\036'; } >> '" +
            log_ + "'\nprintf '%s' '" + output + "'\n" + sleep_ + " " +
            QByteArray::number(seconds) + "\n: > \"$0.done\"\nexit " + QByteArray::number(status) +
            "\n");
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return script.fileName();
    }
    // Every call as [name, arguments...], in order.
    std::vector<QStringList> calls() const {
        QFile file(QString::fromUtf8(log_));
        std::vector<QStringList> result;
        if (!file.open(QIODevice::ReadOnly))
            return result;
        for (const QByteArray& call : file.readAll().split('\x1e')) {
            result.emplace_back();
            for (const QByteArray& word : call.split('\x1f'))
                result.back() << platform::decodeFileName(word);
        }
        result.pop_back();  // after the last separator
        return result;
    }
    // The arguments of the program's last call; "<not started>" when it was never called.
    QStringList argumentsOf(const QString& name) const {
        QStringList arguments{"<not started>"};
        for (const QStringList& call : calls())
            if (call.first() == name)
                arguments = call.mid(1);
        return arguments;
    }
    bool finished(const QString& name) const {
        return QFile::exists(dir_.filePath(name + ".done"));
    }

  private:
    QTemporaryDir dir_;
    QByteArray log_ = dir_.filePath("calls.log").toUtf8();
    QByteArray sleep_ = QStandardPaths::findExecutable("sleep").toUtf8();
    ScopedEnv path_{"PATH", dir_.path().toUtf8()};
};

}  // namespace testing_support
