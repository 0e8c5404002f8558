#include "platform/controls/Image.h"

#include <QPainter>
#include <algorithm>

#include "platform/MimePictures.h"
#include "platform/ScreenCover.h"
#include "platform/Twips.h"
#include "platform/controls/EventWidget.h"

namespace platform {
namespace {

// The coarse picture of a load under way: seen, never clicked or read out.
class PreviewWidget : public QWidget {
  public:
    PreviewWidget(QWidget* parent, const QImage& image) : QWidget(parent), image_(image) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), image_);
    }

  private:
    const QImage& image_;
};

}  // namespace

Image::Image(Container container, const QString& name, double left, double top, double width,
             double height)
    : Control(name, new EventWidget(container.widget), left, top, width, height),
      area_(static_cast<EventWidget*>(widget())) {
    area_->paint = [this](QPainter& painter) {
        if (picture_.isEmpty() || hiddenByScreenCover(area_))
            return;
        const QRectF target =
            stretch_ ? QRectF(area_->rect()) : QRectF(QPointF(0, 0), QSizeF(picture_.sizePixels()));
        picture_.draw(painter, target);
    };
    area_->click = [this] { click(); };
    area_->acceptsDrop = [this](const QMimeData& data) {
        return acceptsDrop ? acceptsDrop(data) : bool(onOLEDragDrop);
    };
    area_->drop = [this](const QMimeData& data, int button, int shift, double x, double y) {
        if (onDrop)
            onDrop(data, x, y);
        if (onOLEDragDrop) {
            MimeDataObject dropped(data);
            long effect = DropEffectCopy;
            onOLEDragDrop(dropped, effect, button, shift, x, y);
        }
    };
    area_->setAcceptDrops(true);
}

void Image::setPicture(const Picture& picture) {
    picture_ = picture;
    if (!stretch_)
        takeNaturalSize();
    area_->update();
}

void Image::setStretch(bool stretch) {
    stretch_ = stretch;
    if (!stretch_)
        takeNaturalSize();
    area_->update();
}

void Image::takeNaturalSize() {
    // An empty picture leaves the control at the size it has.
    if (picture_.isEmpty())
        return;
    const QSizeF twips = picture_.sizeTwips();
    Move(Left(), Top(), twips.width(), twips.height());
}

void Image::showPreview(const QImage& coarse, const QRectF& place) {
    if (!preview_)
        preview_ = new PreviewWidget(area_->parentWidget(), previewImage_);
    previewImage_ = coarse;
    preview_->setGeometry(twipsToPixels(place.left()), twipsToPixels(place.top()),
                          std::max(1, twipsToPixels(place.width())),
                          std::max(1, twipsToPixels(place.height())));
    preview_->raise();
    preview_->show();
    // The load runs on in this handler: the preview is painted now, not when it returns.
    if (preview_->isVisible())
        preview_->repaint();
}

void Image::endPreview() {
    if (!preview_ || preview_->isHidden())
        return;
    preview_->hide();
    previewImage_ = QImage();
}

void Image::click() {
    if (onClick)
        onClick();
}

}  // namespace platform
