#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <memory>

#include "ScriptedServices.h"
#include "TestPictures.h"
#include "core/Program.h"
#include "core/frmVedra.h"

// A main window started at a temporary folder of pictures with scripted services.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousFolder_ = QDir::currentPath();
        QDir::setCurrent(folder.path());
    }
    void TearDown() override {
        program.reset();
        QDir::setCurrent(previousFolder_);
    }

    // Creates the program and its main window (running Form_Load) with `commandLine`.
    frmVedra& start(const QString& commandLine = {}) {
        scripted.application.commandLine = commandLine;
        program = std::make_unique<Program>(services());
        beforeMainWindow(*program);
        return program->frmVedra();
    }
    // The services the program is given; suites replace some of the scripted ones.
    virtual platform::Services services() { return scripted.services(); }
    // Runs between the program's creation and its main window's (to set up its volumes).
    virtual void beforeMainWindow(Program&) {}

    testing_support::PictureFolder folder;
    testing_support::ScriptedServices scripted;
    std::unique_ptr<Program> program;

  private:
    QString previousFolder_;
};
