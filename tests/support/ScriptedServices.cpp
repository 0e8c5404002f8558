#include "ScriptedServices.h"

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

platform::Services ScriptedServices::services() {
    platform::Services s;
    s.messageBox = &messageBox;
    s.fileSystem = &fileSystem;
    s.screen = &screen;
    s.clock = &clock;
    s.application = &application;
    s.wallpaper = &wallpaper;
    s.printer = &printer;
    return s;
}

}  // namespace testing_support
