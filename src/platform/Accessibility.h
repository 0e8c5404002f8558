#pragma once

namespace platform {

// Makes the program's popup menus reachable by assistive technology: while a popup menu
// that belongs to no menu bar is open, it is a child of the application, after the windows,
// with its items. Installing twice does nothing.
void installPopupMenuAccessibility();

}  // namespace platform
