#pragma once

#include <QString>
#include <functional>

namespace platform {

// Runs an event handler on behalf of the user interface. A runtime error that the handler
// did not trap must not unwind into Qt's event loop (which would end the program); it is
// reported instead and the program carries on with its files as they were.
void runHandler(const std::function<void()>& handler);

// Who hears of errors no handler trapped: the program shows them to the user. Without a
// reporter they are written to the log.
using UnhandledErrorReporter = std::function<void(int number, const QString& description)>;
void setUnhandledErrorReporter(UnhandledErrorReporter reporter);

}  // namespace platform
