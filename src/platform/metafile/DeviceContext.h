#pragma once

#include "platform/metafile/GdiObjects.h"

#include <QPainterPath>
#include <QPointF>
#include <QRegion>
#include <QTransform>
#include <optional>
#include <vector>

namespace platform::metafile {

// Everything SaveDC/RestoreDC saves: drawing attributes, selected objects,
// coordinate mapping and clipping.
struct DcState {
    LogicalPen pen;
    LogicalBrush brush;
    LogicalFont font;
    std::vector<QColor> palette;

    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    bool bkOpaque = true;
    int textAlign = 0;
    bool windingFill = false;
    int rop2 = 13;  // R2_COPYPEN
    bool arcClockwise = false;
    int textCharExtra = 0;
    // SetTextJustification: extra logical units shared among the break
    // characters (spaces) of the text that follows.
    int breakExtra = 0;
    int breakCount = 0;
    // The longest miter join as a multiple of the pen width, measured from the
    // inner to the outer corner (GDI's default is 10).
    double miterLimit = 10;
    // Where bitmap patterns start (SetBrushOrgEx), in target pixels; unset,
    // they start at the logical origin.
    std::optional<QPointF> brushOrigin;

    int mapMode = 1;  // MM_TEXT
    QPointF windowOrg{0, 0};
    QPointF windowExt{1, 1};
    QPointF viewportOrg{0, 0};
    QPointF viewportExt{1, 1};
    QTransform world;

    QPointF currentPos;
    // Clip in target pixels; empty optional means no clipping.
    std::optional<QRegion> clip;
    // The meta region (SetMetaRgn), in target pixels: drawing is clipped to it
    // as well, and clipping records leave it alone.
    std::optional<QRegion> metaClip;
    int clipVersion = 0;
};

// GDI device context shared by the WMF and EMF players: the current state,
// the SaveDC stack, the object table and the path bracket. It knows how
// logical coordinates map to the metafile's device space; it draws nothing.
class DeviceContext {
  public:
    // `devicePixelsPerMm` is the reference device's resolution, used by the
    // fixed mapping modes (MM_LOMETRIC and friends). WMF playback ignores
    // the mapping mode and always maps window to viewport.
    DeviceContext(std::size_t tableCapacity, QPointF devicePixelsPerMm, bool ignoreMapMode);

    DcState& state() { return state_; }
    const DcState& state() const { return state_; }

    void save();
    void restore(int which);

    QTransform pageTransform() const;
    QTransform logicalToDevice() const { return state_.world * pageTransform(); }

    // Object table. WMF puts new objects into the lowest free slot; EMF
    // names the slot. Out-of-range slots are ignored.
    void createObject(GdiObject object);
    void createObjectAt(quint32 index, GdiObject object);
    void deleteObject(quint32 index);
    // The live object in a slot, or nullptr.
    const GdiObject* object(quint32 index) const;
    // The palette in a slot, or nullptr, for changing its entries.
    LogicalPalette* palette(quint32 index);
    // Makes a pen, brush, font or palette from the table current.
    void selectObject(quint32 index);
    void selectStockObject(quint32 stockIndex);

    void setClip(std::optional<QRegion> clip);

    // Path bracket (device coordinates).
    bool pathOpen = false;
    QPainterPath path;

  private:
    void select(const GdiObject& object);

    std::size_t capacity_;
    QPointF devicePixelsPerMm_;
    bool ignoreMapMode_;
    DcState state_;
    std::vector<DcState> saved_;
    std::vector<GdiObject> objects_;
    std::size_t firstFreeHint_ = 0;
    int nextClipVersion_ = 1;
};

}  // namespace platform::metafile
