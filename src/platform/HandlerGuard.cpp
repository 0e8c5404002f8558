#include "platform/HandlerGuard.h"

#include <QDebug>
#include <exception>
#include <new>

#include "platform/RuntimeError.h"

namespace platform {

namespace {

UnhandledErrorReporter& reporter() {
    static UnhandledErrorReporter instance;
    return instance;
}

void report(int number, const QString& description) {
    if (reporter())
        reporter()(number, description);
    else
        qWarning("Unhandled error %d: %s", number, qPrintable(description));
}

}  // namespace

void setUnhandledErrorReporter(UnhandledErrorReporter newReporter) {
    reporter() = std::move(newReporter);
}

void runHandler(const std::function<void()>& handler) {
    if (!handler)
        return;
    try {
        handler();
    } catch (const RuntimeError& error) {
        report(error.number(), QString::fromStdString(error.what()));
    } catch (const std::bad_alloc&) {
        report(ErrorNumber::OutOfMemory, QStringLiteral("Out of memory"));
    } catch (const std::exception& error) {
        report(ErrorNumber::InternalError, QString::fromStdString(error.what()));
    }
}

}  // namespace platform
