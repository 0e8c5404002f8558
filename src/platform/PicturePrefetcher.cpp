#include "platform/PicturePrefetcher.h"

#include <QFileInfo>
#include <chrono>
#include <ctime>
#include <new>

#include <pthread.h>

#include "platform/RuntimeError.h"

namespace platform {

PicturePrefetcher& PicturePrefetcher::instance() {
    static PicturePrefetcher prefetcher;
    return prefetcher;
}

namespace {
qint64 processorNanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
}  // namespace

void PicturePrefetcher::prefetch(const QString& path, std::function<QSize(QSize)> displaySize,
                                 std::function<QSize(QSize)> alsoShown) {
    const QFileInfo info(path);
    if (!info.isFile())
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (entry_.path == path && entry_.length == info.size() &&
        entry_.modified == info.lastModified())
        return;  // already there or on its way
    entry_.path = path;
    entry_.length = info.size();
    entry_.modified = info.lastModified();
    entry_.picture = std::async(std::launch::async, [this, path, displaySize, alsoShown] {
                         startWork();
                         Picture picture;
                         try {
                             picture = loadPictureFile(path, displaySize);
                             // The bigger view first: the smaller one is scaled from it.
                             for (const auto& shown : {displaySize, alsoShown}) {
                                 const QSize size = shown ? shown(picture.sizePixels()) : QSize();
                                 if (!size.isEmpty())
                                     picture.imageForSize(size);
                             }
                         } catch (const RuntimeError&) {
                             picture = Picture();  // the loader meets the error itself later
                         } catch (const std::bad_alloc&) {
                             picture = Picture();
                         }
                         endWork();
                         return picture;
                     }).share();
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
    // The worker's clock is read only while it is at work, so while its thread exists.
    if (working_)
        total += processorNanoseconds(workerClock_) - workerStarted_;
    return total / 1e9;
}

bool PicturePrefetcher::busy() {
    std::lock_guard<std::mutex> lock(mutex_);
    return entry_.picture.valid() &&
           entry_.picture.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

Picture PicturePrefetcher::lookup(const QString& path) {
    std::shared_future<Picture> pending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (entry_.path != path || !entry_.picture.valid())
            return {};
        const QFileInfo info(path);
        if (!info.isFile() || info.size() != entry_.length ||
            info.lastModified() != entry_.modified)
            return {};
        pending = entry_.picture;
    }
    return pending.get();
}

}  // namespace platform
