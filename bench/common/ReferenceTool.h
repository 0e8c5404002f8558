#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

// A reference program a benchmark times its figures against. A figure against a program that
// is missing or fails at once would be meaningless, so every run is checked and a failure
// stops the benchmark with the package to install.
class ReferenceTool {
  public:
    ReferenceTool(const QString& program, const char* debianPackage)
        : package_(debianPackage), path_(QStandardPaths::findExecutable(program)) {
        if (path_.isEmpty()) {
            stop(QStringLiteral("%1 is not installed").arg(program));
        }
    }

    const QString& path() const { return path_; }

    // Runs the program without a shell; stops the benchmark unless it exits with status 0.
    void run(const QStringList& arguments) const {
        if (!tryRun(arguments)) {
            stop(QStringLiteral("%1 %2 failed").arg(path_, arguments.join(QLatin1Char(' '))));
        }
    }

    // Runs the program without a shell; true when it exited with status 0. For references
    // that may rightly refuse some inputs (damaged files), once `run` proved they work.
    bool tryRun(const QStringList& arguments) const {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(path_, arguments);
        return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

  private:
    [[noreturn]] void stop(const QString& what) const {
        std::fprintf(stderr,
                     "Reference tool unusable: %s.\nInstall the Debian package %s "
                     "(scripts/install-deps.sh does), then run the benchmark again.\n",
                     qPrintable(what), package_);
        std::exit(2);
    }

    const char* package_;
    QString path_;
};
