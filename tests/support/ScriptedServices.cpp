#include "ScriptedServices.h"

#include "platform/RuntimeError.h"

namespace testing_support {

int ScriptedMessageBox::MsgBox(const QString& text, int style, const QString& title) {
    prompts.push_back({text, style, title});
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return (style & 7) == platform::MsgBoxStyle::YesNo ? platform::MsgBoxAnswer::No
                                                       : platform::MsgBoxAnswer::Ok;
}

void FakeClock::waitForEvents(int maxMilliseconds) {
    ++eventRounds;
    monotonicMs += maxMilliseconds;
    secondsSinceMidnight += maxMilliseconds / 1000.0;
    if (secondsSinceMidnight >= 86400.0)
        secondsSinceMidnight -= 86400.0;
}

bool ScriptedShell::OpenDocument(const QString& target) {
    calls.push_back({QStringLiteral("open"), target, {}});
    return canStart;
}

bool ScriptedShell::Start(const QString& program, const QStringList& arguments) {
    calls.push_back({QStringLiteral("start"), program, arguments});
    return canStart;
}

int ScriptedShell::RunAndWait(const QString& program, const QStringList& arguments) {
    calls.push_back({QStringLiteral("run"), program, arguments});
    return canStart ? 0 : -1;
}

int ScriptedShell::EditAndWait(const QString& file) {
    calls.push_back({QStringLiteral("edit"), QString(), {file}});
    return canStart ? 0 : -1;
}

QString ScriptedDialogs::ShowSave(const platform::SaveDialogOptions& options) {
    shown.push_back(options);
    if (answers.empty())
        throw platform::RuntimeError(platform::ErrorNumber::DialogCancelled);
    QString answer = answers.front();
    answers.pop_front();
    return answer;
}

platform::Services ScriptedServices::services() {
    platform::Services s;
    s.messageBox = &messageBox;
    s.fileSystem = &fileSystem;
    s.screen = &screen;
    s.clock = &clock;
    s.application = &application;
    s.wallpaper = &wallpaper;
    s.printer = &printer;
    s.shell = &shell;
    s.dialogs = &dialogs;
    return s;
}

}  // namespace testing_support
