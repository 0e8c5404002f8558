#pragma once

#include <QString>

namespace platform {

class WallpaperService {
  public:
    virtual ~WallpaperService() = default;
    // Makes the bitmap file the desktop background; false when the desktop refused.
    virtual bool SetWallpaper(const QString& bitmapPath) = 0;
};

}  // namespace platform
