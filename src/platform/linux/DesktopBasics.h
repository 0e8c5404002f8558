#pragma once

#include <QStringList>

#include "platform/services/ApplicationService.h"
#include "platform/services/ClockService.h"
#include "platform/services/ScreenService.h"

namespace platform {

// The primary screen's size, at 15 twips per logical pixel.
class QtScreen : public ScreenService {
  public:
    double Width() const override;
    double Height() const override;
    int TwipsPerPixelX() const override;
};

// Wall-clock seconds since midnight, a monotonic clock, and Qt's event loop for waiting.
class QtClock : public ClockService {
  public:
    float Timer() const override;
    qint64 monotonicMilliseconds() const override;
    void DoEvents() override;
    void waitForEvents(int maxMilliseconds) override;
};

// The running process: its arguments and its end.
class ProcessApplication : public ApplicationService {
  public:
    explicit ProcessApplication(QStringList arguments) : arguments_(std::move(arguments)) {}
    QString Command() const override;
    QString Path() const override;
    [[noreturn]] void End(int status) override;

  private:
    QStringList arguments_;
};

}  // namespace platform
