#include "platform/metafile/DeviceContext.h"

#include <algorithm>
#include <cmath>

namespace platform::metafile {

namespace {

constexpr std::size_t kMaxSavedStates = 4096;

// Millimetres per logical unit for the fixed mapping modes.
double millimetresPerUnit(int mapMode) {
    switch (mapMode) {
        case 2:  // MM_LOMETRIC
            return 0.1;
        case 3:  // MM_HIMETRIC
            return 0.01;
        case 4:  // MM_LOENGLISH
            return 0.254;
        case 5:  // MM_HIENGLISH
            return 0.0254;
        case 6:  // MM_TWIPS
            return 25.4 / 1440.0;
        default:
            return 0;
    }
}

}  // namespace

DeviceContext::DeviceContext(std::size_t tableCapacity, QPointF devicePixelsPerMm,
                             bool ignoreMapMode)
    : capacity_(tableCapacity),
      devicePixelsPerMm_(devicePixelsPerMm),
      ignoreMapMode_(ignoreMapMode) {}

void DeviceContext::save() {
    if (saved_.size() < kMaxSavedStates) {
        saved_.push_back(state_);
    }
}

void DeviceContext::restore(int which) {
    // Negative: relative to the current level; positive: an absolute level.
    std::size_t keep;
    if (which < 0) {
        const std::size_t back = static_cast<std::size_t>(-static_cast<long long>(which));
        if (back > saved_.size()) {
            return;
        }
        keep = saved_.size() - back;
    } else if (which > 0 && static_cast<std::size_t>(which) <= saved_.size()) {
        keep = static_cast<std::size_t>(which) - 1;
    } else {
        return;
    }
    // The current position is not part of the saved state in practice.
    const QPointF cp = state_.currentPos;
    state_ = saved_[keep];
    state_.currentPos = cp;
    saved_.resize(keep);
}

QTransform DeviceContext::pageTransform() const {
    const int mode = ignoreMapMode_ ? 8 : state_.mapMode;
    double sx = 1;
    double sy = 1;
    if (const double mm = millimetresPerUnit(mode); mm > 0) {
        sx = mm * devicePixelsPerMm_.x();
        sy = -mm * devicePixelsPerMm_.y();
    } else if (mode == 7 || mode == 8) {  // MM_ISOTROPIC, MM_ANISOTROPIC
        const QPointF& we = state_.windowExt;
        const QPointF& ve = state_.viewportExt;
        sx = we.x() != 0 ? ve.x() / we.x() : 1;
        sy = we.y() != 0 ? ve.y() / we.y() : 1;
        if (mode == 7) {
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
    } else {
        return QTransform::fromTranslate(state_.viewportOrg.x() - state_.windowOrg.x(),
                                         state_.viewportOrg.y() - state_.windowOrg.y());
    }
    return QTransform(sx, 0, 0, sy, state_.viewportOrg.x() - state_.windowOrg.x() * sx,
                      state_.viewportOrg.y() - state_.windowOrg.y() * sy);
}

void DeviceContext::createObject(GdiObject object) {
    std::size_t i = firstFreeHint_;
    while (i < objects_.size() && !std::holds_alternative<std::monostate>(objects_[i])) {
        ++i;
    }
    if (i == objects_.size()) {
        if (objects_.size() >= capacity_) {
            return;
        }
        objects_.emplace_back();
    }
    objects_[i] = std::move(object);
    firstFreeHint_ = i + 1;
}

void DeviceContext::createObjectAt(quint32 index, GdiObject object) {
    if (index == 0 || index >= capacity_) {
        return;
    }
    if (index >= objects_.size()) {
        objects_.resize(index + 1);
    }
    objects_[index] = std::move(object);
}

void DeviceContext::deleteObject(quint32 index) {
    if (index < objects_.size()) {
        objects_[index] = std::monostate{};
        firstFreeHint_ = std::min<std::size_t>(firstFreeHint_, index);
    }
}

const GdiObject* DeviceContext::object(quint32 index) const {
    if (index < objects_.size() && !std::holds_alternative<std::monostate>(objects_[index])) {
        return &objects_[index];
    }
    return nullptr;
}

LogicalPalette* DeviceContext::palette(quint32 index) {
    return index < objects_.size() ? std::get_if<LogicalPalette>(&objects_[index]) : nullptr;
}

void DeviceContext::selectObject(quint32 index) {
    if (const GdiObject* selected = object(index)) {
        select(*selected);
    }
}

void DeviceContext::select(const GdiObject& object) {
    if (const auto* pen = std::get_if<LogicalPen>(&object)) {
        state_.pen = *pen;
    } else if (const auto* brush = std::get_if<LogicalBrush>(&object)) {
        state_.brush = *brush;
    } else if (const auto* font = std::get_if<LogicalFont>(&object)) {
        state_.font = *font;
    } else if (const auto* palette = std::get_if<LogicalPalette>(&object)) {
        state_.palette = palette->colors;
    }
}

void DeviceContext::selectStockObject(quint32 stockIndex) {
    LogicalBrush brush;
    LogicalPen pen;
    switch (stockIndex) {
        case 0:    // WHITE_BRUSH
        case 1:    // LTGRAY_BRUSH
        case 2:    // GRAY_BRUSH
        case 3:    // DKGRAY_BRUSH
        case 4: {  // BLACK_BRUSH
            static constexpr int kGrey[] = {255, 192, 128, 64, 0};
            brush.color = QColor(kGrey[stockIndex], kGrey[stockIndex], kGrey[stockIndex]);
            state_.brush = brush;
            break;
        }
        case 5:  // NULL_BRUSH
            brush.style = LogicalBrush::Null;
            state_.brush = brush;
            break;
        case 6:  // WHITE_PEN
            pen.color = Qt::white;
            state_.pen = pen;
            break;
        case 7:  // BLACK_PEN
            state_.pen = pen;
            break;
        case 8:  // NULL_PEN
            pen.style = LogicalPen::Null;
            state_.pen = pen;
            break;
        case 10:
        case 11:
        case 12:
        case 13:
        case 14:
        case 16:
        case 17: {  // the stock fonts
            LogicalFont font;
            font.face = (stockIndex == 10 || stockIndex == 11 || stockIndex == 16)
                            ? QStringLiteral("Courier New")
                            : QStringLiteral("Arial");
            font.height = -12;
            state_.font = font;
            break;
        }
        case 18:  // DC_BRUSH
            state_.brush = brush;
            break;
        case 19:  // DC_PEN
            state_.pen = pen;
            break;
        default:
            break;
    }
}

void DeviceContext::setClip(std::optional<QRegion> clip) {
    state_.clip = std::move(clip);
    state_.clipVersion = nextClipVersion_++;
}

}  // namespace platform::metafile
