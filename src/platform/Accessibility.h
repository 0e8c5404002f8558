#pragma once

namespace platform {

// Makes the program's popup menus reachable by assistive technology: while a popup menu
// that belongs to no menu bar is open, it is a child of the application, after the windows,
// with its items. Menu items pressed through assistive technology answer the press at once
// and run afterwards. Installing twice does nothing.
void installPopupMenuAccessibility();

}  // namespace platform
