#pragma once

#include <QString>

namespace platform {
class MessageBoxService;
class RuntimeError;
}  // namespace platform

// The refusals of the file system that copy, move, rename, save and the HTML list report to
// the user.

// "What failed" as the first line, the reason in words as the second.
QString fileFailureText(const QString& what, const platform::RuntimeError& error);

// Shows the failure in a message box with an OK button, titled like every message; work the
// user cancelled (32755) is passed over in silence.
void reportFileFailure(platform::MessageBoxService& messageBox, const QString& what,
                       const platform::RuntimeError& error);
void reportFileRefusal(platform::MessageBoxService& messageBox, const QString& what,
                       const QString& reason);

// A path quoted for a message.
QString quoted(const QString& path);
