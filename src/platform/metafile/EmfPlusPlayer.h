#pragma once

#include "platform/metafile/ByteReader.h"
#include "platform/metafile/EmfPlusObjectTable.h"
#include "platform/metafile/MetafileDocument.h"
#include "platform/metafile/RecordTypes.h"

#include <QBrush>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <array>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace platform::metafile {

// Plays the EMF+ records carried in EMR_COMMENT records. EMF+ coordinates
// pass through the world transform and the page unit into the reference
// device's pixels, the same space the EMF records end up in.
class EmfPlusPlayer {
  public:
    static constexpr quint32 kCommentIdentifier = 0x2B464D45u;  // "EMF+"

    // Counts the EMF+ records it reads but neither draws nor applies in
    // `skipped` when given.
    EmfPlusPlayer(QPainter& painter, const QRectF& target, const QTransform& deviceToTarget,
                  SkippedRecords* skipped = nullptr);
    ~EmfPlusPlayer();
    EmfPlusPlayer(const EmfPlusPlayer&) = delete;
    EmfPlusPlayer& operator=(const EmfPlusPlayer&) = delete;

    // True when an EMR_COMMENT record (whole record) carries EMF+ records.
    static bool isEmfPlusComment(const ByteReader& record);
    // Plays the EMF+ records inside one EMR_COMMENT record.
    void playComment(const ByteReader& record);

    // An EMF+ header has been seen: the EMF records are the fallback and are
    // not drawn, except those handed over by GetDC.
    bool active() const { return active_; }
    bool gdiHandOver() const { return handOver_; }
    // Someone else has drawn with the painter: set the clip again next time.
    void invalidateClip() { appliedClip_ = -1; }

  private:
    // Nested metafile images (drawn, or as texture brushes) render through their
    // own players; this bounds how deep a picture may hold pictures.
    static constexpr int kMaxNestedMetafiles = 2;
    static thread_local int nestedDepth_;

    struct State {
        QTransform local;
        QTransform container;
        int pageUnit = 1;
        double pageScale = 1;
        std::optional<QPainterPath> clip;  // target pixels; none: no clip
        int clipVersion = 0;
        bool sourceCopy = false;
    };

    // A record on its way through its handler.
    struct Record {
        EmfPlusRecord type;
        quint16 flags;
        ByteReader r;  // the record's data, after its header
    };
    using Handler = void (EmfPlusPlayer::*)(Record&);
    static Handler handlerFor(EmfPlusRecord type);
    void playRecord(quint16 type, quint16 flags, ByteReader data);

    // One handler per record type, named after it.
    void header(Record& rec);
    void endOfFile(Record& rec);
    void getDC(Record& rec);
    void object(Record& rec);
    void clear(Record& rec);
    void fillRects(Record& rec);
    void drawRects(Record& rec);
    void fillPolygon(Record& rec);
    void drawLines(Record& rec);
    void ellipse(Record& rec);
    void pieOrArc(Record& rec);
    void fillRegion(Record& rec);
    void path(Record& rec);
    void closedCurve(Record& rec);
    void drawCurve(Record& rec);
    void drawBeziers(Record& rec);
    void drawImage(Record& rec);
    void drawImagePoints(Record& rec);
    void drawString(Record& rec);
    void drawDriverString(Record& rec);
    void setCompositingMode(Record& rec);
    void saveOrBeginContainer(Record& rec);
    void restoreOrEndContainer(Record& rec);
    void setWorldTransform(Record& rec);
    void resetWorldTransform(Record& rec);
    void changeWorldTransform(Record& rec);
    void setPageTransform(Record& rec);
    void resetClip(Record& rec);
    void setClipRect(Record& rec);
    void setClipPath(Record& rec);
    void setClipRegion(Record& rec);
    void offsetClip(Record& rec);

    PlusObject decodeObject(int type, ByteReader data);

    // Object decoding.
    std::optional<QBrush> readBrush(ByteReader& r);
    static std::optional<QBrush> readSolidBrush(ByteReader& r);
    static std::optional<QBrush> readHatchBrush(ByteReader& r);
    std::optional<QBrush> readTextureBrush(ByteReader& r);
    static std::optional<QBrush> readPathGradientBrush(ByteReader& r);
    static std::optional<QBrush> readLinearGradientBrush(ByteReader& r);
    std::optional<PlusPen> readPen(ByteReader& r);
    static std::optional<PlusFont> readFont(ByteReader& r);
    static std::optional<PlusStringFormat> readStringFormat(ByteReader& r);
    static std::optional<QPainterPath> readPath(ByteReader& r);
    static std::optional<QPainterPath> readCustomCap(ByteReader r);
    void drawCaps(const QPainterPath& world, const PlusPen& pen, double width);
    std::optional<PlusImage> readImage(ByteReader& r);
    static QImage readBitmap(ByteReader& r);
    std::optional<QPainterPath> regionPath(const QByteArray& nodes) const;
    bool regionNode(ByteReader& r, QPainterPath& out, int depth) const;

    // Geometry helpers.
    static std::vector<QPointF> points(ByteReader& r, quint32 count, quint16 flags);
    static QRectF rect(ByteReader& r, bool compressed);
    QTransform worldToDevice() const;
    QTransform worldToTarget() const { return worldToDevice() * deviceToTarget_; }
    double unitToDevice(int unit, bool vertical = false) const;
    double pageFactor(bool vertical = false) const;

    // Drawing.
    std::optional<QBrush> brushFor(quint16 flags, quint32 brushValue) const;
    const PlusPen* penAt(int id) const;
    bool prepare();
    void fill(const QPainterPath& world, const QBrush& brush);
    void stroke(const QPainterPath& world, const PlusPen& pen);
    void drawImage(int id, const QRectF& source, const QTransform& placement);
    QFont fontFor(const PlusFont& font, double& worldPerPixel) const;
    void combineClip(const QPainterPath& targetPath, int mode, bool infinite = false);
    void setClip(std::optional<QPainterPath> clip);
    QPainterPath infinitePath() const;

    QPainter& painter_;
    QRectF target_;
    QTransform deviceToTarget_;
    QTransform base_;
    SkippedRecords* skipped_ = nullptr;
    bool active_ = false;
    bool handOver_ = false;
    bool videoDisplay_ = true;
    double dpiX_ = 96;
    double dpiY_ = 96;
    State state_;
    int nextClipVersion_ = 1;
    int appliedClip_ = -1;
    std::vector<std::pair<quint32, State>> saved_;
    EmfPlusObjectTable objects_;
};

}  // namespace platform::metafile
