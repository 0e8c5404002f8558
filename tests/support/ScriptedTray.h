#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "platform/services/ShellService.h"
#include "platform/services/TrayService.h"

namespace testing_support {

// A tray that holds at most one icon and lets the test act on it as the user would.
class ScriptedTray : public platform::TrayService {
  public:
    bool Available() const override { return available; }
    void AddIcon(const platform::Picture& icon, const QString& tip,
                 std::function<void(platform::TrayAction)> onAction) override {
        ++adds;
        shownTip = tip;
        shownIcon = icon;
        onAction_ = std::move(onAction);
        iconShown = true;
    }
    void RemoveIcon() override {
        ++removes;
        iconShown = false;
    }
    // The user's mouse action on the icon.
    void act(platform::TrayAction action) {
        if (iconShown && onAction_)
            onAction_(action);
    }

    bool available = true;
    bool iconShown = false;
    int adds = 0;
    int removes = 0;
    QString shownTip;
    platform::Picture shownIcon;

  private:
    std::function<void(platform::TrayAction)> onAction_;
};

// Records the programs started; every start succeeds unless `startSucceeds` is false.
class RecordingShell : public platform::ShellService {
  public:
    struct Started {
        QString program;
        QStringList arguments;
    };
    bool OpenDocument(const QString& target) override {
        opened.push_back(target);
        return startSucceeds;
    }
    bool Start(const QString& program, const QStringList& arguments) override {
        started.push_back({program, arguments});
        return startSucceeds;
    }
    int RunAndWait(const QString& program, const QStringList& arguments) override {
        started.push_back({program, arguments});
        return startSucceeds ? 0 : -1;
    }

    std::vector<Started> started;
    std::vector<QString> opened;
    bool startSucceeds = true;
};

}  // namespace testing_support
