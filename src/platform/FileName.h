#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Linux file names are bytes and need not be valid UTF-8 (old cameras, memory cards and
// archives write Latin-1 names). A path travels through the program as a QString in which
// every byte that is not part of valid UTF-8 is held as the lone code unit U+DC80 + byte, so
// the text converts back to exactly the file system's bytes. Only these functions cross
// between the two forms: the file system gets encodeFileName(path), listings come back
// through decodeFileName(bytes), and a name is shown to a person through displayFileName.

QByteArray encodeFileName(const QString& path);
QString decodeFileName(const QByteArray& bytes);
// The path as a person reads it: the bytes that are not UTF-8 show as U+FFFD.
QString displayFileName(const QString& path);
// True when the path holds bytes that are not UTF-8.
bool hasForeignBytes(const QString& path);

}  // namespace platform
