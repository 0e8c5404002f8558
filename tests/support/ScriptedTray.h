#pragma once

#include <QString>
#include <functional>
#include <vector>

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

}  // namespace testing_support
