#pragma once

#include <QTimer>
#include <functional>
#include <optional>

#include "../core/MainWindowFixture.h"
#include "FileBytes.h"
#include "platform/RuntimeError.h"

using testing_support::bytesOf;
using testing_support::Files;
using testing_support::filesIn;
using testing_support::Prompts;
using testing_support::question;
using testing_support::report;

namespace fileops_testing {

// The real file system, with a failure the test may inject into the next copy or move.
class FaultyFileSystem : public platform::LocalFileSystem {
  public:
    void CopyFile(const QString& source, const QString& target, bool replace) override {
        failIfAsked();
        LocalFileSystem::CopyFile(source, target, replace);
    }
    void MoveFile(const QString& source, const QString& target, bool replace) override {
        failIfAsked();
        LocalFileSystem::MoveFile(source, target, replace);
    }
    std::optional<int> nextFailure;

  private:
    void failIfAsked() {
        if (nextFailure) {
            const int number = *nextFailure;
            nextFailure.reset();
            throw platform::RuntimeError(number);
        }
    }
};

}  // namespace fileops_testing

// A main window over a folder of pictures with a target folder for copy and move.
class FileOpsTest : public MainWindowTest {
  protected:
    // Starts the viewer with the file list showing every picture of the folder.
    frmVedra& startBrowsing(platform::ClipboardService* clipboard = nullptr) {
        scripted.application.commandLine.clear();
        platform::Services services = MainWindowTest::services();
        services.fileSystem = &files;
        if (clipboard)
            services.clipboard = clipboard;
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
    const Prompts& prompts() const { return scripted.messageBox.prompts; }

    fileops_testing::FaultyFileSystem files;
    testing_support::ScriptedDialogs& saveDialog = scripted.dialogs;
    testing_support::PictureFolder target;
};
