#pragma once

namespace platform {

// The screen's size in twips; a pixel is TwipsPerPixelX twips.
class ScreenService {
  public:
    virtual ~ScreenService() = default;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual int TwipsPerPixelX() const = 0;
};

}  // namespace platform
