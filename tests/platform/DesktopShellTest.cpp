// Opening documents and running the text editor the way the desktop registers programs:
// fake programs, .desktop files and mimeapps.list in a temporary XDG folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "FakePrograms.h"
#include "platform/FileName.h"
#include "platform/FilePaths.h"
#include "platform/linux/DesktopEntries.h"
#include "platform/linux/DesktopShell.h"

using platform::DesktopShell;
using testing_support::ScopedEnv;

namespace {

// A file name that a shell would take apart: quotes, "$", back quotes, "&", ";" and blanks.
const QString Hostile = QStringLiteral("it's \"$HOME\" & `date`; rm -rf x.htm");

// A private desktop: XDG folders and fake programs, the only ones on PATH. The MIME database
// stays readable; the system's applications come after the fake ones and cannot start.
class FakeDesktop : public testing_support::FakePrograms {
  public:
    QString path(const QString& name) const { return root_.filePath(name); }
    QString root() const { return root_.path(); }
    void addDesktopFile(const QString& id, const QString& exec, const QString& more = {}) {
        write(root_.filePath("data/applications/" + id),
              "[Desktop Entry]\nType=Application\nName=Fake\nExec=" + exec + "\n" + more);
    }
    void setDefault(const QString& mimeType, const QString& id) {
        write(root_.filePath("config/mimeapps.list"),
              "[Default Applications]\n" + mimeType + "=" + id + ";\n", QIODevice::Append);
    }
    bool started(const QString& name) const {
        return argumentsOf(name) != QStringList{"<not started>"};
    }

  private:
    static void write(const QString& path, const QString& text,
                      QIODevice::OpenMode mode = QIODevice::WriteOnly) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(mode);
        file.write(text.toUtf8());
    }
    QTemporaryDir root_;
    ScopedEnv data_{"XDG_DATA_HOME", root_.filePath("data").toUtf8()};
    ScopedEnv config_{"XDG_CONFIG_HOME", root_.filePath("config").toUtf8()};
    ScopedEnv configDirs_{"XDG_CONFIG_DIRS", root_.filePath("etc").toUtf8()};
    ScopedEnv dataDirs_{"XDG_DATA_DIRS", (root_.filePath("system") + ":/usr/share").toUtf8()};
    ScopedEnv desktop_{"XDG_CURRENT_DESKTOP", QByteArray()};
};

}  // namespace

// The text editor: the desktop's default for text, else a known one on PATH; an editor whose
// entry says Terminal=true runs inside the desktop's terminal. Whatever is started gets the
// document's absolute path (or its file URI), bytes and all, and is waited for.
TEST(DesktopShell, TheEditorGetsTheDocumentAndIsWaitedFor) {
    struct Case {
        const char* desktop;
        QStringList programs;  // installed; the default editor's entry runs `exec`
        const char* exec;      // empty: no default editor
        QString used;
        QStringList arguments;  // "%path", "%uri" and "%vim" stand for what they name
        int result = 0;
    };
    const QString terminal = "Terminal=true";
    using L = QStringList;
    const Case cases[] = {
        {"", L{"gedit"}, "gedit %U", "gedit", L{"--wait", "%uri"}},
        {"", L{"mousepad"}, "", "mousepad", L{"--disable-server", "%path"}},
        {"", L{"x-terminal-emulator", "xterm", "vim"}, "vim %F", "x-terminal-emulator",
         L{"-e", "%vim", "%path"}},
        {"GNOME", L{"gnome-terminal", "x-terminal-emulator", "vim"}, "vim %F", "gnome-terminal",
         L{"--wait", "--", "%vim", "%path"}},
        {"KDE", L{"konsole", "x-terminal-emulator", "vim"}, "vim %F", "konsole",
         L{"--nofork", "-e", "%vim", "%path"}},
        {"XFCE", L{"xfce4-terminal", "x-terminal-emulator", "vim"}, "vim %F", "xfce4-terminal",
         L{"--disable-server", "-x", "%vim", "%path"}},
        {"MATE", L{"xterm", "vim"}, "vim %F", "xterm", L{"-e", "%vim", "%path"}},
        {"", L{"vim"}, "vim %F", "", L{}, -1},  // a terminal editor without a terminal
        {"", L{}, "", "", L{}, -1},             // no editor at all
    };
    const QString document = "-" + Hostile + platform::decodeFileName(" caf\xe9.htm");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.used.toStdString() + " " + c.desktop);
        FakeDesktop desktop;
        const ScopedEnv session("XDG_CURRENT_DESKTOP", c.desktop);
        for (const QString& program : c.programs)
            desktop.add(program, 0, {}, 0.3);
        if (*c.exec) {
            desktop.addDesktopFile("editor.desktop", c.exec,
                                   QString(c.exec).startsWith("vim") ? terminal : QString());
            desktop.setDefault("text/plain", "editor.desktop");
        }
        const QString previous = QDir::currentPath();
        QDir::setCurrent(desktop.root());  // the document is named from the current folder
        const int result = DesktopShell().EditAndWait(document);
        QDir::setCurrent(previous);

        EXPECT_EQ(result, c.result);
        QStringList expected;
        for (const QString& argument : c.arguments)
            expected << (argument == "%path"  ? desktop.path(document)
                         : argument == "%uri" ? platform::fileUri(desktop.path(document))
                         : argument == "%vim" ? desktop.folder() + "/vim"
                                              : argument);
        for (const QString& program : c.programs) {
            EXPECT_EQ(desktop.argumentsOf(program),
                      program == c.used ? expected : QStringList{"<not started>"})
                << program.toStdString();
        }
        if (!c.used.isEmpty()) {
            EXPECT_TRUE(desktop.finished(c.used));
        }
    }
}

// One that cannot start is reported at once and never waited for.
TEST(DesktopShell, StartsAndWaitsForProgramsWithoutAShell) {
    FakeDesktop desktop;
    DesktopShell shell;
    const QString odd = desktop.path("a b; touch pwned");  // a command, if a shell saw it
    const QString missing = desktop.path("no such program");
    const std::tuple<QString, QStringList, int> cases[] = {{"/bin/sh", {"-c", "exit 3"}, 3},
                                                           {"/bin/touch", {odd}, 0},
                                                           {missing, {"x"}, -1},
                                                           {"", {}, -1}};
    for (const auto& [program, arguments, status] : cases)
        EXPECT_EQ(shell.RunAndWait(program, arguments), status) << program.toStdString();
    EXPECT_TRUE(QFile::exists(odd));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath("pwned")));
    ASSERT_TRUE(shell.Start("/bin/touch", {desktop.path("started")}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(desktop.path("started")); }, 10000));
    EXPECT_FALSE(shell.Start(missing, {}));
    EXPECT_FALSE(shell.Start(QString(), {}));
}

TEST(DesktopShell, DocumentsAndAddressesOpenInTheirProgramsWithoutWaiting) {
    FakeDesktop desktop;
    desktop.add("fake browser", 0, {}, 1);
    desktop.add("fake viewer", 0, {}, 1);
    desktop.addDesktopFile("browser.desktop", "\"" + desktop.folder() + "/fake browser\" %u");
    desktop.addDesktopFile("viewer.desktop", "'ignored'");  // no such program: skipped
    desktop.setDefault("x-scheme-handler/https", "browser.desktop");
    // The page's name is not UTF-8: the browser gets its bytes percent-encoded.
    const QString page = desktop.path(Hostile + platform::decodeFileName("\xe9.html"));
    ::close(::open(platform::encodeFileName(page).constData(), O_WRONLY | O_CREAT, 0644));
    desktop.addDesktopFile("page.desktop",
                           "\"" + desktop.folder() + "/fake viewer\" --new-window %u");
    desktop.setDefault("text/html", "viewer.desktop;page.desktop");

    DesktopShell shell;
    EXPECT_TRUE(shell.OpenDocument("https://vedra-viewer.org/"));
    EXPECT_TRUE(shell.OpenDocument(page));
    EXPECT_FALSE(desktop.finished("fake browser"));  // returned while the browser runs
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.started("fake browser"); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.started("fake viewer"); }, 10000));
    EXPECT_EQ(desktop.argumentsOf("fake browser"), QStringList{"https://vedra-viewer.org/"});
    EXPECT_EQ(desktop.argumentsOf("fake viewer"),
              (QStringList{"--new-window", platform::fileUri(page)}));
    ::unlink(platform::encodeFileName(page).constData());  // Qt cannot remove it by its text
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.finished("fake browser"); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.finished("fake viewer"); }, 10000));
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
