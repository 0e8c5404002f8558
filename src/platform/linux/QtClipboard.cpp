#include "platform/linux/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace platform {

namespace {

QClipboard* systemClipboard() {
    return QGuiApplication::clipboard();
}

// The formats a picture can be put on by number; 0 is the picture's own format.
bool isPictureFormat(int format) {
    return format == 0 || format == ClipFormat::Bitmap || format == ClipFormat::DIB ||
           format == ClipFormat::Metafile || format == ClipFormat::EnhancedMetafile;
}

// The formats a picture comes back in: bitmaps only; 0 asks for whichever the clipboard has.
bool isBitmapFormat(int format) {
    return format == 0 || format == ClipFormat::Bitmap || format == ClipFormat::DIB;
}

bool holdsImage() {
    const QMimeData* data = systemClipboard() ? systemClipboard()->mimeData() : nullptr;
    return data && data->hasImage();
}

}  // namespace

void QtClipboard::Clear() {
    if (QClipboard* clipboard = systemClipboard())
        clipboard->clear();
}

void QtClipboard::SetData(const Picture& picture, int format) {
    QClipboard* clipboard = systemClipboard();
    if (!clipboard || picture.isEmpty() || picture.kind() == Picture::Kind::Icon ||
        !isPictureFormat(format))
        return;
    // A metafile is rendered at its natural size; a raster goes on as it is.
    const QImage image = picture.toImage();
    if (!image.isNull())
        clipboard->setImage(image);
}

Picture QtClipboard::GetData(int format) {
    if (!isBitmapFormat(format) || !holdsImage())
        return {};
    return Picture::fromImage(systemClipboard()->image());
}

bool QtClipboard::GetFormat(int format) {
    // Only bitmaps are offered: pictures on a Linux clipboard are raster images.
    return format != 0 && isBitmapFormat(format) && holdsImage();
}

}  // namespace platform
