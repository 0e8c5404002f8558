#include "platform/metafile/EmfPlusObjectTable.h"

#include "platform/metafile/Metafile.h"

namespace platform::metafile {

namespace {

// Objects larger than this are not assembled from continued records.
constexpr quint32 kMaxObjectBytes = 256u * 1024 * 1024;

}  // namespace

QSizeF PlusImage::size() const {
    if (metafile) {
        return metafile->frameSize();
    }
    return QSizeF(bitmap.size());
}

void EmfPlusObjectTable::take(quint16 flags, ByteReader data, const Decoder& decode) {
    const int id = flags & 0xFF;
    const int type = (flags >> 8) & 0x7F;
    if (id >= int(slots_.size())) {
        return;
    }
    if (flags & 0x8000) {
        // One piece of an object too large for one record.
        const quint32 total = data.u32();
        if (!data.ok() || total > kMaxObjectBytes) {
            pendingId_ = -1;
            return;
        }
        if (pendingId_ != id || pendingType_ != type) {
            pendingId_ = id;
            pendingType_ = type;
            pendingTotal_ = total;
            pending_.clear();
        }
        pending_.append(data.data() + data.pos(), qsizetype(data.remaining()));
        // Writers set the continuation flag on the last piece too: the
        // object is complete once its total size has arrived.
        if (quint32(pending_.size()) >= pendingTotal_) {
            const QByteArray whole = pending_.left(qsizetype(pendingTotal_));
            pending_ = QByteArray();
            pendingId_ = -1;
            define(id, type, ByteReader(whole.constData(), std::size_t(whole.size())), decode);
        }
        return;
    }
    if (pendingId_ == id && pendingType_ == type) {
        pending_.append(data.data() + data.pos(), qsizetype(data.remaining()));
        const QByteArray whole = std::move(pending_);
        pending_ = QByteArray();
        pendingId_ = -1;
        define(id, type, ByteReader(whole.constData(), std::size_t(whole.size())), decode);
        return;
    }
    define(id, type, data, decode);
}

void EmfPlusObjectTable::define(int id, int type, ByteReader data, const Decoder& decode) {
    PlusObject& slot = slots_[std::size_t(id)];
    slot = std::monostate{};
    slot = decode(type, data);
}

}  // namespace platform::metafile
