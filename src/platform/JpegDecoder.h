#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QtGlobal>
#include <atomic>
#include <functional>

namespace platform {

class OpenedFile;

// What one decode of a JPEG produces: the picture drawn at `size` (its natural size when
// empty or equal), and at natural size only the part `visible` (empty: all of it).
struct JpegRequest {
    QSize size;
    QRect visible;
    // Read every entropy-coded block of the data, also those of rows that are not shown, so
    // data the decoder gives up on anywhere makes the decode fail. A repaint of a picture
    // already read once stops after its last row instead.
    bool readAll = true;
    // For a progressive picture: called with a coarse image of the request (same size and
    // part) as soon as its first scan is in, before the rest of the data is decoded.
    std::function<void(const QImage& coarse)> preview;
    // Set from another thread to give up: the decode then fails soon.
    const std::atomic<bool>* cancel = nullptr;
};

struct JpegHeader {
    QSize size;
    bool progressive = false;
};

// True when the file's first bytes start a JPEG stream.
bool looksLikeJpeg(const QByteArray& head);
// The picture's natural size and coding, read from its header; an empty size when the
// decoder refuses the header.
JpegHeader readJpegHeader(const OpenedFile& file);

// Decodes the file's JPEG data for `request`, in one pass over the data, reading the file
// only as far as the picture goes. A null image when the decoder gives up on the data (or
// the decode was cancelled). Data cut short decodes: the missing rows come out grey.
QImage decodeJpeg(const OpenedFile& file, const JpegRequest& request);

// How many decodes have run in this process (every decode goes through decodeJpeg): a
// shown picture should cost one decode for each size it is shown at.
quint64 jpegDecodeCount();

}  // namespace platform
