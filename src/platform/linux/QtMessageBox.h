#pragma once

#include "platform/services/MessageBoxService.h"

namespace platform {

// Message boxes as Qt dialogs; an empty title shows the application's name.
class QtMessageBox : public MessageBoxService {
public:
    int MsgBox(const QString& text, int style, const QString& title) override;
};

}  // namespace platform
