#include "platform/PicturePrefetcher.h"

#include <QFileInfo>
#include <new>

#include "platform/RuntimeError.h"

namespace platform {

PicturePrefetcher& PicturePrefetcher::instance() {
    static PicturePrefetcher prefetcher;
    return prefetcher;
}

void PicturePrefetcher::prefetch(const QString& path, std::function<QSize(QSize)> displaySize) {
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
    entry_.picture = std::async(std::launch::async, [path, displaySize] {
                         try {
                             Picture picture = loadPictureFile(path, displaySize);
                             const QSize size =
                                 displaySize ? displaySize(picture.sizePixels()) : QSize();
                             if (!size.isEmpty())
                                 picture.imageForSize(size);
                             return picture;
                         } catch (const RuntimeError&) {
                         } catch (const std::bad_alloc&) {
                         }
                         return Picture();  // the loader meets the error itself later
                     }).share();
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
