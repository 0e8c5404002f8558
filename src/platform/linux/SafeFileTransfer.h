#pragma once

#include <QByteArray>
#include <QString>

#include "platform/RuntimeError.h"

namespace platform {

// The error for a failed system call: its number for handlers, its reason in words.
RuntimeError systemError(int err);

// Gives the file `from` the name `to` (both encoded), replacing a file of that name only with
// `replaceExisting`; returns 0 or the system's error.
int placeFile(const QByteArray& from, const QByteArray& to, bool replaceExisting);

// True when `path`, taken literally, names an existing ordinary file (or a link to one)
// whose name does not start with ".".
bool isVisibleOrdinaryFile(const QString& path);

// Copies `source` to `target` through a hidden temporary file in the target's folder, which
// takes the target's name only once every byte is written and flushed to the disk; any
// failure removes the temporary file and leaves the target as it was. Keeps the source's
// permissions and modification time. Without `replaceExisting` an existing target is never
// replaced (58), even one that appears while the copy runs.
void copyFileSafely(const QString& source, const QString& target, bool replaceExisting);

// Moves `source` to `target`: a rename within one file system; across file systems a safe
// copy, a check that the copy has the source's size, then the deletion of the source.
void moveFileSafely(const QString& source, const QString& target, bool replaceExisting);

}  // namespace platform
