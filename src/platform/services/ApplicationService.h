#pragma once

#include <QString>

namespace platform {

// The program itself: its command line, its folder, and ending it.
class ApplicationService {
  public:
    virtual ~ApplicationService() = default;
    // The arguments after the program name, joined by single blanks.
    virtual QString Command() const = 0;
    // The folder holding the executable.
    virtual QString Path() const = 0;
    // Ends the program at once with `status`; no window's unload handling runs.
    [[noreturn]] virtual void End(int status) = 0;
};

}  // namespace platform
