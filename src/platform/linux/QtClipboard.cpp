#include "platform/linux/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "platform/MimePictures.h"

namespace platform {

namespace {

QClipboard* systemClipboard() {
    return QGuiApplication::clipboard();
}

const QMimeData* clipboardData() {
    QClipboard* clipboard = systemClipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

// The formats a picture can be put on by number; 0 is the picture's own format.
bool isPictureFormat(int format) {
    return format == 0 || format == ClipFormat::Bitmap || format == ClipFormat::DIB ||
           format == ClipFormat::Metafile || format == ClipFormat::EnhancedMetafile;
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
    const QMimeData* data = clipboardData();
    return data ? mimePicture(*data, format) : Picture();
}

bool QtClipboard::GetFormat(int format) {
    const QMimeData* data = clipboardData();
    return data && format != 0 && mimeOffersPicture(*data, format);
}

}  // namespace platform
