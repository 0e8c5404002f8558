#pragma once

#include "platform/Picture.h"

// The pictures stored with the windows (program icon, button icons, logos), packed into the
// program as resources. `name` is the file name without ".png", e.g. "arrow-down".
platform::Picture storedPicture(const char* name);
