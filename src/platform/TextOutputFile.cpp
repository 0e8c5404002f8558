#include "platform/TextOutputFile.h"

#include "platform/FileName.h"
#include "platform/RuntimeError.h"
#include "platform/linux/SafeFileWriter.h"

namespace platform {

TextOutputFile::TextOutputFile(const QString& path)
    : file_(std::make_unique<SafeFileWriter>(path)) {}

TextOutputFile::~TextOutputFile() = default;

void TextOutputFile::PrintLine(const QString& line) {
    if (!file_->isOpen())
        throw RuntimeError(ErrorNumber::PathFileAccessError, QStringLiteral("File not open"));
    // UTF-8 text, with the bytes of file names that are not UTF-8 written unchanged.
    pending_ += encodeFileName(line);
    pending_ += "\r\n";
    if (pending_.size() >= BufferSize)
        flush();
}

void TextOutputFile::flush() {
    file_->write(pending_);
    pending_.clear();
}

void TextOutputFile::Close() {
    if (!file_->isOpen())
        return;
    flush();
    file_->commit();
}

}  // namespace platform
