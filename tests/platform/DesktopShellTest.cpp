// Opening documents and running the text editor the way the desktop registers programs:
// fake programs, .desktop files and mimeapps.list in a temporary XDG folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <map>

#include "platform/FileName.h"
#include "platform/FilePaths.h"
#include "platform/linux/DesktopEntries.h"
#include "platform/linux/DesktopShell.h"

using platform::DesktopShell;

namespace {

// A file name that a shell would take apart: quotes, "$", back quotes, "&", ";" and blanks.
const QString Hostile = QStringLiteral("it's \"$HOME\" & `date`; rm -rf x.htm");

// A private desktop: XDG folders, a folder of programs on PATH, and restored afterwards.
class FakeDesktop {
  public:
    FakeDesktop() {
        for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME",
                                 "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP", "PATH"})
            saved_[name] = qgetenv(name);
        QDir().mkpath(dataHome() + "/applications");
        QDir().mkpath(root_.filePath("config"));
        QDir().mkpath(bin());
        QDir().mkpath(records());
        qputenv("XDG_DATA_HOME", dataHome().toUtf8());
        qputenv("XDG_CONFIG_HOME", root_.filePath("config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", root_.filePath("etc").toUtf8());
        // The MIME database stays readable; the system's applications come after the fake
        // ones, and none of them can start, as PATH holds only the fake programs.
        qputenv("XDG_DATA_DIRS", (root_.filePath("system") + ":/usr/share").toUtf8());
        sleep_ = QStandardPaths::findExecutable("sleep");
        qunsetenv("XDG_CURRENT_DESKTOP");
        qputenv("PATH", bin().toUtf8());
    }
    ~FakeDesktop() {
        for (const auto& [name, value] : saved_) {
            if (value.isNull())
                qunsetenv(name.c_str());
            else
                qputenv(name.c_str(), value);
        }
    }

    QString dataHome() const { return root_.filePath("data"); }
    QString bin() const { return root_.filePath("bin"); }
    QString records() const { return root_.filePath("records"); }
    QString path(const QString& name) const { return root_.filePath(name); }
    QString root() const { return root_.path(); }

    // A program that records its arguments (NUL-separated) in records/NAME.args, waits
    // `seconds`, then writes records/NAME.done.
    QString addProgram(const QString& name, double seconds) {
        const QString program = bin() + "/" + name;
        const QString record = records() + "/" + QString(name).replace(' ', '_');
        write(program, QStringLiteral("#!/bin/sh\nprintf '%s\\0' \"$@\" > '%1.args'\n"
                                      "%3 %2\necho done > '%1.done'\n")
                           .arg(record)
                           .arg(seconds)
                           .arg(sleep_));
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
        return program;
    }
    void addDesktopFile(const QString& id, const QString& exec, const QString& more = {}) {
        write(dataHome() + "/applications/" + id,
              "[Desktop Entry]\nType=Application\nName=Fake\nExec=" + exec + "\n" + more);
    }
    void setDefault(const QString& mimeType, const QString& id) {
        QFile file(root_.filePath("config/mimeapps.list"));
        file.open(QIODevice::Append);
        file.write(("[Default Applications]\n" + mimeType + "=" + id + ";\n").toUtf8());
    }

    QStringList argumentsOf(const QString& name) const {
        QFile file(records() + "/" + QString(name).replace(' ', '_') + ".args");
        if (!file.open(QIODevice::ReadOnly))
            return {"<not started>"};
        QStringList arguments;
        for (const QByteArray& part : file.readAll().split('\0'))
            arguments << platform::decodeFileName(part);
        arguments.removeLast();  // after the last separator
        return arguments;
    }
    bool finished(const QString& name) const {
        return QFile::exists(records() + "/" + QString(name).replace(' ', '_') + ".done");
    }
    bool waitUntilStarted(const QString& name) const {
        return waitFor([&] { return argumentsOf(name) != QStringList{"<not started>"}; });
    }
    bool waitUntilFinished(const QString& name) const {
        return waitFor([&] { return finished(name); });
    }

  private:
    template <typename Condition>
    static bool waitFor(Condition condition) {
        QElapsedTimer clock;
        clock.start();
        while (!condition()) {
            if (clock.elapsed() > 10000)
                return false;
            QThread::msleep(20);
        }
        return true;
    }
    static void write(const QString& path, const QString& text) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text.toUtf8());
    }
    QTemporaryDir root_;
    QString sleep_;
    std::map<std::string, QByteArray> saved_;
};

}  // namespace

TEST(DesktopShell, TheEditorGetsTheFileWithItsForegroundOptionAndIsWaitedFor) {
    FakeDesktop desktop;
    const QString file = desktop.path(Hostile);
    desktop.addProgram("gedit", 0.3);
    desktop.addDesktopFile("org.fake.Edit.desktop", desktop.bin() + "/gedit %U");
    desktop.setDefault("text/plain", "org.fake.Edit.desktop");

    DesktopShell shell;
    EXPECT_EQ(shell.EditAndWait(file), 0);
    EXPECT_TRUE(desktop.finished("gedit"));
    const QString uri = desktop.argumentsOf("gedit").value(1);
    EXPECT_EQ(desktop.argumentsOf("gedit"), (QStringList{"--wait", uri}));
    EXPECT_FALSE(uri.contains(' ') || uri.contains('"') || uri.contains('`')) << uri.toStdString();
    EXPECT_EQ(QUrl(desktop.argumentsOf("gedit").last()).toLocalFile(), file);
}

TEST(DesktopShell, WithoutADefaultAKnownEditorOnThePathGetsTheAbsolutePath) {
    FakeDesktop desktop;
    desktop.addProgram("mousepad", 0);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(desktop.root());
    DesktopShell shell;
    EXPECT_EQ(shell.EditAndWait("-" + Hostile), 0);
    QDir::setCurrent(previous);
    EXPECT_EQ(desktop.argumentsOf("mousepad"),
              (QStringList{"--disable-server", desktop.path("-" + Hostile)}));
}

// An editor whose desktop entry says Terminal=true runs inside the desktop's terminal, which
// is waited for; the editor gets the document's absolute path, bytes and all.
TEST(DesktopShell, ATerminalEditorRunsInTheDesktopsTerminalAndIsWaitedFor) {
    struct Case {
        const char* desktop;
        QStringList terminals;  // installed
        QString used;
        QStringList options;
    };
    const Case cases[] = {
        {"", {"x-terminal-emulator", "xterm"}, "x-terminal-emulator", {"-e"}},
        {"GNOME", {"gnome-terminal", "x-terminal-emulator"}, "gnome-terminal", {"--wait", "--"}},
        {"KDE", {"konsole", "x-terminal-emulator"}, "konsole", {"--nofork", "-e"}},
        {"XFCE",
         {"xfce4-terminal", "x-terminal-emulator"},
         "xfce4-terminal",
         {"--disable-server", "-x"}},
        {"MATE", {"xterm"}, "xterm", {"-e"}},
    };
    const QByteArray name = "-caf\xe9 list.htm";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.used.toStdString());
        FakeDesktop desktop;
        qputenv("XDG_CURRENT_DESKTOP", c.desktop);
        for (const QString& terminal : c.terminals)
            desktop.addProgram(terminal, 0.3);
        const QString vim = desktop.addProgram("vim", 0);
        desktop.addDesktopFile("vim.desktop", "vim %F", "Terminal=true\n");
        desktop.setDefault("text/plain", "vim.desktop");
        const QString document = desktop.root() + "/" + platform::decodeFileName(name);

        DesktopShell shell;
        EXPECT_EQ(shell.EditAndWait(document), 0);
        EXPECT_TRUE(desktop.finished(c.used));
        EXPECT_EQ(desktop.argumentsOf(c.used), QStringList(c.options) << vim << document);
        EXPECT_EQ(platform::encodeFileName(desktop.argumentsOf(c.used).last()),
                  platform::encodeFileName(desktop.root()) + "/" + name);
        EXPECT_EQ(desktop.argumentsOf("vim"), QStringList{"<not started>"});
    }
    FakeDesktop noTerminal;
    noTerminal.addProgram("vim", 0);
    noTerminal.addDesktopFile("vim.desktop", "vim %F", "Terminal=true\n");
    noTerminal.setDefault("text/plain", "vim.desktop");
    EXPECT_EQ(DesktopShell().EditAndWait(noTerminal.path("a.htm")), -1);
}

TEST(DesktopShell, NoEditorAndAProgramThatCannotStartAreNotWaitedFor) {
    FakeDesktop desktop;
    DesktopShell shell;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(shell.EditAndWait(desktop.path("a.htm")), -1);
    EXPECT_EQ(shell.RunAndWait(desktop.path("no such program"), {"x"}), -1);
    EXPECT_FALSE(shell.Start(desktop.path("no such program"), {}));
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(DesktopShell, DocumentsAndAddressesOpenInTheirProgramsWithoutWaiting) {
    FakeDesktop desktop;
    desktop.addProgram("fake browser", 1);
    desktop.addProgram("fake viewer", 1);
    desktop.addDesktopFile("browser.desktop", "\"" + desktop.bin() + "/fake browser\" %u");
    desktop.addDesktopFile("viewer.desktop", "'ignored'");  // no such program: skipped
    desktop.setDefault("x-scheme-handler/https", "browser.desktop");
    // The page's name is not UTF-8: the browser gets its bytes percent-encoded.
    const QString page = desktop.path(Hostile + platform::decodeFileName("\xe9.html"));
    ::close(::open(platform::encodeFileName(page).constData(), O_WRONLY | O_CREAT, 0644));
    desktop.addDesktopFile("page.desktop", "\"" + desktop.bin() + "/fake viewer\" --new-window %u");
    desktop.setDefault("text/html", "viewer.desktop;page.desktop");

    DesktopShell shell;
    EXPECT_TRUE(shell.OpenDocument("https://vedra-viewer.org/"));
    EXPECT_TRUE(shell.OpenDocument(page));
    EXPECT_FALSE(desktop.finished("fake browser"));  // returned while the browser runs
    ASSERT_TRUE(desktop.waitUntilStarted("fake browser"));
    ASSERT_TRUE(desktop.waitUntilStarted("fake viewer"));
    EXPECT_EQ(desktop.argumentsOf("fake browser"), QStringList{"https://vedra-viewer.org/"});
    const QString uri = desktop.argumentsOf("fake viewer").value(1);
    EXPECT_EQ(desktop.argumentsOf("fake viewer"), (QStringList{"--new-window", uri}));
    EXPECT_TRUE(uri.startsWith("file:///") && uri.endsWith("%E9.html")) << uri.toStdString();
    EXPECT_FALSE(uri.contains(' ') || uri.contains('"') || uri.contains('`'));
    EXPECT_EQ(platform::encodeFileName(platform::pathOfFileUri(uri)),
              platform::encodeFileName(page));
    ::unlink(platform::encodeFileName(page).constData());  // Qt cannot remove it by its text
    EXPECT_TRUE(desktop.waitUntilFinished("fake browser"));
    EXPECT_TRUE(desktop.waitUntilFinished("fake viewer"));
}

TEST(DesktopEntries, ExecLinesSplitLikeTheDesktopDoes) {
    const std::pair<const char*, QStringList> cases[] = {
        {"gedit %U", {"gedit", "%U"}},
        {"\"/opt/my editor/bin\" --flag  %f", {"/opt/my editor/bin", "--flag", "%f"}},
        {"sh -c \"echo \\\"\\$x\\\" \\\\\"", {"sh", "-c", "echo \"$x\" \\"}},
        {"prog \"\" end", {"prog", "", "end"}},
    };
    for (const auto& [exec, expected] : cases)
        EXPECT_EQ(platform::desktop_entries::splitExec(exec), expected) << exec;
}
