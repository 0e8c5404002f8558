#pragma once

#include "platform/services/DialogService.h"

namespace platform {

// The Save dialog as a Qt file dialog, modal over the active window.
class QtSaveDialog : public DialogService {
  public:
    QString ShowSave(const SaveDialogOptions& options) override;
};

// Turns a filter in the "Description|*.ext|Description|*.ext" form into Qt's name filters.
QStringList nameFiltersFrom(const QString& filter);

}  // namespace platform
