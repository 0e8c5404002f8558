#pragma once

class Program;

namespace assembly {

// While it lives, an error that no handler trapped is shown to the user as "Error N" in a
// message box titled with the product name, the way the handlers show the errors they trap,
// and the program carries on.
class UnhandledErrorReporting {
  public:
    explicit UnhandledErrorReporting(Program& program);
    ~UnhandledErrorReporting();
    UnhandledErrorReporting(const UnhandledErrorReporting&) = delete;
    UnhandledErrorReporting& operator=(const UnhandledErrorReporting&) = delete;
};

}  // namespace assembly
