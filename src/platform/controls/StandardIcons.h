#pragma once

#include <QIcon>
#include <QList>
#include <QStyle>
#include <functional>

class QWidget;

namespace platform {

// Shows the desktop theme's standard icons in a control. Looking them up reads the icon
// theme, the costliest step of start-up after the fonts, so `apply` first gets blank icons
// of the same size, which keep the texts where they will stay, and gets the theme's once the
// control's window has shown its first frame.
void showStandardIcons(QWidget* control, const QList<QStyle::StandardPixmap>& which,
                       const std::function<void(const QList<QIcon>&)>& apply);

}  // namespace platform
