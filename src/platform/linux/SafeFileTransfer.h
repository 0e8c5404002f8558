#pragma once

#include <QByteArray>
#include <QString>

#include "platform/RuntimeError.h"

namespace platform {

class WorkProgress;

// The error for a failed system call: its number for handlers, its reason in words.
RuntimeError systemError(int err);

// Gives the file `from` the name `to` (both encoded), replacing a file of that name only with
// `replaceExisting`; returns 0 or the system's error.
int placeFile(const QByteArray& from, const QByteArray& to, bool replaceExisting);

// True when `path`, taken literally, names an existing ordinary file (or a link to one)
// whose name does not start with ".".
bool isVisibleOrdinaryFile(const QString& path);

// Copies `source` to `target` through a temporary file in the target's folder (see
// SafeFileWriter), which takes the target's name only once every byte is written and
// flushed to the disk; any failure, and Cancel, leave the target as it was and nothing new
// in its folder. Keeps the source's permissions and modification time. Without
// `replaceExisting` an existing target is never replaced (58), even one that appears while
// the copy runs. On the interface thread a large copy runs behind the progress window
// (runLongWork); its Cancel fails with 32755.
void copyFileSafely(const QString& source, const QString& target, bool replaceExisting);
void copyFileSafely(const QString& source, const QString& target, bool replaceExisting,
                    WorkProgress& progress);

// Moves `source` to `target` as one transaction: a rename within one file system; across
// file systems (behind the progress window, as for a copy) a complete copy under a
// temporary name, checked for the source's size; an existing target kept under a hidden
// name while the copy takes its name; then the deletion of the source, and only then of the
// old target. A failure at any step, and Cancel, put everything back: the source and a
// replaced target keep their bytes and their names, and no folder holds anything new. A
// source that its folder does not let go is refused before anything is copied.
void moveFileSafely(const QString& source, const QString& target, bool replaceExisting);
void moveFileSafely(const QString& source, const QString& target, bool replaceExisting,
                    WorkProgress& progress);

}  // namespace platform
