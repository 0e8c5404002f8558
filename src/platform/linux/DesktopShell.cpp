#include "platform/linux/DesktopShell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <csignal>
#include <memory>
#include <thread>
#include <vector>

#include "platform/FileName.h"
#include "platform/FilePaths.h"

extern char** environ;

namespace platform {

namespace {

// Graphical editors and the option that keeps each in the foreground until its window
// closes (instead of handing the file to an instance already running and returning).
struct KnownEditor {
    const char* program;
    const char* foregroundOption;
};
constexpr KnownEditor KnownEditors[] = {
    {"gedit", "--wait"},
    {"gnome-text-editor", "--standalone"},
    {"kate", "--block"},
    {"kwrite", nullptr},
    {"mousepad", "--disable-server"},
    {"pluma", nullptr},
    {"xed", nullptr},
    {"featherpad", "--standalone"},
    {"geany", "--new-instance"},
    {"leafpad", nullptr},
    {"l3afpad", nullptr},
    {"gvim", "--nofork"},
    {"code", "--wait"},
    {"xedit", nullptr},
};

// Editors that run in a terminal, tried when no graphical one is installed ("editor" is the
// system's chosen one).
constexpr const char* TerminalEditors[] = {"editor", "nano", "vim", "vi"};

// Terminal emulators and the options after which the program to run and its arguments
// follow, each keeping the terminal open until that program ends (rather than handing it
// to a terminal server and returning at once).
struct KnownTerminal {
    const char* program;
    const char* desktop;     // the desktop (XDG_CURRENT_DESKTOP) it belongs to, or null
    const char* options[2];  // unused ones null
};
const KnownTerminal KnownTerminals[] = {
    {"gnome-terminal", "gnome", {"--wait", "--"}},
    {"konsole", "kde", {"--nofork", "-e"}},
    {"xfce4-terminal", "xfce", {"--disable-server", "-x"}},
    {"mate-terminal", "mate", {"--disable-factory", "-x"}},
    {"x-terminal-emulator", nullptr, {"-e", nullptr}},
    {"xterm", nullptr, {"-e", nullptr}},
    {"alacritty", nullptr, {"-e", nullptr}},
    {"kitty", nullptr, {nullptr, nullptr}},
    {"foot", nullptr, {nullptr, nullptr}},
};

// The terminal that runs `launch`: the current desktop's own, else the system's chosen one
// (x-terminal-emulator), else the first one installed. Nothing when there is none.
std::optional<Launch> inTerminal(const Launch& launch) {
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(QLatin1Char(':'));
    std::vector<const KnownTerminal*> order;
    for (const KnownTerminal& terminal : KnownTerminals) {
        if (terminal.desktop && desktops.contains(QLatin1String(terminal.desktop)))
            order.push_back(&terminal);
    }
    for (const KnownTerminal& terminal : KnownTerminals)
        order.push_back(&terminal);
    for (const KnownTerminal* terminal : order) {
        const QString program = desktop_entries::findProgram(QLatin1String(terminal->program));
        if (program.isEmpty())
            continue;
        Launch wrapped{program, {}, false};
        for (const char* option : terminal->options) {
            if (option)
                wrapped.arguments.append(QLatin1String(option));
        }
        wrapped.arguments.append(launch.program);
        wrapped.arguments += launch.arguments;
        return wrapped;
    }
    return std::nullopt;
}

// A launch as it starts: a terminal program inside its terminal emulator.
std::optional<Launch> runnable(const Launch& launch) {
    return launch.terminal ? inTerminal(launch) : std::optional<Launch>(launch);
}

const KnownEditor* knownEditor(const QString& program) {
    const QString base = fileNameOf(program);
    for (const KnownEditor& editor : KnownEditors) {
        if (base == QLatin1String(editor.program))
            return &editor;
    }
    return nullptr;
}

Launch keepInForeground(Launch launch) {
    const KnownEditor* editor = knownEditor(launch.program);
    if (editor && editor->foregroundOption) {
        const QString option = QLatin1String(editor->foregroundOption);
        if (!launch.arguments.contains(option))
            launch.arguments.prepend(option);
    }
    return launch;
}

bool isAddress(const QString& target) {
    // A scheme of two letters or more: "C:" would be a drive, not an address.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

// Swallows user input (keys, mouse, closing a window) while a program runs, so the windows
// keep painting but do not react.
struct InputBlocker : QObject {
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
            case QEvent::Close:
                return true;
            default:
                return QObject::eventFilter(watched, event);
        }
    }
};

// The MIME type of a local file by its name and its first bytes (read byte for byte).
QString mimeTypeOfFile(const QString& path) {
    QByteArray head;
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        if (fileStatus(path).isFile) {
            head.resize(4096);
            const ssize_t got = ::read(fd, head.data(), head.size());
            head.resize(got > 0 ? int(got) : 0);
        }
        ::close(fd);
    }
    return QMimeDatabase()
        .mimeTypeForFileNameAndData(displayFileName(fileNameOf(path)), head)
        .name();
}

// Starts `program` with `arguments` as the file system's bytes (Qt's process class would
// encode them as text and lose the bytes of a name that is not UTF-8). Standard input is
// the null device; `detach` puts the program in a session of its own. 0 when it could not
// start.
pid_t spawn(const QString& program, const QStringList& arguments, bool detach) {
    const QString path = desktop_entries::findProgram(program);
    if (path.isEmpty())
        return 0;
    std::vector<QByteArray> words{encodeFileName(path)};
    for (const QString& argument : arguments)
        words.push_back(encodeFileName(argument));
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    short flags = POSIX_SPAWN_SETSIGMASK;
    if (detach)
        flags |= POSIX_SPAWN_SETSID;
    posix_spawnattr_setflags(&attributes, flags);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv.front(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? 0 : pid;
}

// The exit status of an ended child, -1 when it did not end normally.
int exitStatusOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::optional<Launch> DesktopShell::textEditorFor(const QString& file) {
    if (std::optional<Launch> launch =
            desktop_entries::defaultLaunch(QStringLiteral("text/plain"), file)) {
        return keepInForeground(*launch);
    }
    for (const KnownEditor& editor : KnownEditors) {
        const QString program = desktop_entries::findProgram(QLatin1String(editor.program));
        if (!program.isEmpty())
            return keepInForeground(Launch{program, {absoluteFilePath(file)}, false});
    }
    for (const char* editor : TerminalEditors) {
        const QString program = desktop_entries::findProgram(QLatin1String(editor));
        if (!program.isEmpty())
            return Launch{program, {absoluteFilePath(file)}, true};
    }
    return std::nullopt;
}

std::optional<Launch> DesktopShell::openerFor(const QString& target) {
    QString mimeType;
    QString argument = target;
    const QString localFile = isAddress(target) ? pathOfFileUri(target) : absoluteFilePath(target);
    if (!localFile.isEmpty()) {
        argument = localFile;
        mimeType = mimeTypeOfFile(localFile);
    } else {
        mimeType = QStringLiteral("x-scheme-handler/") + QUrl(target).scheme().toLower();
    }
    if (std::optional<Launch> launch = desktop_entries::defaultLaunch(mimeType, argument))
        return launch;
    // No association the viewer can read: leave the choice to the desktop's own opener.
    for (const char* opener : {"xdg-open", "gio"}) {
        const QString program = desktop_entries::findProgram(QLatin1String(opener));
        if (program.isEmpty())
            continue;
        Launch launch{program, {localFile.isEmpty() ? argument : fileUri(localFile)}, false};
        if (QLatin1String(opener) == QLatin1String("gio"))
            launch.arguments.prepend(QStringLiteral("open"));
        return launch;
    }
    return std::nullopt;
}

bool DesktopShell::OpenDocument(const QString& target) {
    if (target.isEmpty())
        return false;
    const std::optional<Launch> launch = openerFor(target);
    const std::optional<Launch> started = launch ? runnable(*launch) : std::nullopt;
    return started && Start(started->program, started->arguments);
}

bool DesktopShell::Start(const QString& program, const QStringList& arguments) {
    const pid_t pid = spawn(program, arguments, true);
    if (pid <= 0)
        return false;
    // Nobody waits for the program; a thread collects its end so it leaves no zombie.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

int DesktopShell::RunAndWait(const QString& program, const QStringList& arguments) {
    const pid_t pid = spawn(program, arguments, false);
    if (pid <= 0)
        return -1;  // never wait for a program that did not start
    InputBlocker blocker;
    QCoreApplication::instance()->installEventFilter(&blocker);
    int status = 0;
    const auto ended = [&] {
        pid_t done;
        while ((done = ::waitpid(pid, &status, WNOHANG)) < 0 && errno == EINTR) {
        }
        return done != 0;
    };
    if (!ended()) {
        // The windows keep painting while the program runs: the loop wakes when the
        // process's descriptor reports its end (or, where the kernel has none, every 50 ms).
        QEventLoop loop;
        const int pidFd = int(::syscall(SYS_pidfd_open, pid, 0));
        std::unique_ptr<QSocketNotifier> notifier;
        QTimer poll;
        const auto check = [&] {
            if (ended())
                loop.quit();
        };
        if (pidFd >= 0) {
            notifier = std::make_unique<QSocketNotifier>(pidFd, QSocketNotifier::Read);
            QObject::connect(notifier.get(), &QSocketNotifier::activated, &loop, check);
        } else {
            QObject::connect(&poll, &QTimer::timeout, &loop, check);
            poll.start(50);
        }
        if (!ended())
            loop.exec();
        notifier.reset();
        if (pidFd >= 0)
            ::close(pidFd);
    }
    QCoreApplication::instance()->removeEventFilter(&blocker);
    return exitStatusOf(status);
}

int DesktopShell::EditAndWait(const QString& file) {
    const std::optional<Launch> editor = textEditorFor(file);
    const std::optional<Launch> started = editor ? runnable(*editor) : std::nullopt;
    if (!started)
        return -1;
    return RunAndWait(started->program, started->arguments);
}

}  // namespace platform
