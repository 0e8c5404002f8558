// Opening documents and running the text editor the way the desktop registers programs:
// fake programs, .desktop files and mimeapps.list in a temporary XDG folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <map>

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
    void addDesktopFile(const QString& id, const QString& exec) {
        write(dataHome() + "/applications/" + id,
              "[Desktop Entry]\nType=Application\nName=Fake\nExec=" + exec + "\n");
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
            arguments << QString::fromUtf8(part);
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
    EXPECT_EQ(desktop.argumentsOf("gedit"),
              (QStringList{"--wait", QUrl::fromLocalFile(file).toString()}));
    EXPECT_EQ(QUrl(desktop.argumentsOf("gedit").last()).toLocalFile(), file);
}

TEST(DesktopShell, WithoutADefaultAKnownEditorOnThePathIsUsed) {
    FakeDesktop desktop;
    desktop.addProgram("mousepad", 0);
    DesktopShell shell;
    EXPECT_EQ(shell.EditAndWait(Hostile), 0);
    EXPECT_EQ(desktop.argumentsOf("mousepad"), (QStringList{"--disable-server", Hostile}));
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
    const QString page = desktop.path(Hostile + ".html");
    QFile(page).open(QIODevice::WriteOnly);
    desktop.addDesktopFile("page.desktop", "\"" + desktop.bin() + "/fake viewer\" --new-window %f");
    desktop.setDefault("text/html", "viewer.desktop;page.desktop");

    DesktopShell shell;
    EXPECT_TRUE(shell.OpenDocument("https://vedra-viewer.org/"));
    EXPECT_TRUE(shell.OpenDocument(page));
    EXPECT_FALSE(desktop.finished("fake browser"));  // returned while the browser runs
    ASSERT_TRUE(desktop.waitUntilStarted("fake browser"));
    ASSERT_TRUE(desktop.waitUntilStarted("fake viewer"));
    EXPECT_EQ(desktop.argumentsOf("fake browser"), QStringList{"https://vedra-viewer.org/"});
    EXPECT_EQ(desktop.argumentsOf("fake viewer"), (QStringList{"--new-window", page}));
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
