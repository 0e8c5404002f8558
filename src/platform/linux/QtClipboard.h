#pragma once

#include "platform/services/ClipboardService.h"

namespace platform {

// The desktop clipboard through Qt. Linux clipboards carry no metafiles, so a metafile goes
// on as the image it renders to, and every picture comes back as a raster picture. An icon
// is not put on the clipboard.
class QtClipboard : public ClipboardService {
  public:
    void Clear() override;
    void SetData(const Picture& picture, int format) override;
    Picture GetData(int format) override;
    bool GetFormat(int format) override;
};

}  // namespace platform
