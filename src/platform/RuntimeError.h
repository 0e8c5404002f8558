#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// Error numbers the viewer's handlers branch on.
namespace ErrorNumber {
constexpr int OutOfMemory = 7;
constexpr int InternalError = 51;
constexpr int FileNotFound = 53;
constexpr int FileAlreadyExists = 58;
constexpr int DiskFull = 61;
constexpr int PermissionDenied = 70;
constexpr int DiskNotReady = 71;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
constexpr int InvalidPropertyValue = 380;
constexpr int InvalidPicture = 481;
constexpr int DialogCancelled = 32755;
}  // namespace ErrorNumber

// A failed runtime operation, carrying the error number that a handler traps.
class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(int number, const QString& description = {})
        : std::runtime_error(description.isEmpty() ? "runtime error " + std::to_string(number)
                                                   : description.toStdString()),
          number_(number) {}

    int number() const { return number_; }

  private:
    int number_;
};

}  // namespace platform
