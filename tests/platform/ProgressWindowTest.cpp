// Long file work on a worker behind the progress window: the interface thread keeps running
// its timers, the window tells what is done in words assistive technology reads, and Cancel
// reaches the work.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <thread>

#include "platform/ProgressWindow.h"
#include "platform/RuntimeError.h"

using platform::LongWork;
using platform::ProgressWindow;
using platform::WorkProgress;

static LongWork copyOf(qint64 total) {
    return {"Vedra Viewer - Copy",     "Copying",           "the copy",
            "/pictures/holiday/a.jpg", "/media/card/a.jpg", total};
}

static ProgressWindow* shownProgressWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<ProgressWindow*>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

TEST(ProgressWindow, LongWorkKeepsTheInterfaceRunningAndStopsOnCancel) {
    platform::setProgressWindowDelay(100);
    const qint64 total = qint64(2) << 30;
    std::atomic<bool> onWorker{false};

    // A timer of the interface thread, which keeps firing while the work runs: the work
    // ends only when the user below, who waits for it, presses Cancel.
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(10);

    // The user reads the window and presses Cancel.
    QStringList seen;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        ProgressWindow* window = shownProgressWindow();
        if (!window || ticks < 20)
            return;
        user.stop();
        for (QLabel* label : window->findChildren<QLabel*>())
            seen << label->text();
        auto* bar = window->findChild<QProgressBar*>();
        ASSERT_NE(bar, nullptr);
        seen << QAccessible::queryAccessibleInterface(bar)->text(QAccessible::Name);
        EXPECT_GT(bar->value(), 0);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(window)->text(QAccessible::Name),
                  "Vedra Viewer - Copy");
        EXPECT_TRUE(window->isModal());
        auto* cancel = window->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(cancel)->text(QAccessible::Name), "Cancel");
        cancel->click();
    });
    user.start(20);

    int error = 0;
    try {
        platform::runLongWork(copyOf(total), [&](WorkProgress& progress) {
            onWorker = QThread::currentThread() != qApp->thread();
            qint64 done = 0;
            while (!progress.cancelled()) {
                done = std::min(total, done + (qint64(1) << 20));
                progress.advance(done);
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            throw platform::workCancelled("the copy");
        });
    } catch (const platform::RuntimeError& e) {
        error = e.number();
        EXPECT_STREQ(e.what(), "the copy was cancelled");
    }
    platform::setProgressWindowDelay(500);
    EXPECT_EQ(error, platform::ErrorNumber::DialogCancelled);
    EXPECT_TRUE(onWorker);
    EXPECT_EQ(shownProgressWindow(), nullptr);
    ASSERT_EQ(seen.size(), 5);
    EXPECT_TRUE(seen[3].endsWith(" of 2.00 GB")) << seen[3].toStdString();
    seen[3] = "...";
    EXPECT_EQ(seen, (QStringList{"Copying a.jpg", "From: /pictures/holiday", "To: /media/card",
                                 "...", "Progress of the copy"}));
}
