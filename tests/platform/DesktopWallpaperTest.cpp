#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include "FakePrograms.h"
#include "platform/linux/DesktopWallpaper.h"

using platform::DesktopWallpaper;
using platform::WallpaperResult;

using testing_support::FakePrograms;
using testing_support::ScopedEnv;

// A bitmap whose name a shell would take apart: blanks, quotes and a "$".
static QString hostileBitmap(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("it's a \"test\" $HOME pic.bmp"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("BM");
    return path;
}

TEST(DesktopWallpaperTest, EachDesktopGetsItsOwnToolWithTheFileAsOneArgument) {
    QTemporaryDir pictures;
    const QString path = hostileBitmap(pictures);
    const QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    ASSERT_EQ(QUrl(uri).toLocalFile(), path);
    const QString swayWord = "\"" + pictures.path() + "/it's a \\\"test\\\" $HOME pic.bmp\"";

    struct Case {
        const char* desktop;
        std::vector<QStringList> expected;
    };
    const QString gnome = "org.gnome.desktop.background";
    const auto xfce = [&](const QString& workspace) {
        const QString property = "/backdrop/screen0/" + workspace + "/last-image";
        return QStringList{"xfconf-query", "-c", "xfce4-desktop", "-p", property} +
               QStringList{"-n", "-t", "string", "-s", path};
    };
    const std::vector<Case> cases = {
        {"ubuntu:GNOME",
         {{"gsettings", "set", gnome, "picture-uri", uri},
          {"gsettings", "set", gnome, "picture-uri-dark", uri}}},
        {"XFCE",
         {{"xfconf-query", "-c", "xfce4-desktop", "-l"},
          xfce("monitorHDMI-1/workspace0"),
          xfce("monitoreDP-1/workspace0"),
          xfce("monitoreDP-1/workspace1")}},
        {"KDE", {{"plasma-apply-wallpaperimage", path}}},
        {"sway", {{"swaymsg", "output", "*", "bg", swayWord, "fill"}}},
    };
    const QByteArray xfceListing =
        "/backdrop/screen0/monitorHDMI-1/workspace0/color-style\n"
        "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
        "/backdrop/screen0/monitoreDP-1/workspace0/last-image\n"
        "/backdrop/screen0/monitoreDP-1/workspace1/image-style\n"  // a workspace with no image yet
        "/backdrop/single-workspace-mode\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.desktop);
        FakePrograms tools;
        for (const char* tool :
             {"gsettings", "plasma-apply-wallpaperimage", "pcmanfm-qt", "pcmanfm", "swaymsg"})
            tools.add(tool);
        tools.add("xfconf-query", 0, xfceListing);
        ScopedEnv desktop("XDG_CURRENT_DESKTOP", c.desktop);
        DesktopWallpaper wallpaper;
        EXPECT_EQ(wallpaper.SetWallpaper(path), WallpaperResult::Done);
        EXPECT_EQ(tools.calls(), c.expected);
    }
}

// A tool that says no is a refusal; a desktop whose tool is missing, or no known desktop
// away from X11, is no way at all; a missing file is refused before any tool runs.
TEST(DesktopWallpaperTest, RefusalsAndMissingWaysAreToldApart) {
    QTemporaryDir pictures;
    const QString path = hostileBitmap(pictures);
    struct Case {
        const char* desktop;
        const char* tool;  // installed, failing; nullptr: none installed
        QString file;
        WallpaperResult expected;
    };
    const Case cases[] = {
        {"KDE", "plasma-apply-wallpaperimage", path, WallpaperResult::Refused},
        {"GNOME", "gsettings", path, WallpaperResult::Refused},
        {"KDE", nullptr, path, WallpaperResult::NoWay},
        {"", nullptr, path, WallpaperResult::NoWay},  // offscreen: no X11 root window
        {"KDE", "plasma-apply-wallpaperimage", pictures.filePath("gone.bmp"),
         WallpaperResult::Refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.desktop) + " " + (c.tool ? c.tool : "no tool"));
        FakePrograms tools;
        if (c.tool)
            tools.add(c.tool, 1);
        ScopedEnv desktop("XDG_CURRENT_DESKTOP", c.desktop);
        DesktopWallpaper wallpaper;
        EXPECT_EQ(wallpaper.SetWallpaper(c.file), c.expected);
        if (c.file != path) {
            EXPECT_TRUE(tools.calls().empty());
        }
    }
}
