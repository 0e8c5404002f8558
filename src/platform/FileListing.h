#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The ordinary files of `folder` (no folders, no hidden files; a link counts as what it
// points to) whose names match any of the ";"-separated wildcard patterns, ignoring letter
// case, sorted by name ignoring case. An empty pattern matches every ordinary file.
// Throws RuntimeError 76 when the folder cannot be read.
QStringList listMatchingFiles(const QString& folder, const QString& pattern);

// The visible subfolders of `folder`, sorted by name ignoring case; empty when unreadable.
QStringList listSubfolders(const QString& folder);

// True when `name` matches the wildcard `pattern` (* and ?), ignoring letter case.
bool wildcardMatch(const QString& pattern, const QString& name);

}  // namespace platform
