#include "qt/savedialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace voltaris {

QString askSaveFileName(
    QWidget *parent, const QString &caption, const QString &suggested, const QString &filter)
{
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QFileInfo(suggested).suffix());
    // German even where Qt's own translations are missing.
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Speichern"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace voltaris
