#pragma once

#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

namespace platform {

// A decoration line from (x1, y1) to (x2, y2), in twips, one pixel wide.
class Line : public Control {
  public:
    Line(Container container, const QString& name, double x1, double y1, double x2, double y2,
         unsigned long bgr);
};

// A decoration rectangle, filled or outlined.
class Shape : public Control {
  public:
    Shape(Container container, const QString& name, double left, double top, double width,
          double height, unsigned long borderBgr, bool filled = false, unsigned long fillBgr = 0);
};

}  // namespace platform
