#pragma once

namespace platform {

class MessageBoxService;
class FileSystemService;
class ScreenService;
class ClockService;
class ApplicationService;
class ClipboardService;
class DialogService;
class ShellService;
class WallpaperService;
class TrayService;
class PrinterService;
class SystemInfoService;

// The desktop services a window uses, handed in so tests can script them. Pointers are not
// owned; a service a window does not use may be null.
struct Services {
    MessageBoxService* messageBox = nullptr;
    FileSystemService* fileSystem = nullptr;
    ScreenService* screen = nullptr;
    ClockService* clock = nullptr;
    ApplicationService* application = nullptr;
    ClipboardService* clipboard = nullptr;
    DialogService* dialogs = nullptr;
    ShellService* shell = nullptr;
    WallpaperService* wallpaper = nullptr;
    TrayService* tray = nullptr;
    PrinterService* printer = nullptr;
    SystemInfoService* systemInfo = nullptr;
};

}  // namespace platform
