#include "platform/ProgressWindow.h"

#include <sys/resource.h>
#include <unistd.h>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "platform/FileName.h"
#include "platform/FilePaths.h"

namespace platform {

namespace {

// Less work than this ends before anyone would wait for it.
constexpr qint64 LongWorkBytes = qint64(4) << 20;
// How often the window shows the bytes done.
constexpr int RefreshMilliseconds = 100;
constexpr int ProgressSteps = 1000;
// How much less the worker counts than the interface thread for the processor.
constexpr int WorkerNiceness = 10;

std::atomic<int> windowDelay{500};

class SilentProgress : public WorkProgress {
  public:
    void advance(qint64) override {}
    bool cancelled() const override { return false; }
};

// Written by the worker, read by the interface thread, and the other way round for the
// cancellation.
class SharedProgress : public WorkProgress {
  public:
    void advance(qint64 bytes) override { done.store(bytes, std::memory_order_relaxed); }
    bool cancelled() const override { return cancel.load(std::memory_order_relaxed); }
    std::atomic<qint64> done{0};
    std::atomic<bool> cancel{false};
};

}  // namespace

WorkProgress& unwatchedProgress() {
    static SilentProgress progress;
    return progress;
}

RuntimeError workCancelled(const QString& what) {
    return RuntimeError(ErrorNumber::DialogCancelled, what + QStringLiteral(" was cancelled"));
}

void setProgressWindowDelay(int milliseconds) {
    windowDelay = milliseconds;
}

QString byteAmountText(qint64 bytes) {
    if (bytes < 1024)
        return QStringLiteral("%1 bytes").arg(bytes);
    static const char* const units[] = {"KB", "MB", "GB", "TB"};
    double value = double(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(QString::number(value, 'f', value < 10 ? 2 : 1),
                                       QLatin1String(units[unit]));
}

ProgressWindow::ProgressWindow(const LongWork& what, QWidget* parent)
    : QDialog(parent), what_(what) {
    setWindowTitle(what.title);
    setAccessibleName(what.title);
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    auto* heading =
        new QLabel(what.action + QLatin1Char(' ') +
                   displayFileName(fileNameOf(what.from.isEmpty() ? what.to : what.from)));
    layout->addWidget(heading);
    if (!what.from.isEmpty()) {
        auto* from = new QLabel(QStringLiteral("From: ") + displayFileName(folderOf(what.from)));
        from->setAccessibleName(from->text());
        layout->addWidget(from);
    }
    auto* to = new QLabel(QStringLiteral("To: ") + displayFileName(folderOf(what.to)));
    to->setAccessibleName(to->text());
    layout->addWidget(to);
    bar_ = new QProgressBar;
    bar_->setRange(0, ProgressSteps);
    bar_->setTextVisible(true);
    bar_->setAccessibleName(QStringLiteral("Progress of ") + what.noun);
    layout->addWidget(bar_);
    amount_ = new QLabel;
    layout->addWidget(amount_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cancel_ = new QPushButton(QStringLiteral("&Cancel"));
    cancel_->setAccessibleName(QStringLiteral("Cancel"));
    cancel_->setDefault(true);
    connect(cancel_, &QPushButton::clicked, this, [this] { requestCancel(); });
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    heading->setAccessibleName(heading->text());
    setMinimumWidth(420);
    showDone(0);
    setFixedHeight(sizeHint().height());
}

void ProgressWindow::showDone(qint64 done) {
    if (cancelRequested_)
        return;
    const qint64 total = std::max<qint64>(what_.total, 1);
    bar_->setValue(int(std::min<qint64>(done, total) * ProgressSteps / total));
    const QString text =
        byteAmountText(done) + QStringLiteral(" of ") + byteAmountText(what_.total);
    if (amount_->text() != text) {
        amount_->setText(text);
        amount_->setAccessibleName(text);
        bar_->setAccessibleDescription(text);
    }
}

void ProgressWindow::requestCancel() {
    if (cancelRequested_)
        return;
    cancelRequested_ = true;
    cancel_->setEnabled(false);
    amount_->setText(QStringLiteral("Cancelling..."));
    amount_->setAccessibleName(amount_->text());
    if (onCancel)
        onCancel();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    // The window stays until the work has ended; closing it asks the work to stop.
    requestCancel();
    event->ignore();
}

void ProgressWindow::reject() {
    requestCancel();  // Esc
}

void runLongWork(const LongWork& what, const std::function<void(WorkProgress&)>& work) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread() || what.total < LongWorkBytes) {
        work(unwatchedProgress());
        return;
    }
    SharedProgress progress;
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    QObject relay;  // lives on the interface thread; the worker's last word goes through it
    QPointer<QEventLoop> waiting;
    std::thread worker([&] {
        // The interface thread comes first when the two compete for a processor.
        ::setpriority(PRIO_PROCESS, pid_t(::gettid()),
                      ::getpriority(PRIO_PROCESS, 0) + WorkerNiceness);
        try {
            work(progress);
        } catch (...) {
            failure = std::current_exception();
        }
        finished.store(true);
        QMetaObject::invokeMethod(
            &relay,
            [&waiting] {
                if (waiting)
                    waiting->quit();
            },
            Qt::QueuedConnection);
    });

    // First a short wait in which the windows paint but take no input.
    {
        QEventLoop loop;
        QTimer::singleShot(windowDelay.load(), &loop, &QEventLoop::quit);
        waiting = &loop;
        if (!finished.load())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        waiting = nullptr;
    }
    // Then the modal progress window, whose Cancel asks the worker to stop.
    if (!finished.load()) {
        ProgressWindow window(what, QApplication::activeWindow());
        QEventLoop loop;
        QTimer refresh;
        window.onCancel = [&progress] { progress.cancel.store(true); };
        QObject::connect(&refresh, &QTimer::timeout, &window,
                         [&] { window.showDone(progress.done.load(std::memory_order_relaxed)); });
        refresh.start(RefreshMilliseconds);
        window.showDone(progress.done.load(std::memory_order_relaxed));
        window.show();
        waiting = &loop;
        if (!finished.load())
            loop.exec(QEventLoop::DialogExec);
        waiting = nullptr;
        refresh.stop();
        window.hide();
    }
    worker.join();  // the worker has finished: its last step was to say so
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace platform
