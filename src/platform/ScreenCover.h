#pragma once

class QWidget;

namespace platform {

// The program's window that covers the whole screen, if one does. From its showing until
// another window of the program takes the focus, the pictures in the program's other windows
// are not drawn: each would decode its picture again at its own size for pixels nobody sees.
// They are drawn once the covering window closes, leaves full screen or goes behind.
void setScreenCover(QWidget* window);

// True when `widget` lies under the covering window; it is then repainted when it shows.
bool hiddenByScreenCover(QWidget* widget);

}  // namespace platform
