#pragma once

#include "platform/services/DialogService.h"

namespace platform {

// The Save dialog, over Qt's own file dialog (the same on every desktop).
class QtSaveDialog : public DialogService {
  public:
    QString ShowSave(const SaveDialogOptions& options) override;

    // "HTML (*.htm;*.html)|*.htm;*.html|All files (*.*)|*.*" as Qt's name filters:
    // "HTML (*.htm *.html)", "All files (*)".
    static QStringList nameFilters(const QString& filter);
};

}  // namespace platform
