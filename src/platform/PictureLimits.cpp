#include "platform/PictureLimits.h"

#include <QImageReader>

namespace platform {

void applyPictureDecodeLimits() {
    QImageReader::setAllocationLimit(PictureAllocationLimitMegabytes);
}

}  // namespace platform
