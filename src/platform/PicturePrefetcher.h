#pragma once

#include <QDateTime>
#include <QSize>
#include <QString>
#include <ctime>
#include <functional>
#include <future>
#include <mutex>

#include "platform/Picture.h"

namespace platform {

// Decodes the picture that will be wanted next (the slide show's next entry) on a worker
// thread while the user interface waits, so showing it later takes a few milliseconds.
// It holds one picture; LoadPicture serves it while its file is unchanged.
class PicturePrefetcher {
  public:
    static PicturePrefetcher& instance();

    // Starts loading `path` and drawing it at the size `displaySize` gives for its natural
    // size in pixels (an empty size: load only), then at the size `alsoShown` gives when a
    // second, smaller view shows it too (scaled from the first copy, not decoded again).
    void prefetch(const QString& path, std::function<QSize(QSize)> displaySize,
                  std::function<QSize(QSize)> alsoShown = nullptr);
    // The prefetched picture of `path` when its file has not changed since, waiting for a
    // load still under way; empty otherwise.
    Picture lookup(const QString& path);

    // Whether a picture is being prepared now, and the processor time all the preparing has
    // taken so far, the one under way included (the worker threads' own time): what reading
    // ahead costs the process.
    bool busy();
    double processorSeconds();

  private:
    // Bracket one preparation on its worker thread, counting its processor time.
    void startWork();
    void endWork();

    struct Entry {
        QString path;
        qint64 length = -1;
        QDateTime modified;
        std::shared_future<Picture> picture;
    };

    std::mutex mutex_;
    Entry entry_;
    // The finished preparations' processor time, and the clock of the worker thread at work.
    std::mutex clockMutex_;
    qint64 processorNanoseconds_ = 0;
    bool working_ = false;
    clockid_t workerClock_{};
    qint64 workerStarted_ = 0;
};

}  // namespace platform
