#pragma once

#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <memory>

#include "ScriptedEventClock.h"
#include "ScriptedServices.h"
#include "ScriptedTray.h"
#include "TestPictures.h"
#include "core/Program.h"
#include "core/frmVedra.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/QtClipboard.h"

using testing_support::Prompts;
using testing_support::question;
using testing_support::report;

// The entries of a list box or of a combo box's list.
template <typename List>
QStringList itemsOf(const List& list) {
    QStringList items;
    for (int i = 0; i < list.ListCount(); ++i)
        items << list.List(i);
    return items;
}

// A main window started at a temporary folder of pictures with scripted services and an empty
// desktop clipboard.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousFolder_ = QDir::currentPath();
        QDir::setCurrent(folder.path());
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override {
        QCoreApplication::processEvents();  // deletes unloaded windows
        program.reset();
        QDir::setCurrent(previousFolder_);
    }

    // Creates the program and its main window (running Form_Load) with `commandLine`; when
    // `shown`, starts it as the shipped program does: the picture named is read ahead and
    // the window is shown.
    frmVedra& start(const QString& commandLine = {}, bool shown = false) {
        scripted.application.commandLine = commandLine;
        program.reset();  // before the read-ahead it holds
        readAhead = std::make_unique<platform::PicturePrefetcher>();
        program = std::make_unique<Program>(services(), *readAhead);
        beforeMainWindow(*program);
        if (shown) {
            Program::readAheadAtStart(*readAhead, commandLine);
            program->start();
        }
        return program->frmVedra();
    }
    // Starts the viewer with the file list showing every picture of the folder.
    frmVedra& startListing() {
        frmVedra& w = start();
        w.TipoImmagine.setListIndex(0);
        return w;
    }
    // The services the program is given: the scripted ones with a clock of scripted events,
    // the desktop clipboard (Qt's own offscreen) and the real system facts; a scripted tray
    // when `withTray` (a tray changes how the windows are kept).
    virtual platform::Services services() {
        platform::Services services = scripted.services();
        services.clock = &clock;
        services.tray = withTray ? &tray : nullptr;
        services.clipboard = &clipboard;
        services.systemInfo = &systemInfo;
        return services;
    }
    // Selects the list entry with this name, loading its picture.
    static void select(frmVedra& w, const QString& name) {
        for (int i = 0; i < w.File1.ListCount(); ++i) {
            if (w.File1.List(i) == name)
                return w.File1.setListIndex(i);
        }
        FAIL() << "no entry " << name.toStdString();
    }
    const Prompts& prompts() const { return scripted.messageBox.prompts; }
    // Runs between the program's creation and its main window's (to set up its volumes).
    virtual void beforeMainWindow(Program&) {}

    testing_support::PictureFolder folder;
    testing_support::ScriptedServices scripted;
    ScriptedEventClock clock;
    testing_support::ScriptedTray tray;
    bool withTray = false;
    platform::QtClipboard clipboard;
    platform::LinuxSystemInfo systemInfo;
    std::unique_ptr<platform::PicturePrefetcher> readAhead;
    std::unique_ptr<Program> program;

  private:
    QString previousFolder_;
};
