#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace testing_support {

// Sets an environment variable (a null value unsets it) for the life of the object, then
// puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name);
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~ScopedEnv() { old_ ? qputenv(name_, *old_) : qunsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;

  private:
    const char* const name_;
    std::optional<QByteArray> old_;
};

}  // namespace testing_support
