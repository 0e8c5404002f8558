#include "platform/linux/QtSaveDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

#include "platform/RuntimeError.h"

namespace platform {

QStringList QtSaveDialog::nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        QString label = parts.at(i);
        const int paren = int(label.indexOf(QLatin1Char('(')));
        if (paren >= 0)
            label = label.left(paren).trimmed();
        filters.append(label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return filters;
}

QString QtSaveDialog::ShowSave(const SaveDialogOptions& options) {
    QFileDialog dialog(QApplication::activeWindow(),
                       options.title.isEmpty() ? QStringLiteral("Save As") : options.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    const QStringList filters = nameFilters(options.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        // Index 0 and 1 both mean the first type.
        dialog.selectNameFilter(filters.value(std::max(0, options.filterIndex - 1)));
    }
    // Qt's dialog lists folders in Qt's own text form; it starts in the current folder.
    if (options.initialFolder.isEmpty())
        dialog.setDirectory(QDir());
    else
        dialog.setDirectory(options.initialFolder);
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        throw RuntimeError(ErrorNumber::DialogCancelled, QStringLiteral("Cancel was selected"));
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

}  // namespace platform
