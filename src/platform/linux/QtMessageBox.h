#pragma once

#include "platform/services/MessageBoxService.h"

namespace platform {

// Message boxes as Qt dialogs; an empty title shows the program's title.
class QtMessageBox : public MessageBoxService {
  public:
    explicit QtMessageBox(QString programTitle) : programTitle_(std::move(programTitle)) {}
    int MsgBox(const QString& text, int style, const QString& title) override;

  private:
    QString programTitle_;
};

}  // namespace platform
