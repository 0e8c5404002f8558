#include "platform/linux/DesktopShell.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

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

const KnownEditor* knownEditor(const QString& program) {
    const QString base = QFileInfo(program).fileName();
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

}  // namespace

std::optional<Launch> DesktopShell::textEditorFor(const QString& file) {
    if (std::optional<Launch> launch =
            desktop_entries::defaultLaunch(QStringLiteral("text/plain"), file)) {
        return keepInForeground(*launch);
    }
    for (const KnownEditor& editor : KnownEditors) {
        const QString program = QStandardPaths::findExecutable(QLatin1String(editor.program));
        if (!program.isEmpty())
            return keepInForeground(Launch{program, {file}});
    }
    return std::nullopt;
}

std::optional<Launch> DesktopShell::openerFor(const QString& target) {
    QString mimeType;
    QString argument = target;
    if (isAddress(target)) {
        const QUrl url(target);
        if (url.isLocalFile()) {
            argument = url.toLocalFile();
            mimeType = QMimeDatabase().mimeTypeForFile(argument).name();
        } else {
            mimeType = QStringLiteral("x-scheme-handler/") + url.scheme().toLower();
        }
    } else {
        argument = QFileInfo(target).absoluteFilePath();
        mimeType = QMimeDatabase().mimeTypeForFile(argument).name();
    }
    if (std::optional<Launch> launch = desktop_entries::defaultLaunch(mimeType, argument))
        return launch;
    // No association the viewer can read: leave the choice to the desktop's own opener.
    for (const char* opener : {"xdg-open", "gio"}) {
        const QString program = QStandardPaths::findExecutable(QLatin1String(opener));
        if (program.isEmpty())
            continue;
        Launch launch{program, {argument}};
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
    return launch && Start(launch->program, launch->arguments);
}

bool DesktopShell::Start(const QString& program, const QStringList& arguments) {
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

int DesktopShell::RunAndWait(const QString& program, const QStringList& arguments) {
    if (program.isEmpty())
        return -1;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted())
        return -1;  // never wait for a program that did not start
    InputBlocker blocker;
    QCoreApplication::instance()->installEventFilter(&blocker);
    if (process.state() != QProcess::NotRunning) {
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        if (process.state() != QProcess::NotRunning)
            loop.exec();
    }
    QCoreApplication::instance()->removeEventFilter(&blocker);
    if (process.state() != QProcess::NotRunning)
        process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

int DesktopShell::EditAndWait(const QString& file) {
    const std::optional<Launch> editor = textEditorFor(file);
    if (!editor)
        return -1;
    return RunAndWait(editor->program, editor->arguments);
}

}  // namespace platform
