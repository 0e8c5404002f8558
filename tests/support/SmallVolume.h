#pragma once

#include <sys/mount.h>

#include <QFile>
#include <QTemporaryDir>

namespace testing_support {

// A small file system of its own (a tmpfs), so that a disk can be full, read-only, or
// another device than the picture folder. Mounting needs root; without it the tests that
// need one are skipped.
class SmallVolume {
  public:
    explicit SmallVolume(const char* options) {
        mounted_ = dir_.isValid() && ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(),
                                             "tmpfs", 0, options) == 0;
    }
    ~SmallVolume() {
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    void makeReadOnly() {
        ::mount(nullptr, QFile::encodeName(dir_.path()).constData(), nullptr,
                MS_REMOUNT | MS_RDONLY, nullptr);
    }

  private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

}  // namespace testing_support
