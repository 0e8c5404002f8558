#include "platform/JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "platform/OpenedFile.h"

namespace platform {
namespace {

std::atomic<quint64> decodes{0};

// Rows asked of the decoder per call, and rows skipped between two looks at `cancel`.
constexpr int RowsPerRead = 16;
constexpr JDIMENSION RowsPerSkip = 256;

struct ErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void leaveDecode(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings (data cut short, a bad code in the entropy data) are not printed: the picture
// is shown with what could be decoded.
void ignoreMessage(j_common_ptr) {}

// Reads the JPEG data from the open file a piece at a time, from the start.
struct FileSource {
    static constexpr qint64 PieceSize = 64 * 1024;
    jpeg_source_mgr manager{};
    const OpenedFile* file = nullptr;
    qint64 offset = 0;
    std::vector<JOCTET> piece;

    void attach(j_decompress_ptr info, const OpenedFile& from) {
        file = &from;
        piece.resize(PieceSize);
        manager.init_source = [](j_decompress_ptr) {};
        manager.fill_input_buffer = fill;
        manager.skip_input_data = skip;
        manager.resync_to_restart = jpeg_resync_to_restart;
        manager.term_source = [](j_decompress_ptr) {};
        manager.bytes_in_buffer = 0;
        manager.next_input_byte = nullptr;
        info->src = &manager;
    }
    static FileSource& of(j_decompress_ptr info) {
        return *reinterpret_cast<FileSource*>(info->src);
    }
    static boolean fill(j_decompress_ptr info) {
        FileSource& s = of(info);
        qint64 got = s.file->read(s.offset, reinterpret_cast<char*>(s.piece.data()), PieceSize);
        if (got <= 0) {
            // The data ends early (or cannot be read): an end-of-image marker ends the
            // picture, whose missing rows then come out grey.
            WARNMS(info, JWRN_JPEG_EOF);
            s.piece[0] = 0xFF;
            s.piece[1] = JPEG_EOI;
            got = 2;
        } else {
            s.offset += got;
        }
        s.manager.next_input_byte = s.piece.data();
        s.manager.bytes_in_buffer = std::size_t(got);
        return TRUE;
    }
    static void skip(j_decompress_ptr info, long count) {
        FileSource& s = of(info);
        if (count <= 0)
            return;
        if (std::size_t(count) <= s.manager.bytes_in_buffer) {
            s.manager.next_input_byte += count;
            s.manager.bytes_in_buffer -= std::size_t(count);
            return;
        }
        s.offset += count - qint64(s.manager.bytes_in_buffer);
        s.manager.bytes_in_buffer = 0;
    }
};

// Everything a decode changes lives here, on the heap, so nothing the decoder's error exit
// jumps over holds a value that the jump could leave stale.
struct Decode {
    jpeg_decompress_struct info{};
    ErrorManager error{};
    FileSource source;
    QImage rows;        // the decoder's output rows: the picture or its visible band
    int firstRow = 0;   // the output row that rows' first line holds
    int cropLeft = 0;   // the output column that rows' first column holds
    QImage scratch;     // one output row that is read only to reach the end of the data
    bool part = false;  // only the visible part was decoded
    bool cmyk = false;
    bool invertedCmyk = false;

    Decode() {
        info.err = jpeg_std_error(&error.manager);
        error.manager.error_exit = leaveDecode;
        error.manager.output_message = ignoreMessage;
        jpeg_create_decompress(&info);
    }
    ~Decode() { jpeg_destroy_decompress(&info); }
};

bool cancelled(const JpegRequest& request) {
    return request.cancel && request.cancel->load(std::memory_order_relaxed);
}

// The smallest of the decoder's scales n/8 that gives at least `wanted` in both directions.
int scaleNumerator(QSize natural, QSize wanted) {
    for (int n = 1; n < 8; ++n) {
        const qint64 w = (qint64(natural.width()) * n + 7) / 8;
        const qint64 h = (qint64(natural.height()) * n + 7) / 8;
        if (w >= wanted.width() && h >= wanted.height())
            return n;
    }
    return 8;
}

// Skips output rows up to (not including) `row`. In a single-scan picture skipping still
// reads each block's entropy-coded data; it only saves the inverse transform and colour
// conversion. False when cancelled.
bool skipTo(Decode& d, JDIMENSION row, const JpegRequest& request) {
    while (d.info.output_scanline < row) {
        if (cancelled(request))
            return false;
        const JDIMENSION step = std::min(RowsPerSkip, row - d.info.output_scanline);
        if (jpeg_skip_scanlines(&d.info, step) == 0)
            return false;
    }
    return true;
}

// Reads the output rows [first, last) into d.rows, whose line 0 is `first`.
bool readRows(Decode& d, JDIMENSION last, const JpegRequest& request) {
    while (d.info.output_scanline < last) {
        if (cancelled(request))
            return false;
        JSAMPROW pointers[RowsPerRead];
        const int wanted = int(std::min<JDIMENSION>(RowsPerRead, last - d.info.output_scanline));
        for (int i = 0; i < wanted; ++i)
            pointers[i] = d.rows.scanLine(int(d.info.output_scanline) - d.firstRow + i);
        if (jpeg_read_scanlines(&d.info, pointers, JDIMENSION(wanted)) == 0)
            return false;
    }
    return true;
}

// One output pass: the rows of `band`, and with `toTheEnd` the rest of the picture passed
// over so that all of its data is read. The last row is read, not skipped: the decoder
// treats a skip to the very bottom as the end of the data without reading it.
bool outputPass(Decode& d, const QRect& band, bool toTheEnd, const JpegRequest& request) {
    if (!skipTo(d, JDIMENSION(band.top()), request) ||
        !readRows(d, JDIMENSION(band.bottom() + 1), request))
        return false;
    if (!toTheEnd || d.info.output_scanline >= d.info.output_height)
        return true;
    if (!skipTo(d, d.info.output_height - 1, request))
        return false;
    JSAMPROW last = d.scratch.scanLine(0);
    return jpeg_read_scanlines(&d.info, &last, 1) == 1;
}

// d.rows as the picture: CMYK turned into RGB, the visible part cut out.
QImage finished(Decode& d, const QRect& wanted) {
    if (d.cmyk) {
        for (int y = 0; y < d.rows.height(); ++y) {
            uchar* p = d.rows.scanLine(y);
            QRgb* out = reinterpret_cast<QRgb*>(p);
            for (int x = 0; x < d.rows.width(); ++x, p += 4) {
                int c = p[0], m = p[1], yellow = p[2], k = p[3];
                if (!d.invertedCmyk) {
                    c = 255 - c;
                    m = 255 - m;
                    yellow = 255 - yellow;
                    k = 255 - k;
                }
                out[x] = qRgb(c * k / 255, m * k / 255, yellow * k / 255);
            }
        }
    }
    const QRect inRows = wanted.translated(-d.cropLeft, -d.firstRow);
    if (inRows == d.rows.rect())
        return d.rows;
    return d.rows.copy(inRows);
}

// The whole decode; returns through the error exit's jump on data the decoder gives up on.
QImage run(Decode& d, const OpenedFile& file, const JpegRequest& request) {
    if (setjmp(d.error.jump))
        return {};
    d.source.attach(&d.info, file);
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK)
        return {};
    const QSize natural(int(d.info.image_width), int(d.info.image_height));
    const QSize wanted = request.size.isEmpty() ? natural : request.size;
    d.cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    d.invertedCmyk = d.cmyk && d.info.saw_Adobe_marker;
    d.info.out_color_space = d.cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    d.info.scale_num = JDIMENSION(scaleNumerator(natural, wanted));
    d.info.scale_denom = 8;
    const bool progressive = jpeg_has_multiple_scans(&d.info);
    // A progressive picture keeps all its coefficients whatever the mode; reading its scans
    // one by one lets a coarse picture be shown early and a cancel be seen between scans.
    d.info.buffered_image = progressive ? TRUE : FALSE;
    jpeg_start_decompress(&d.info);

    const QRect whole(0, 0, int(d.info.output_width), int(d.info.output_height));
    const bool atNaturalSize = whole.size() == natural;
    QRect part = whole;
    if (atNaturalSize && !request.visible.isEmpty())
        part = request.visible.intersected(whole);
    if (part.isEmpty())
        return {};
    d.part = part != whole;
    d.scratch = QImage(whole.width(), 1, QImage::Format_RGB32);

    if (!progressive) {
        if (part.width() < whole.width()) {
            // Only the columns seen are decoded; the decoder widens the band to whole blocks.
            JDIMENSION left = JDIMENSION(part.left());
            JDIMENSION width = JDIMENSION(part.width());
            jpeg_crop_scanline(&d.info, &left, &width);
            d.cropLeft = int(left);
        }
        d.firstRow = part.top();
        d.rows = QImage(int(d.info.output_width), part.height(), QImage::Format_RGB32);
        if (d.rows.isNull() || !outputPass(d, part, request.readAll, request))
            return {};
        if (request.readAll)
            jpeg_finish_decompress(&d.info);
        else
            jpeg_abort_decompress(&d.info);
        return finished(d, part);
    }

    d.firstRow = part.top();
    d.rows = QImage(whole.width(), part.height(), QImage::Format_RGB32);
    if (d.rows.isNull())
        return {};
    int status = JPEG_SUSPENDED;
    while (status != JPEG_SCAN_COMPLETED && status != JPEG_REACHED_EOI) {
        if (cancelled(request))
            return {};
        status = jpeg_consume_input(&d.info);
    }
    if (request.preview && status == JPEG_SCAN_COMPLETED) {
        jpeg_start_output(&d.info, d.info.input_scan_number);
        if (!outputPass(d, part, false, request))
            return {};
        jpeg_finish_output(&d.info);
        request.preview(finished(d, part));
    }
    while (!jpeg_input_complete(&d.info)) {
        if (cancelled(request))
            return {};
        jpeg_consume_input(&d.info);
    }
    jpeg_start_output(&d.info, d.info.input_scan_number);
    if (!outputPass(d, part, false, request))
        return {};
    jpeg_finish_output(&d.info);
    jpeg_finish_decompress(&d.info);
    return finished(d, part);
}

}  // namespace

bool looksLikeJpeg(const QByteArray& head) {
    return head.startsWith(QByteArray("\xFF\xD8\xFF", 3));
}

JpegHeader readJpegHeader(const OpenedFile& file) {
    auto d = std::make_unique<Decode>();
    if (setjmp(d->error.jump))
        return {};
    d->source.attach(&d->info, file);
    if (jpeg_read_header(&d->info, TRUE) != JPEG_HEADER_OK)
        return {};
    JpegHeader header;
    header.size = QSize(int(d->info.image_width), int(d->info.image_height));
    header.progressive = jpeg_has_multiple_scans(&d->info);
    return header;
}

QImage decodeJpeg(const OpenedFile& file, const JpegRequest& request) {
    ++decodes;
    auto d = std::make_unique<Decode>();
    QImage image = run(*d, file, request);
    // A part cut out at natural size is what was asked for; a whole picture decoded at the
    // nearest larger scale is brought to the exact size.
    if (image.isNull() || request.size.isEmpty() || image.size() == request.size || d->part)
        return image;
    return image.scaled(request.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

quint64 jpegDecodeCount() {
    return decodes.load();
}

}  // namespace platform
