#pragma once

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <functional>

#include "../core/MainWindowFixture.h"
#include "viewing/frmFS.h"

// Runs `open`, which opens a popup menu, and `act` on that menu once it is open: it may
// open only after a pause that lets a window's activation settle.
inline void onPopup(const std::function<void()>& open, const std::function<void(QMenu&)>& act) {
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            watch.stop();
            act(*menu);
        }
    });
    watch.start(5);
    open();
}

// The main window's fixture on an 800 x 600 pixel (12000 x 9000 twip) screen. The windows' timers
// are stopped: the tests raise timer events with tick().
class ViewingTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        scripted.screen.widthPixels = 800;
        scripted.screen.heightPixels = 600;
    }
    void TearDown() override {
        if (program && program->frmFS.exists())
            program->frmFS().Unload();
        MainWindowTest::TearDown();
    }

    frmVedra& start(std::initializer_list<const char*> pictures = {}) {
        for (const char* name : pictures)
            folder.addPicture(name, 40, 30);
        frmVedra& w = MainWindowTest::start();
        w.Timer1.setEnabled(false);
        return w;
    }
    // The full-screen window when it is open, its timer stopped like the main one's.
    frmFS* fullScreen() {
        frmFS* fs = program->frmFS.peek();
        if (fs)
            fs->Timer1.setEnabled(false);
        return fs;
    }
    // The file the main window shows, from its caption.
    QString shownFile() const { return program->frmVedra().Caption().section('/', -1); }
    // Shows the file at `entry` and clicks the picture, which opens the full-screen
    // window keeping the aspect ratio.
    frmFS& openFullScreenAt(int entry) {
        program->frmVedra().File1.setListIndex(entry);
        program->frmVedra().Image1_Click();
        return *fullScreen();
    }
};
