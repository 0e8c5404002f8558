#pragma once

#include <QTimer>
#include <functional>
#include <optional>
#include <utility>

#include "../core/MainWindowFixture.h"
#include "FileBytes.h"
#include "platform/RuntimeError.h"

using testing_support::bytesOf;
using testing_support::Files;
using testing_support::filesIn;

const QString OverwriteQuestion =
    QStringLiteral("This filename is in use.\rDo you want to overwrite the existing file?\r");

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
        if (const std::optional<int> number = std::exchange(nextFailure, std::nullopt))
            throw platform::RuntimeError(*number);
    }
};

// A main window over a folder of pictures with a target folder for copy and move.
class FileOpsTest : public MainWindowTest {
  protected:
    platform::Services services() override {
        platform::Services services = MainWindowTest::services();
        services.fileSystem = &files;
        return services;
    }
    // Chooses `folder` as the copy and move target, as the folder dialog leaves it.
    void chooseTarget(const QString& folderPath) {
        program->modulo1().CartellaCM = folderPath;
        program->modulo1().SceltaFatta = true;
    }

    FaultyFileSystem files;
    testing_support::PictureFolder target;
};
