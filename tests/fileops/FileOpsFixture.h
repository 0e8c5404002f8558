#pragma once

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTimer>
#include <functional>
#include <optional>
#include <ostream>

#include "../core/MainWindowFixture.h"
#include "platform/RuntimeError.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace fileops_testing {

// The real file system, with a failure the test may inject into the next copy or move.
class FaultyFileSystem : public platform::LocalFileSystem {
  public:
    void CopyFile(const QString& source, const QString& target, bool replace) override {
        calls.push_back("copy " + source + " -> " + target + (replace ? " (replace)" : ""));
        failIfAsked();
        LocalFileSystem::CopyFile(source, target, replace);
    }
    void MoveFile(const QString& source, const QString& target, bool replace) override {
        calls.push_back("move " + source + " -> " + target + (replace ? " (replace)" : ""));
        failIfAsked();
        LocalFileSystem::MoveFile(source, target, replace);
    }
    std::optional<int> nextFailure;
    QStringList calls;

  private:
    void failIfAsked() {
        if (nextFailure) {
            const int number = *nextFailure;
            nextFailure.reset();
            throw platform::RuntimeError(number);
        }
    }
};

// Every file of a folder, hidden ones included, with its bytes.
inline QMap<QString, QByteArray> contentsOf(const QString& folder) {
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::ReadOnly);
        files.insert(name, file.readAll());
    }
    return files;
}

inline QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace fileops_testing

// A main window over a folder of pictures with a target folder for copy and move.
class FileOpsTest : public MainWindowTest {
  protected:
    // Starts the viewer with the file list showing every picture of the folder.
    frmVedra& startBrowsing() {
        scripted.application.commandLine.clear();
        platform::Services services = scripted.services();
        services.fileSystem = &files;
        program = std::make_unique<Program>(services);
        frmVedra& w = program->frmVedra();
        w.TipoImmagine.setListIndex(0);
        return w;
    }
    // Chooses `folder` as the copy and move target, as the folder dialog leaves it.
    void chooseTarget(const QString& folderPath) {
        program->modulo1().CartellaCM = folderPath;
        program->modulo1().SceltaFatta = true;
    }
    // Runs `act` once the modal dialog that the next step opens is showing.
    static void whenDialogShows(std::function<void()> act) {
        QTimer::singleShot(0, std::move(act));
    }
    const std::vector<testing_support::ScriptedMessageBox::Prompt>& prompts() const {
        return scripted.messageBox.prompts;
    }

    fileops_testing::FaultyFileSystem files;
    testing_support::ScriptedDialogs& saveDialog = scripted.dialogs;
    testing_support::PictureFolder target;
};
