#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/Picture.h"

namespace platform {

// Opening documents and running programs. Arguments are passed as a list, never through a
// shell, so no file name is ever interpreted.
class ShellService {
  public:
    virtual ~ShellService() = default;
    // Opens a document or web address with its associated program; false when none could start.
    virtual bool OpenDocument(const QString& target) = 0;
    // Starts a program with a normal window and focus; false when it could not start.
    virtual bool Start(const QString& program, const QStringList& arguments) = 0;
    // Runs a program and waits until it ends; returns its exit status, or -1 when it failed to
    // start.
    virtual int RunAndWait(const QString& program, const QStringList& arguments) = 0;
};

class WallpaperService {
  public:
    virtual ~WallpaperService() = default;
    // Makes the bitmap file the desktop background; false when the desktop refused.
    virtual bool SetWallpaper(const QString& bitmapPath) = 0;
};

// Mouse actions on the tray icon.
enum class TrayAction { LeftDoubleClick, RightButtonUp, LeftButtonUp };

class TrayService {
  public:
    virtual ~TrayService() = default;
    virtual void AddIcon(const Picture& icon, const QString& tip,
                         std::function<void(TrayAction)> onAction) = 0;
    virtual void RemoveIcon() = 0;
};

class PrinterService {
  public:
    virtual ~PrinterService() = default;
    // Prints the picture at the given size in twips at the page's top-left; false on failure.
    virtual bool PrintPicture(const QImage& picture, double widthTwips, double heightTwips) = 0;
};

// System facts that the About box reads (the system-information tool's location).
class SystemInfoService {
  public:
    virtual ~SystemInfoService() = default;
    // Reads one named string value of the local machine's configuration; false when absent.
    virtual bool GetKeyValue(const QString& key, const QString& valueName, QString& value) = 0;
};

}  // namespace platform
