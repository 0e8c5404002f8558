// The Linux desktop services of the information windows: the system facts and starting
// programs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/linux/DesktopShell.h"
#include "platform/linux/LinuxSystemInfo.h"

TEST(DesktopShellTest, StartsAndWaitsForProgramsWithoutAShell) {
    QTemporaryDir dir;
    platform::DesktopShell shell;
    struct Case {
        QString program;
        QStringList arguments;
        int status;
    };
    // The file name would run a command if a shell ever saw it.
    const QString odd = dir.filePath(QStringLiteral("a b; touch pwned"));
    const std::vector<Case> cases = {
        {QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 3")}, 3},
        {QStringLiteral("/bin/touch"), {odd}, 0},
        {dir.filePath(QStringLiteral("no-such-program")), {}, -1},
        {QString(), {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program.toStdString());
        EXPECT_EQ(shell.RunAndWait(c.program, c.arguments), c.status);
    }
    EXPECT_TRUE(QFile::exists(odd));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath(QStringLiteral("pwned"))));

    const QString marker = dir.filePath(QStringLiteral("started"));
    ASSERT_TRUE(shell.Start(QStringLiteral("/bin/touch"), {marker}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000));
    EXPECT_FALSE(shell.Start(dir.filePath(QStringLiteral("no-such-program")), {}));
    EXPECT_FALSE(shell.Start(QString(), {}));
}

TEST(LinuxSystemInfoTest, ReadsTheEnvironmentAndFindsProgramsOnThePath) {
    platform::LinuxSystemInfo info;
    QString value = QStringLiteral("unchanged");
    qputenv("VEDRA_TEST_VALUE", "x:y");
    EXPECT_TRUE(
        info.GetKeyValue(QStringLiteral("Environment"), QStringLiteral("VEDRA_TEST_VALUE"), value));
    EXPECT_EQ(value, QStringLiteral("x:y"));
    qunsetenv("VEDRA_TEST_VALUE");
    value = QStringLiteral("unchanged");
    EXPECT_FALSE(
        info.GetKeyValue(QStringLiteral("Environment"), QStringLiteral("VEDRA_TEST_VALUE"), value));
    EXPECT_EQ(value, QStringLiteral("unchanged"));

    EXPECT_TRUE(info.GetKeyValue(QStringLiteral("Programs"), QStringLiteral("sh"), value));
    EXPECT_TRUE(value.endsWith(QStringLiteral("/sh")));
    // Only bare names are looked up on the path.
    EXPECT_FALSE(info.GetKeyValue(QStringLiteral("Programs"), QStringLiteral("/bin/sh"), value));
    EXPECT_FALSE(
        info.GetKeyValue(QStringLiteral("Programs"), QStringLiteral("no-such-tool-x"), value));
    EXPECT_FALSE(info.GetKeyValue(QStringLiteral("Registry"), QStringLiteral("sh"), value));
}
