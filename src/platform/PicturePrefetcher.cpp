#include "platform/PicturePrefetcher.h"

#include <atomic>
#include <new>

#include <pthread.h>

#include "platform/RuntimeError.h"

namespace platform {

struct PicturePrefetcher::Job {
    QString path;
    FileStamp stamp;
    ShownViewFor shownView;
    ShownViewFor alsoShown;
    std::atomic<bool> cancel{false};
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    Picture picture;
};

namespace {
qint64 processorNanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
}  // namespace

PicturePrefetcher::~PicturePrefetcher() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        if (entry_)
            entry_->cancel = true;
    }
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

void PicturePrefetcher::prefetch(const QString& path, ShownViewFor shownView,
                                 ShownViewFor alsoShown) {
    const FileStamp stamp = fileStamp(path);
    if (!stamp.valid())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (entry_ && entry_->path == path && entry_->stamp == stamp)
            return;  // already there or on its way
        if (entry_)
            entry_->cancel = true;  // no longer wanted: it stops, nobody waits for it
        auto job = std::make_shared<Job>();
        job->path = path;
        job->stamp = stamp;
        job->shownView = std::move(shownView);
        job->alsoShown = std::move(alsoShown);
        entry_ = job;
        pending_ = job;
        if (!worker_.joinable())
            worker_ = std::thread([this] { work(); });
    }
    wake_.notify_all();
}

void PicturePrefetcher::work() {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || pending_; });
            if (stopping_)
                return;
            job = std::move(pending_);
        }
        Picture picture;
        if (!job->cancel) {
            startWork();
            picture = prepare(*job);
            endWork();
        }
        {
            std::lock_guard<std::mutex> lock(job->mutex);
            job->picture = job->cancel ? Picture() : picture;
            job->done = true;
        }
        job->finished.notify_all();
    }
}

Picture PicturePrefetcher::prepare(Job& job) {
    try {
        LoadProgress progress;
        progress.cancel = &job.cancel;
        Picture picture = LoadPicture(job.path, job.shownView, progress);
        // The load decoded the first view; a second, scaled one is scaled from it (one at
        // natural size decodes what is seen when it is seen).
        if (job.alsoShown && !job.cancel) {
            const ShownView view = job.alsoShown(picture.sizePixels());
            if (!view.size.isEmpty() && view.size != picture.sizePixels())
                picture.imageForSize(devicePixelSize(view.size, view.devicePixelRatio));
        }
        return picture;
    } catch (const RuntimeError&) {
        return {};  // the loader meets the error itself later
    } catch (const std::bad_alloc&) {
        return {};
    }
}

void PicturePrefetcher::startWork() {
    std::lock_guard<std::mutex> lock(clockMutex_);
    pthread_getcpuclockid(pthread_self(), &workerClock_);
    workerStarted_ = processorNanoseconds(workerClock_);
    working_ = true;
}

void PicturePrefetcher::endWork() {
    std::lock_guard<std::mutex> lock(clockMutex_);
    processorNanoseconds_ += processorNanoseconds(workerClock_) - workerStarted_;
    working_ = false;
}

double PicturePrefetcher::processorSeconds() {
    std::lock_guard<std::mutex> lock(clockMutex_);
    qint64 total = processorNanoseconds_;
    if (working_)
        total += processorNanoseconds(workerClock_) - workerStarted_;
    return total / 1e9;
}

bool PicturePrefetcher::busy() {
    std::shared_ptr<Job> job;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job = entry_;
    }
    if (!job)
        return false;
    std::lock_guard<std::mutex> lock(job->mutex);
    return !job->done;
}

Picture PicturePrefetcher::lookup(const QString& path) {
    std::shared_ptr<Job> job;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!entry_ || entry_->path != path)
            return {};
        job = entry_;
    }
    if (fileStamp(path) != job->stamp)
        return {};
    std::unique_lock<std::mutex> lock(job->mutex);
    job->finished.wait(lock, [&job] { return job->done; });
    return job->picture;
}

Picture RecentPictures::find(const QString& path) const {
    for (const Entry& entry : entries_) {
        if (entry.path == path)
            return fileStamp(path) == entry.stamp ? entry.picture : Picture();
    }
    return {};
}

void RecentPictures::add(const QString& path, const Picture& picture) {
    const FileStamp stamp = fileStamp(path);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->path == path) {
            entries_.erase(it);
            break;
        }
    }
    if (picture.isEmpty() || !stamp.valid())
        return;
    entries_.push_front({path, stamp, picture});
    while (entries_.size() > Capacity)
        entries_.pop_back();
}

}  // namespace platform
