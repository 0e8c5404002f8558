#pragma once

#include "platform/services/ClipboardService.h"

namespace platform {

// The desktop clipboard through Qt. A picture goes on as an image (a metafile as the image it
// renders to); what comes back follows the MIME mapping of MimePictures.h, so images and
// metafiles that other programs offer are read. An icon is not put on the clipboard.
class QtClipboard : public ClipboardService {
  public:
    void Clear() override;
    void SetData(const Picture& picture, int format) override;
    Picture GetData(int format) override;
    bool GetFormat(int format) override;
};

}  // namespace platform
