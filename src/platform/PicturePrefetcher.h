#pragma once

#include <QString>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/OpenedFile.h"
#include "platform/Picture.h"

namespace platform {

// Decodes the picture that will be wanted next (the slide show's next entry) on a worker
// thread while the user interface waits, so showing it later takes a few milliseconds.
// It holds one picture, served while its file is unchanged. Asking for another gives up the
// one under way, which stops within a few rows; nothing ever waits for a picture no longer
// wanted. The worker thread starts with the first request.
class PicturePrefetcher {
  public:
    PicturePrefetcher() = default;
    // Gives up the work under way and ends the worker, which stops within a few rows.
    ~PicturePrefetcher();
    PicturePrefetcher(const PicturePrefetcher&) = delete;
    PicturePrefetcher& operator=(const PicturePrefetcher&) = delete;

    // Starts loading `path` for the view `shownView` gives for its natural size (an empty
    // view: load only), then prepares the view `alsoShown` gives when a second, smaller view
    // shows it too (scaled from the first copy, not decoded again).
    void prefetch(const QString& path, ShownViewFor shownView, ShownViewFor alsoShown = nullptr);
    // The prefetched picture of `path` when its file has not changed since, waiting for a
    // load still under way; empty otherwise.
    Picture lookup(const QString& path);

    // Whether a picture is being prepared now, and the processor time all the preparing has
    // taken so far, the one under way included (the worker thread's own time): what reading
    // ahead costs the process.
    bool busy();
    double processorSeconds();

  private:
    struct Job;
    void work();
    Picture prepare(Job& job);
    // Bracket one preparation on the worker thread, counting its processor time.
    void startWork();
    void endWork();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::shared_ptr<Job> entry_;    // the picture last asked for
    std::shared_ptr<Job> pending_;  // the same, until the worker takes it
    bool stopping_ = false;
    std::thread worker_;
    // The finished preparations' processor time, and the clock of the worker thread at work.
    std::mutex clockMutex_;
    qint64 processorNanoseconds_ = 0;
    bool working_ = false;
    clockid_t workerClock_{};
    qint64 workerStarted_ = 0;
};

// The pictures loaded last, served again while their files are unchanged: an entry loaded
// twice in a row (the HTML list's walk over the file list, a click then a double click) is
// read and decoded once. Used on the interface thread.
class RecentPictures {
  public:
    Picture find(const QString& path) const;
    void add(const QString& path, const Picture& picture);

  private:
    static constexpr std::size_t Capacity = 2;
    struct Entry {
        QString path;
        FileStamp stamp;
        Picture picture;
    };
    std::deque<Entry> entries_;  // most recent first
};

}  // namespace platform
