#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "platform/RuntimeError.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace platform {

// What a long piece of file work tells whoever watches it, and how it learns that it is to
// stop. The work calls both from its own thread.
class WorkProgress {
  public:
    virtual ~WorkProgress() = default;
    // `bytes` of the work's total are done.
    virtual void advance(qint64 bytes) = 0;
    // True once the user asked the work to stop; the work then undoes what it did and
    // throws workCancelled().
    virtual bool cancelled() const = 0;
};

// Progress that nobody watches and that is never cancelled.
WorkProgress& unwatchedProgress();

// The error a cancelled piece of work throws (the number of a cancelled dialog, which the
// handlers pass over in silence). `what` is the work in words, e.g. "the copy".
RuntimeError workCancelled(const QString& what);

// The work as the progress window describes it.
struct LongWork {
    QString title;     // the window's caption, e.g. "Vedra Viewer - Copy"
    QString action;    // e.g. "Copying"
    QString noun;      // the work in words for a cancellation, e.g. "the copy"
    QString from;      // the source path, or empty (Save As)
    QString to;        // the target path
    qint64 total = 0;  // bytes
};

// Runs `work`. On the interface thread, work of at least a few megabytes runs on a worker
// thread while this call waits in a nested event loop, so the windows keep painting and
// answering assistive technology; user input waits until the work has ended. After about
// half a second a modal progress window shows what is done and offers Cancel. Returns when
// the work has ended, rethrowing its exception; the worker is joined only once it has
// finished. Anywhere else (another thread, no QApplication, little work) `work` runs at once.
void runLongWork(const LongWork& what, const std::function<void(WorkProgress&)>& work);

// How long the work runs before the progress window appears (milliseconds); tests shorten
// it.
void setProgressWindowDelay(int milliseconds);

// The small window that shows the progress of a long piece of file work.
class ProgressWindow : public QDialog {
    Q_OBJECT
  public:
    ProgressWindow(const LongWork& what, QWidget* parent);
    // Shows `done` bytes of the total.
    void showDone(qint64 done);
    bool cancelRequested() const { return cancelRequested_; }
    // Called once when the user asks the work to stop (Cancel, Esc, closing the window).
    std::function<void()> onCancel;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void requestCancel();

    LongWork what_;
    QLabel* amount_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool cancelRequested_ = false;
};

// Bytes as a person reads them: "512 bytes", "12.4 MB", "2.00 GB".
QString byteAmountText(qint64 bytes);

}  // namespace platform
