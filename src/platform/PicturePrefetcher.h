#pragma once

#include <QDateTime>
#include <QSize>
#include <QString>
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
    // size in pixels (an empty size: load only).
    void prefetch(const QString& path, std::function<QSize(QSize)> displaySize);
    // The prefetched picture of `path` when its file has not changed since, waiting for a
    // load still under way; empty otherwise.
    Picture lookup(const QString& path);

  private:
    struct Entry {
        QString path;
        qint64 length = -1;
        QDateTime modified;
        std::shared_future<Picture> picture;
    };

    std::mutex mutex_;
    Entry entry_;
};

}  // namespace platform
