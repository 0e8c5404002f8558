#pragma once

#include <QString>
#include <deque>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/linux/LocalFileSystem.h"
#include "platform/services/ApplicationService.h"
#include "platform/services/ClockService.h"
#include "platform/services/DialogService.h"
#include "platform/services/MessageBoxService.h"
#include "platform/services/PrinterService.h"
#include "platform/services/ScreenService.h"
#include "platform/services/Services.h"
#include "platform/services/ShellService.h"
#include "platform/services/WallpaperService.h"

namespace testing_support {

// Records every prompt and answers from a queue (OK, or No for a Yes/No question, when the
// queue is empty).
class ScriptedMessageBox : public platform::MessageBoxService {
  public:
    struct Prompt {
        QString text;
        int style;
        QString title;
    };
    int MsgBox(const QString& text, int style, const QString& title) override {
        prompts.push_back({text, style, title});
        if (answers.empty())
            return (style & 7) == platform::MsgBoxStyle::YesNo ? platform::MsgBoxAnswer::No
                                                               : platform::MsgBoxAnswer::Ok;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<Prompt> prompts;
    std::deque<int> answers;
};
using Prompts = std::vector<ScriptedMessageBox::Prompt>;
inline bool operator==(const ScriptedMessageBox::Prompt& a, const ScriptedMessageBox::Prompt& b) {
    return a.text == b.text && a.style == b.style && a.title == b.title;
}
inline void PrintTo(const ScriptedMessageBox::Prompt& p, std::ostream* os) {
    *os << "{\"" << p.text.toStdString() << "\", " << p.style << ", \"" << p.title.toStdString()
        << "\"}";
}
// The program's Yes/No question (with its question mark icon) and its plain report.
inline ScriptedMessageBox::Prompt question(const QString& text) {
    return {text, 276, "Vedra Viewer"};
}
inline ScriptedMessageBox::Prompt report(const QString& text) {
    return {text, 0, "Vedra Viewer"};
}

// Thrown by ScriptedApplication::End so a test sees the program end and its status.
struct ProgramEnded : std::runtime_error {
    explicit ProgramEnded(int s) : std::runtime_error("program ended"), status(s) {}
    int status;
};

class ScriptedApplication : public platform::ApplicationService {
  public:
    QString Command() const override { return commandLine; }
    QString Path() const override { return programFolder; }
    [[noreturn]] void End(int status) override { throw ProgramEnded(status); }

    QString commandLine;
    QString programFolder = QStringLiteral("/usr/bin");
};

// A clock that moves only when the test (or a wait) moves it.
class FakeClock : public platform::ClockService {
  public:
    float Timer() const override { return static_cast<float>(secondsSinceMidnight); }
    qint64 monotonicMilliseconds() const override { return monotonicMs; }
    void DoEvents() override { ++eventRounds; }
    void waitForEvents(int maxMilliseconds) override {
        ++eventRounds;
        monotonicMs += maxMilliseconds;
        secondsSinceMidnight += maxMilliseconds / 1000.0;
        if (secondsSinceMidnight >= 86400.0)
            secondsSinceMidnight -= 86400.0;
    }

    double secondsSinceMidnight = 12 * 3600.0;
    qint64 monotonicMs = 0;
    int eventRounds = 0;
};

// A 1280 x 1024 pixel screen.
class FakeScreen : public platform::ScreenService {
  public:
    double Width() const override { return widthPixels * 15.0; }
    double Height() const override { return heightPixels * 15.0; }
    int TwipsPerPixelX() const override { return 15; }
    int widthPixels = 1280;
    int heightPixels = 1024;
};

// Records every bitmap handed to the desktop and answers with `result`.
class ScriptedWallpaper : public platform::WallpaperService {
  public:
    platform::WallpaperResult SetWallpaper(const QString& bitmapPath) override {
        requests.push_back(bitmapPath);
        return result;
    }
    std::vector<QString> requests;
    platform::WallpaperResult result = platform::WallpaperResult::Done;
};

// A printer dialog answered by `choosePrinter` (false: Cancel); every picture printed is
// recorded with its size in twips.
class ScriptedPrinter : public platform::PrinterService {
  public:
    struct Printed {
        platform::Picture picture;
        double widthTwips;
        double heightTwips;
    };
    bool ShowPrinter() override {
        ++dialogsShown;
        return choosePrinter;
    }
    bool PrintPicture(const platform::Picture& picture, double widthTwips,
                      double heightTwips) override {
        printed.push_back({picture, widthTwips, heightTwips});
        return true;
    }
    bool choosePrinter = true;
    int dialogsShown = 0;
    std::vector<Printed> printed;
};

// Records what the viewer asks the desktop to open or run; nothing is started.
class ScriptedShell : public platform::ShellService {
  public:
    struct Call {
        QString kind;  // "open", "start", "run" or "edit"
        QString program;
        QStringList arguments;
    };
    bool OpenDocument(const QString& target) override { return record("open", target, {}); }
    bool Start(const QString& program, const QStringList& arguments) override {
        return record("start", program, arguments);
    }
    int RunAndWait(const QString& program, const QStringList& arguments) override {
        return record("run", program, arguments) ? 0 : -1;
    }
    int EditAndWait(const QString& file) override { return record("edit", {}, {file}) ? 0 : -1; }

    std::vector<Call> calls;
    bool canStart = true;  // false: as if no program could start

  private:
    bool record(const char* kind, const QString& program, const QStringList& arguments) {
        calls.push_back({QString::fromLatin1(kind), program, arguments});
        return canStart;
    }
};

// The Save dialog: answers with the queued file names; an empty queue cancels.
class ScriptedDialogs : public platform::DialogService {
  public:
    QString ShowSave(const platform::SaveDialogOptions& options) override {
        shown.push_back(options);
        if (answers.empty())
            throw platform::RuntimeError(platform::ErrorNumber::DialogCancelled);
        const QString answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<platform::SaveDialogOptions> shown;
    std::deque<QString> answers;
};

// Every scripted service together, with the real local file system.
struct ScriptedServices {
    ScriptedMessageBox messageBox;
    platform::LocalFileSystem fileSystem;
    FakeScreen screen;
    FakeClock clock;
    ScriptedApplication application;
    ScriptedWallpaper wallpaper;
    ScriptedPrinter printer;
    ScriptedShell shell;
    ScriptedDialogs dialogs;

    platform::Services services() {  // in the order of the struct's members
        return {&messageBox, &fileSystem, &screen,    &clock,  &application, nullptr,
                &dialogs,    &shell,      &wallpaper, nullptr, &printer,     nullptr};
    }
};

}  // namespace testing_support
