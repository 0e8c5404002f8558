#include "platform/linux/QtSaveDialog.h"

#include <QApplication>
#include <QFileDialog>

#include "platform/RuntimeError.h"

namespace platform {

QStringList nameFiltersFrom(const QString& filter) {
    QStringList filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // The description shows; the patterns (";"-separated) decide what is listed.
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString description = parts.at(i);
        if (!description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (") + patterns + QLatin1Char(')');
        else
            description = description.left(description.indexOf(QLatin1Char('('))).trimmed() +
                          QStringLiteral(" (") + patterns + QLatin1Char(')');
        filters.append(description);
    }
    return filters;
}

QString QtSaveDialog::ShowSave(const SaveDialogOptions& options) {
    QFileDialog dialog(QApplication::activeWindow(),
                       options.title.isEmpty() ? QStringLiteral("Save As") : options.title);
    // Qt's own dialog behaves the same on every desktop and under test.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    const QStringList filters = nameFiltersFrom(options.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        // Index 0 and 1 both mean the first filter.
        const int index = std::clamp(options.filterIndex - 1, 0, int(filters.size()) - 1);
        dialog.selectNameFilter(filters.at(index));
    }
    if (!options.initialFolder.isEmpty())
        dialog.setDirectory(options.initialFolder);
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        throw RuntimeError(ErrorNumber::DialogCancelled, QStringLiteral("Cancel was selected"));
    return dialog.selectedFiles().constFirst();
}

}  // namespace platform
