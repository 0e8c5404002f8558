#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Every name given and returned is the escaped text form of FileName.h, so a name that is not
// valid UTF-8 comes back byte for byte.

// The ordinary files of `folder` (no folders, no hidden files; a link counts as what it
// points to) whose names match any of the ";"-separated wildcard patterns, ignoring letter
// case, sorted by name ignoring case. An empty pattern matches every ordinary file.
// Throws RuntimeError 76 when the folder cannot be read.
QStringList listMatchingFiles(const QString& folder, const QString& pattern);

// The visible subfolders of `folder`, sorted by name ignoring case; empty when unreadable.
QStringList listSubfolders(const QString& folder);

// The first name, sorted as above, in `folder` that matches the wildcard `pattern` (ignoring
// letter case): ordinary files, folders too when `folders`, hidden entries only when
// `hidden`. Empty when there is none or the folder cannot be read.
QString firstMatchingEntry(const QString& folder, const QString& pattern, bool folders,
                           bool hidden);

// True when `name` matches the wildcard `pattern` (* and ?), ignoring letter case.
bool wildcardMatch(const QString& pattern, const QString& name);

}  // namespace platform
