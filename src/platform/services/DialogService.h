#pragma once

#include <QString>

namespace platform {

struct SaveDialogOptions {
    QString title;
    QString filter;  // "Bitmap (*.bmp)|*.bmp|All files (*.*)|*.*"
    int filterIndex = 1;
    QString fileName;
    QString initialFolder;
    bool confirmOverwrite = true;
};

// The Save dialog. A cancelled dialog throws RuntimeError 32755 (the caller asked for
// cancel errors).
class DialogService {
  public:
    virtual ~DialogService() = default;
    virtual QString ShowSave(const SaveDialogOptions& options) = 0;
};

}  // namespace platform
