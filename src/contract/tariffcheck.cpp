// The offers compared with the contract and the contract's deadlines, kept
// beside the contract file: saved at once through the safe writer, never
// over a file with a line that cannot be read; a deadline near at start is
// named by the notice.
#include "core/tariffcheck.h"

#include "common/safefile.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

namespace voltaris {

void TForm1::designTariffCheck()
{
    N4 = std::make_unique<TMenuItem>(&PopupMenuTable, QStringLiteral("N4"));
    N4->setText(QStringLiteral("-"));
    Tarife1 = std::make_unique<TMenuItem>(&PopupMenuTable, QStringLiteral("Tarife1"));
    Tarife1->setText(QStringLiteral("Tarife vergleichen…"));
    Tarife1->OnClick = [this](TControl &s) { Tarife1Click(s); };
}

void TForm1::Tarife1Click(TControl &)
{
    app().services().showLogView(*this, LogView::TariffCheck);
}

bool TForm1::MayWriteSideFile(const QString &path, int badLine, const FileStamp &now,
    const FileStamp &readAt, const QString &notSaved)
{
    if (badLine) {
        app().messageBox(this, app().Title,
            notWrittenOver(path, badLine) + QStringLiteral(" Es wurde nichts gespeichert."),
            MsgIcon::None);
        return false;
    }
    // What the user changed was an older state of the file: written, it
    // would drop what the other program put in.
    if (now != readAt) {
        app().messageBox(this, app().Title,
            QStringLiteral("Die Datei \"%1\" wurde inzwischen von einem anderen Programm "
                           "geändert und wird neu gelesen; %2 wurde nicht gespeichert.")
                .arg(displayPath(path), notSaved),
            MsgIcon::None);
        return false;
    }
    return true;
}

bool TForm1::SaveTariffCheck(const TariffCheck &check, const FileStamp &readAt)
{
    const SideFileRead<TariffCheck> &read = TariffCheckFile.read();
    if (!MayWriteSideFile(TariffCheckFile.path(), read.badLine, read.stamp, readAt,
            QStringLiteral("Ihre letzte Änderung")))
        return false;
    if (read.value == check)
        return true;
    writeFileOrThrow(TariffCheckFile.path(), tariffCheckFileBytes(check));
    TariffCheckFile.saved(check);
    return true;
}

void TForm1::RemindDeadlines()
{
    if (!Form2)
        return;
    const std::vector<Deadline> soon
        = deadlinesSoon(TariffCheckFile.value().deadlines, app().services().today());
    if (!soon.empty())
        Form2->ShowNotice(reminderText(soon.front()));
}

} // namespace voltaris
