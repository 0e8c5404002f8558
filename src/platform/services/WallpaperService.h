#pragma once

#include <QString>

namespace platform {

// What became of a request to change the desktop background.
enum class WallpaperResult {
    Done,     // the desktop took the picture
    Refused,  // the desktop's tool ran and said no, or the picture could not be used
    NoWay,    // this desktop offers no way to set a background (or its tool is missing)
};

class WallpaperService {
  public:
    virtual ~WallpaperService() = default;
    // Makes the bitmap file the desktop background.
    virtual WallpaperResult SetWallpaper(const QString& bitmapPath) = 0;
};

}  // namespace platform
