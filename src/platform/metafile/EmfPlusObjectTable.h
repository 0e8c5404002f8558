#pragma once

#include "platform/metafile/ByteReader.h"

#include <QBrush>
#include <QByteArray>
#include <QImage>
#include <QPainterPath>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

namespace platform {
class Metafile;
}

namespace platform::metafile {

// The objects an EMF+ stream defines in its object table.
struct PlusPen {
    double width = 1;
    int unit = 0;
    QBrush brush{Qt::black};
    Qt::PenCapStyle cap = Qt::FlatCap;
    Qt::PenJoinStyle join = Qt::MiterJoin;
    double miterLimit = 10;
    int dashStyle = 0;
    QVector<qreal> dashes;
    double dashOffset = 0;
    // Custom line caps, in units of the pen width: +y points out of the line.
    std::optional<QPainterPath> startCap;
    std::optional<QPainterPath> endCap;
};
struct PlusImage {
    QImage bitmap;
    std::shared_ptr<const Metafile> metafile;
    QSizeF size() const;
};
struct PlusFont {
    QString family;
    double emSize = 12;
    int unit = 3;
    int style = 0;  // 1 bold, 2 italic, 4 underline, 8 strikeout
};
struct PlusStringFormat {
    quint32 flags = 0;
    int align = 0;      // 0 near, 1 centre, 2 far
    int lineAlign = 0;  // the same, vertically
};
// A region keeps its node tree; it is resolved against the transform in
// effect when it is used.
struct PlusRegion {
    QByteArray nodes;
};
using PlusObject = std::variant<std::monostate, QBrush, PlusPen, QPainterPath, PlusRegion,
                                PlusImage, PlusFont, PlusStringFormat>;

// The 64 object slots of an EMF+ stream. An EmfPlusObject record fills one
// slot; an object too large for one record arrives in pieces, which the
// table gathers until the object is whole.
class EmfPlusObjectTable {
  public:
    static constexpr std::size_t kSlots = 64;
    // Turns the bytes of a whole object of an EMF+ object type into what its
    // slot holds; std::monostate when they make no usable object.
    using Decoder = std::function<PlusObject(int type, ByteReader data)>;

    // Takes the data of one EmfPlusObject record whose flags name the slot,
    // the object type and whether this is a piece of a larger object.
    void take(quint16 flags, ByteReader data, const Decoder& decode);

    // The object in slot `id` when there is one of type T.
    template <typename T>
    const T* find(std::size_t id) const {
        return id < slots_.size() ? std::get_if<T>(&slots_[id]) : nullptr;
    }

  private:
    void define(int id, int type, ByteReader data, const Decoder& decode);

    std::array<PlusObject, kSlots> slots_;
    // An object split over several records.
    int pendingId_ = -1;
    int pendingType_ = 0;
    quint32 pendingTotal_ = 0;
    QByteArray pending_;
};

}  // namespace platform::metafile
