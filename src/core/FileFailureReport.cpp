#include "core/FileFailureReport.h"

#include "core/ProjectIdentity.h"

#include "platform/NumberText.h"
#include "platform/RuntimeError.h"
#include "platform/services/MessageBoxService.h"

using namespace platform::ErrorNumber;

namespace {

// Words for an error that came without its own reason.
QString reasonForNumber(int number) {
    switch (number) {
        case FileNotFound:
            return QStringLiteral("the file does not exist");
        case PathNotFound:
            return QStringLiteral("the folder does not exist");
        case FileAlreadyExists:
            return QStringLiteral("a file with that name already exists");
        case DiskFull:
            return QStringLiteral("there is not enough free space on the disk");
        case PermissionDenied:
            return QStringLiteral("permission denied");
        case DiskNotReady:
            return QStringLiteral("the disk is not ready");
        case InvalidPicture:
            return QStringLiteral("there is no picture to save");
        default:
            return QStringLiteral("error") + platform::withSignPosition(number);
    }
}

QString sentence(QString words) {
    if (words.isEmpty())
        return words;
    words[0] = words.at(0).toUpper();
    if (!words.endsWith(QLatin1Char('.')))
        words += QLatin1Char('.');
    return words;
}

}  // namespace

QString quoted(const QString& path) {
    return QLatin1Char('"') + path + QLatin1Char('"');
}

QString fileFailureText(const QString& what, const platform::RuntimeError& error) {
    const QString generic = QStringLiteral("runtime error ") + QString::number(error.number());
    const QString description = QString::fromStdString(error.what());
    const QString reason =
        (description.isEmpty() || description == generic || error.number() == InvalidPicture)
            ? reasonForNumber(error.number())
            : description;
    return what + QLatin1Char('\n') + sentence(reason);
}

void reportFileFailure(platform::MessageBoxService& messageBox, const QString& what,
                       const platform::RuntimeError& error) {
    // The user stopped the work in its progress window, which left every file as it was:
    // there is nothing to tell.
    if (error.number() == DialogCancelled)
        return;
    messageBox.MsgBox(fileFailureText(what, error), platform::MsgBoxStyle::OkOnly,
                      project_identity::productName());
}

void reportFileRefusal(platform::MessageBoxService& messageBox, const QString& what,
                       const QString& reason) {
    messageBox.MsgBox(what + QLatin1Char('\n') + sentence(reason), platform::MsgBoxStyle::OkOnly,
                      project_identity::productName());
}
